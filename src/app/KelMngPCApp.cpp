#include "app/KelMngPCApp.h"

#include "app/AppMessageBoxDialog.h"
#include "app/InitialSettingsWindow.h"
#include "app/MainFrame.h"
#include "app/ScheduleWindows.h"
#include "app/ShutdownSequence.h"
#include "app/SignalBridge.h"
#include "app/SingleInstance.h"
#include "app/TestControl.h"
#include "app/WidgetPrompter.h"
#include "comm/CommMgrThread.h"
#include "comm/CommPayloads.h"
#include "comm/FtpSettings.h"
#include "comm/OpLog.h"
#include "comm/ResultCodes.h"
#include "comm/TimerService.h"
#include "common/ProcessValues.h"
#include "common/UiLanguage.h"
#include "editor/ui/EditCommands.h"
#include "initsettings/ui/InitSettingsDialog.h"
#include "phonebook/ui/PhoneBookCommand.h"
#include "register/TermDatabase.h"
#include "schedule/ScheduleBook.h"
#include "setup/FirstStart.h"
#include "setup/ProgramFolder.h"
#include "setup/ui/FirstStartDialog.h"
#include "termlist/CommandFlow.h"
#include "termlist/ui/TerminalView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include <cstdio>

namespace
{

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(CKelMngPCApp)
};

const char *const kDuplicateStartCaption = QT_TRANSLATE_NOOP("CKelMngPCApp", "重複起動エラー");
const char *const kDuplicateStartText = QT_TRANSLATE_NOOP(
    "CKelMngPCApp",
    "クヴァＩＰフォンマネージャ管理用ツールは既に起動しているか､現在使用不能な状態にあります｡\n"
    "前回､異常終了した場合は､Windowsを再起動してください｡");

} // namespace

// Tells the user, on the main thread, that the communication manager could
// not bind its UDP port.
class PortProblemReceiver : public MessageReceiver
{
protected:
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> lParam) override
    {
        auto *p = dynamic_cast<PortProblemPayload *>(lParam.get());
        if (msg != CCommMgrThread::PortUnavailableMsg || !p)
            return;
        AppMessageBox(2, 2, CKelMngPCApp::portProblemText(p->value.port),
                      CKelMngPCApp::portProblemCaption(), MsgType::IconWarning);
    }
};

QString CKelMngPCApp::portProblemCaption()
{
    return Tr::tr("通信ポートエラー");
}

QString CKelMngPCApp::portProblemText(int port)
{
    return Tr::tr("通信ポート番号 %1 を使用できません。端末と通信できません。\n"
                  "他のプログラムが使用していないか確認し、システム設定で通信ポート番号"
                  "を変更して再起動してください。")
        .arg(port);
}

CKelMngPCApp::CKelMngPCApp() = default;

CKelMngPCApp::~CKelMngPCApp()
{
    m_testControl.reset();
    stopThreads();
    m_phoneBook.reset();
    m_edits.reset();
    m_schedules.reset();
    m_initialSettings.reset();
    m_frame.reset();
    exitInstance();
    setPrompter(nullptr);
}

QString CKelMngPCApp::commandLineFrom(const QStringList &args)
{
    // The long options are the program's own; "/wait=" is looked up in the rest.
    QStringList rest;
    for (const QString &a : args)
        if (!a.startsWith(QLatin1String("--")))
            rest << a;
    return rest.join(QLatin1Char(' '));
}

void CKelMngPCApp::refuse(const QString &text, const QString &caption, unsigned type)
{
    std::fprintf(stderr, "%s\n%s\n", caption.toUtf8().constData(), text.toUtf8().constData());
    std::fflush(stderr);
    if (!WidgetPrompter::headless())
        prompter().systemMessageBox(text, caption, type);
}

bool CKelMngPCApp::initInstance(const QStringList &args)
{
    // The interface's language first: even a refusal to start speaks it.
    UiLanguages::install(UiLanguages::choose(args));
    m_prompter = std::make_unique<WidgetPrompter>();
    setPrompter(m_prompter.get());

    // The program folder comes first here: the single-instance lock lives in it.
    const QString exeDir = QCoreApplication::applicationDirPath();
    ProcessValues::setProgramFolder(
        ProgramFolder::resolve(args, qEnvironmentVariable(ProgramFolder::EnvironmentVariable),
                               exeDir, ProgramFolder::userDataFolder())
            .folder);
    const QString folder = ProcessValues::programFolder();
    if (!ProgramFolder::create(folder)) {
        refuse(FirstStart::failureText(folder), FtpAccountRefusalCaption(), MsgType::IconWarning);
        return false;
    }

    // 1-2. One copy per program folder.
    m_instance = std::make_unique<SingleInstance>(folder);
    if (!m_instance->acquire()) {
        m_instance.reset();
        refuse(Tr::tr(kDuplicateStartText), Tr::tr(kDuplicateStartCaption), MsgType::IconError);
        return false;
    }

    // A new folder: the phones' FTP account is asked for first. Until the
    // answer, a termination signal simply ends the program: nothing is made.
    std::optional<FtpAccountAnswer> account;
    if (ProgramFolder::isFresh(folder, {SingleInstance::lockName()})) {
        if (WidgetPrompter::headless()) {
            QFile in;
            in.open(stdin, QIODevice::ReadOnly);
            account = StreamAccountAsker(in, stderr).askAccount(folder);
        } else {
            account = DialogAccountAsker().askAccount(folder);
        }
        if (!account) {
            refuse(FtpAccountRefusalText(FtpAccountTable::NoAccount), FtpAccountRefusalCaption(),
                   MsgType::IconWarning);
            return false;
        }
    }
    // A termination signal ends the program whatever is open; one that
    // arrives during start-up waits for the event loop.
    m_signals = std::make_unique<SignalBridge>();
    m_shutdown = std::make_unique<ShutdownSequence>(
        ShutdownSequence::Steps{[this] { cancelRunning(); }, [this] { closeDialogs(); },
                                [this] { return somethingRuns(); }, [this] { finishShutdown(); }});
    QObject::connect(m_signals.get(), &SignalBridge::terminationRequested, [this] {
        WidgetPrompter::setClosing(true);
        m_shutdown->begin();
    });
    QString error;
    if (account &&
        !FirstStart::layOut(folder, ProgramFolder::samplesFolder(exeDir), *account, &error)) {
        refuse(FirstStart::failureText(error), FtpAccountRefusalCaption(), MsgType::IconWarning);
        return false;
    }

    // 5. The pause before every UDP send.
    ProcessValues::sendDelay = ParseSendDelay(commandLineFrom(args));

    // 7. FTP time-outs and accounts.
    FtpTimerSettings::load();
    // The passwords are in the clear: a file others could read is told
    // about (the load below makes it owner-only).
    const QString accountFile = ProcessValues::programPath(QStringLiteral("Config/FTPauth.ini"));
    const std::optional<unsigned> exposed = ExposedAccountFileMode(accountFile);
    if (exposed)
        OpLog::writeError(ErrLog::ConfigXml, QString(), ExposedAccountFileLogText(*exposed));
    const int accounts = LoadFtpAccounts();
    if (accounts == FtpAccountTable::NoAccount ||
        accounts == FtpAccountTable::SupervisorAmongSeveral) {
        refuse(FtpAccountRefusalText(accounts), FtpAccountRefusalCaption(), MsgType::IconWarning);
        return false;
    }

    // 9. Frame and view; building the view prepares and opens the register.
    m_frame = std::make_unique<CMainFrame>();
    m_view = new CTerminalView(m_frame.get());
    m_frame->setView(m_view);
    m_view->setStatusPane(m_frame->messagePane());
    m_view->setSilentPane(m_frame->silentPane());
    // 10. The register has told the user already.
    if (ProcessValues::startupAbort.load())
        return false;
    m_view->database().setLogWriter(&m_registerLog);

    // 1, machine-wide: one copy per UDP port on this machine, whatever its
    // program folder (the port is known once the register is open).
    SystemSettings settings;
    m_view->database().readSystemSettings(settings);
    m_portLock = std::make_unique<UdpPortLock>(settings.UDPPort);
    if (!m_portLock->acquire()) {
        m_portLock.reset();
        refuse(Tr::tr(kDuplicateStartText), Tr::tr(kDuplicateStartCaption), MsgType::IconError);
        return false;
    }
    m_view->buildMenus(m_frame->menuBar());
    m_frame->watchMenus(m_frame->menuBar());
    m_view->initialUpdate();

    if (exposed) {
        auto *warning = new QLabel(ExposedAccountFileStatusText(*exposed), m_frame.get());
        warning->setObjectName(QStringLiteral("accountFileWarning"));
        // Beside the status message, both whole: the long warning wraps.
        warning->setWordWrap(true);
        // The status bar keeps the height of two lines; a narrower label
        // would push the first line out of sight.
        warning->setMinimumWidth(warning->fontMetrics().horizontalAdvance(warning->text()) / 2 +
                                 warning->fontMetrics().averageCharWidth() * 4);
        m_frame->statusBar()->addWidget(warning, 1);
    }

    // 11. Show the main window.
    m_frame->setWindowTitle(CMainFrame::title());
    m_frame->show();
    m_frame->setStopThreads([this] { stopThreads(); });
    m_frame->setCloseCheck([this] { return !m_schedules || m_schedules->releaseForClose(); });

    // 12-13. The long-lived threads, timer first.
    m_timer = std::make_unique<CTimerThread>(ProcessValues::TimerThreadId);
    if (!m_timer->launch(QThread::HighPriority)) {
        refuse(Tr::tr("内部処理の一部が正常に起動できませんでした。\nいったん終了し、再度起"
                      "動してください。"),
               Tr::tr("内部処理起動エラー（タイマー制御）"), 0);
        return false;
    }
    m_comm = std::make_unique<CCommMgrThread>();
    m_initialSettings = std::make_unique<InitialSettingsWindow>(*m_view, m_decider);
    m_comm->setDecider(&m_decider);
    m_portProblems = std::make_unique<PortProblemReceiver>();
    m_comm->setPortProblemReceiver(m_portProblems->threadId());
    if (!m_comm->launch(QThread::HighPriority)) {
        refuse(Tr::tr("内部処理の一部が正常に起動できませんでした。\nいったん終了し、再度起"
                      "動してください。"),
               Tr::tr("内部処理起動エラー（通信制御）"), 0);
        return false;
    }

    // 15. System settings (read above); an empty editor path gets the default editor.
    if (settings.EditerPath.isEmpty())
        m_view->database().writeSystemSettings(settings);
    // The settings history's limit, read by the threads that replace files.
    ProcessValues::historyKeep =
        settings.HistoryKeep > 0 ? settings.HistoryKeep : DefaultHistoryKeep;

    // 16. Start messages: the manager gets port, FTP mode and interval.
    CommSettings comm;
    comm.udpPort = settings.UDPPort;
    comm.ftpMode = settings.FTPMode;
    comm.entryInt = settings.EntryInt;
    PostToThread(ProcessValues::CommThreadId, Msg::StartStop, 0,
                 MakeCommSettingsMessage(ProcessValues::MainThreadId, TaskKind::Start, comm));
    PostToThread(ProcessValues::TimerThreadId, Msg::StartStop, 0,
                 std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Start));

    // 17. The ten schedules, bound to their files in the program folder.
    scheduleBook().init(ProcessValues::programFolder());
    m_schedules = std::make_unique<ScheduleWindows>(*m_view, m_frame.get(), scheduleBook());
    // 18. The settings editor's commands and the phone-book templates.
    m_edits = std::make_unique<EditCommands>(*m_view);
    m_phoneBook = std::make_unique<PhoneBookCommand>(*m_view);

    // Test-only: benchmarks drive the running program through a local socket.
    const QString control = qEnvironmentVariable(TestControl::Variable);
    if (!control.isEmpty()) {
        m_testControl = std::make_unique<TestControl>(
            *m_view, [this] { return m_comm && m_comm->socketOpen(); });
        if (!m_testControl->listen(control))
            std::fprintf(stderr, "%s: %s\n", TestControl::Variable,
                         m_testControl->errorText().toLocal8Bit().constData());
    }
    return true;
}

void CKelMngPCApp::stopThreads()
{
    if (!m_timer && !m_comm)
        return;
    PostToThread(ProcessValues::CommThreadId, Msg::StartStop, 0,
                 std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Stop));
    PostToThread(ProcessValues::TimerThreadId, Msg::StartStop, 0,
                 std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Stop));
    // One second of grace for both threads to end on their own.
    QElapsedTimer grace;
    grace.start();
    for (MessageThread *t : {static_cast<MessageThread *>(m_comm.get()),
                             static_cast<MessageThread *>(m_timer.get())}) {
        if (t)
            t->wait(QDeadlineTimer(std::max<qint64>(0, 1000 - grace.elapsed())));
    }
    m_comm.reset();
    m_timer.reset();
}

// What runs ends the way its own cancel would: a user command (and an edit
// flow's read) as by "中止", a schedule run as by closing its window.
void CKelMngPCApp::cancelRunning()
{
    if (m_view && m_view->commands().awaiting())
        m_view->commands().cancel();
    if (m_schedules)
        m_schedules->cancelRun();
}

// Every modal dialog and message box, the innermost first; each one's caller
// goes on as if it had been cancelled.
void CKelMngPCApp::closeDialogs()
{
    for (int i = 0; i < 64; ++i) {
        QWidget *w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (auto *box = qobject_cast<AppMessageBoxDialog *>(w)) {
            box->closeFromOutside();
            continue;
        }
        // Waiting initial settings end as by their own "終了".
        if (auto *initial = qobject_cast<CInitSettingsDialog *>(w); initial && initial->running())
            initial->onEnd();
        if (auto *d = qobject_cast<QDialog *>(w))
            d->done(QDialog::Rejected);
        else
            w->close();
    }
}

bool CKelMngPCApp::somethingRuns() const
{
    return (m_view && m_view->commands().awaiting()) ||
           (m_schedules && m_schedules->runInProgress()) ||
           ProcessValues::remoteUpdateCount.load() != 0;
}

// The grace is over or nothing runs: a run still going is written as
// cancelled, the threads end (terminal updates and transfers are cut), and
// every event loop is told to end with status 0.
void CKelMngPCApp::finishShutdown()
{
    if (m_schedules)
        m_schedules->abandonRun();
    stopThreads();
    QCoreApplication::exit(0);
}

bool CKelMngPCApp::shutDown() const
{
    return m_shutdown && m_shutdown->finished();
}

void CKelMngPCApp::exitInstance()
{
    m_signals.reset();
    m_shutdown.reset();
    m_portProblems.reset();
    m_portLock.reset();
    m_instance.reset();
}
