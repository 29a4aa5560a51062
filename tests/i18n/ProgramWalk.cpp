#include "ProgramWalk.h"

#include "app/AppMessageBoxDialog.h"
#include "app/KelMngPCApp.h"
#include "app/MainFrame.h"
#include "comm/CommPayloads.h"
#include "common/ProcessValues.h"
#include "history/SettingsHistory.h"
#include "history/ui/HistoryDialog.h"
#include "register/TermDatabase.h"
#include "schedule/ScheduleFiles.h"
#include "schedule/ui/ScheduleDetailDialog.h"
#include "schedule/ui/ScheduleListDialog.h"
#include "schedule/ui/ScheduleRunWindow.h"
#include "setup/ui/FirstStartDialog.h"
#include "termlist/MaintenanceCommands.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/AddTermDialog.h"
#include "termlist/ui/ColumnSelectDialog.h"
#include "termlist/ui/DashboardWindow.h"
#include "termlist/ui/CondDialog.h"
#include "termlist/ui/RemoteUpdateDialog.h"
#include "termlist/ui/SystemSettingsDialog.h"
#include "termlist/ui/TerminalView.h"

#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QPieSeries>
#include <QCheckBox>
#include <QDirIterator>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>
#include <QXmlStreamReader>

#include <tuple>

namespace
{

constexpr int Patience = 20000;

int freeUdpPort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

RegistrationData terminal(const char *id, int lastOctet, const char *model, int regist)
{
    RegistrationData r;
    r.TermID = QString::fromLatin1(id);
    r.IPAddr = 0x0000007Fu | (std::uint32_t(lastOctet) << 24);
    r.Regist = regist;
    r.Vendor = QStringLiteral("KEL");
    r.MachineName = QString::fromLatin1(model);
    r.MachineType = QStringLiteral("A1");
    r.VerBoot = QStringLiteral("1.00");
    r.VerApli = QStringLiteral("2.10");
    r.UserInfo1 = QStringLiteral("00:11:22:33:44:%1").arg(lastOctet, 2, 10, QLatin1Char('0'));
    r.UserInfo2 = QStringLiteral("Room %1").arg(lastOctet);
    return r;
}

ScheduleSettings schedule(int timing, int process)
{
    ScheduleSettings s;
    s.OperatTiming = timing;
    s.AppointDateYear = 2099;
    s.AppointDateMonth = 12;
    s.AppointDateDay = 31;
    s.AppointDateHour = 23;
    s.AppointDateSecond = 30;
    s.EveryWeekCheck = {0, 1, 0, 1, 0, 0, 0};
    s.EveryWeekTimeHour = 3;
    s.EveryMonthDateDay = 15;
    s.OtherSchedule = 1;
    s.WaitTime = 5;
    s.BeginPermTime = 30;
    s.BeginMode = 1;
    s.ProcessKind = process;
    s.SysSetupFileWrite = 1;
    s.TermReboot = 1;
    return s;
}

CTerminalView *viewOf(CKelMngPCApp &app)
{
    return qobject_cast<CTerminalView *>(app.frame()->centralWidget());
}

void selectTerminal(CTerminalView *view, const QString &id)
{
    const auto &entries = view->listModel()->entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].TermID.trimmed() == id) {
            view->selectionModel()->select(view->listModel()->index(int(i), 0),
                                           QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
            return;
        }
    }
}

template <class F> void waitUntil(F condition, int ms)
{
    (void)QTest::qWaitFor(condition, ms);
}

// Pictures only (KEL_SHOTS): the menu whose Japanese title is given, open.
void showMenu(QMenuBar *bar, const QString &japaneseTitle)
{
    if (qEnvironmentVariableIsEmpty("KEL_SHOTS"))
        return;
    for (QAction *a : bar->actions()) {
        if (a->text() != CTerminalView::tr(japaneseTitle.toUtf8().constData()) || !a->menu())
            continue;
        bar->setActiveAction(a);
        QTest::qWait(100);
        Shot(QStringLiteral("menu"));
        a->menu()->hide();
    }
}

// Pictures only (KEL_SHOTS): the program's message box with questions a
// command asks, as the user sees them.
void showBoxes()
{
    if (qEnvironmentVariableIsEmpty("KEL_SHOTS"))
        return;
    const CommandInfo &restart = commandInfo(MaintCommand::Restart);
    const std::tuple<int, int, QString, QString, unsigned> boxes[] = {
        {restart.widthCode, 2, restart.text(), restart.caption(),
         MsgType::IconQuestion | MsgType::YesNo},
        {460, 3,
         QCoreApplication::translate(
             "CommandTargets",
             "端末IDアラートが発生している端末が含まれています。\nこのまま続けると不正な端末"
             "情報に更新してしまう可能性があります。\n処理を続行してもよろしいですか？"),
         QCoreApplication::translate("CommandTargets", "端末情報取得開始確認"),
         MsgType::IconWarning | MsgType::YesNo | MsgType::DefaultSecond},
    };
    int n = 0;
    for (const auto &[width, lines, text, caption, type] : boxes) {
        AppMessageBoxDialog box(width, lines, text, caption, type, QApplication::activeWindow());
        box.show();
        QTest::qWait(100);
        Shot(QStringLiteral("message-box-%1").arg(++n));
    }
}

bool idle(CTerminalView *view)
{
    return !QApplication::activeModalWidget() && view->isMainEnabled();
}

} // namespace

ProgramWalk::ProgramWalk(QStringList args) : m_args(std::move(args)) {}

ProgramWalk::~ProgramWalk() = default;

void ProgramWalk::prepareFolder()
{
    const QString dir = m_dir.path();
    QProcess::execute(QStringLiteral("bash"),
                      {QStringLiteral(KEL_SOURCE_DIR "/scripts/make-program-folder"), dir});
    m_dir.write(QStringLiteral("Boot/boot_v2.s"), "S00600004844521B\r\n");

    // Terminal 1001's own settings files, for the editor.
    for (const char *file : {"Data/Sys/kel_sys1001.ini", "Data/User/kel_user1001.ini"})
        m_dir.write(QString::fromLatin1(file), "[Version]\r\nVersion=1.00\r\n");

    // Two versions of terminal 1001's system settings, the newer one sent.
    SettingsHistory::Store history(dir, [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 0)); });
    for (const QByteArray &content : {QByteArray("[Version]\r\nVersion=0.90\r\n"),
                                      QByteArray("[Version]\r\nVersion=1.00\r\n")})
        history.replace(QStringLiteral("1001"), SettingsHistory::Kind::System,
                        SettingsHistory::Origin::Read, [&] {
                            m_dir.write(QStringLiteral("Data/Sys/kel_sys1001.ini"), content);
                            return true;
                        });
    history.markSent(QStringLiteral("1001"), SettingsHistory::Kind::System,
                     "[Version]\r\nVersion=1.00\r\n");
    // An account file others can read: the main window's warning.
    QFile(dir + QStringLiteral("/Config/FTPauth.ini"))
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    CTermDatabase db(dir);
    // Fixed registration dates, so that the list reads the same every day.
    db.setClock([] { return QDateTime(QDate(2024, 5, 1), QTime(10, 0)); });
    db.startUp();
    SystemSettings s;
    db.readSystemSettings(s);
    s.UDPPort = freeUdpPort();
    db.writeSystemSettings(s);
    db.registerUpdate(terminal("1001", 1, "KT-100", 1));
    db.registerUpdate(terminal("1002", 2, "KT-200", 2));
    db.registerUpdate(terminal("1002", 3, "KT-100", 0)); // the same ID twice: an alert
    std::vector<TermItem> provisional{TermItem{0, QStringLiteral("2001"), 0}};
    db.addTerminals(provisional);
    db.setResultByMac(QStringLiteral("00:11:22:33:44:01"), 10, 3);
    db.setResultByMac(QStringLiteral("00:11:22:33:44:02"), 5, 0);
    db.close();

    const ScheduleTarget target{QStringLiteral("1001"), QStringLiteral("127.0.0.1"),
                                QStringLiteral("00:11:22:33:44:01"), QStringLiteral("KT-100")};
    const int plans[][2] = {{Schedule::Timing::Appointed, Schedule::Process::Restart},
                            {Schedule::Timing::Weekly, Schedule::Process::SettingsWrite},
                            {Schedule::Timing::Monthly, Schedule::Process::FirmWrite},
                            {Schedule::Timing::AfterOther, Schedule::Process::SettingsRead}};
    for (int n = 1; n <= 4; ++n)
        ScheduleFiles::writeSettings(ScheduleFiles::settingsPath(dir + QLatin1Char('/'), n),
                                     schedule(plans[n - 1][0], plans[n - 1][1]), {target});
    ScheduleResult result;
    result.ProcessKind = Schedule::Process::Restart;
    result.SuccessTermNum = 1;
    result.ErrorTermNum = 1;
    result.ScheduleDate = QStringLiteral("2024/05/01 10:00");
    result.BeginDate = QStringLiteral("2024/05/01 10:00");
    result.Status = 1;
    for (int outcome : {Schedule::Outcome::Success, Schedule::Outcome::Error,
                        Schedule::Outcome::Cancelled, Schedule::Outcome::NotExecuted})
        result.terminals.append(ScheduleResultTerm{outcome, target});
    ScheduleFiles::writeResult(ScheduleFiles::resultPath(dir + QLatin1Char('/'), 1), result);
}

QStringList ProgramWalk::dataTexts() const
{
    QStringList out;
    QDirIterator it(m_dir.path() + QStringLiteral("/Config"), {QStringLiteral("*.xml")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QXmlStreamReader xml(&f);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isCharacters() && !xml.isWhitespace())
                out << xml.text().toString().trimmed();
            for (const QXmlStreamAttribute &a : xml.attributes())
                out << a.value().toString().trimmed();
        }
    }
    out.removeAll(QString());
    // The longest first, so that a text holding a shorter one goes whole.
    std::sort(out.begin(), out.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });
    return out;
}

bool ProgramWalk::run()
{
    prepareFolder();
    // Sessions that nobody answers end in a moment.
    qputenv("KELMNGPC_TICK_MS", "1");
    CKelMngPCApp app;
    if (!app.initInstance(QStringList{QStringLiteral("--program-folder=") + m_dir.path()} + m_args))
        return false;
    ScriptedPrompter prompter;
    CTerminalView *view = viewOf(app);
    QMenuBar *bar = app.frame()->menuBar();
    ModalWalker walker(texts);
    const auto trigger = [&](const char *name) {
        QAction *a = view->action(QString::fromLatin1(name));
        if (!a)
            return;
        // Items a menu enables as it opens.
        if (auto *menu = qobject_cast<QMenu *>(a->parent()))
            emit menu->aboutToShow();
        a->trigger();
        waitUntil([&] { return idle(view); }, Patience);
    };
    const QString dir = m_dir.path();

    waitUntil([&] { return app.frame()->isVisible(); }, Patience);
    texts.window(app.frame(), QStringLiteral("main window"));
    texts.menus(bar);
    showMenu(bar, QStringLiteral("保守(&M)"));
    showBoxes();

    // File menu: settings with an input error, the export.
    walker.plan("CSystemSettingsDialog", {[](QWidget *w) {
                    auto *d = static_cast<CSystemSettingsDialog *>(w);
                    d->portEdit->setText(QStringLiteral("0"));
                    d->okButton->click();
                }});
    trigger("actionSystemSettings");
    trigger("actionExportList");

    // Edit menu: add two terminals (progress), delete them with their files.
    walker.plan("CAddTermDialog", {[](QWidget *w) {
                    auto *d = static_cast<CAddTermDialog *>(w);
                    d->idEdit->setText(QStringLiteral("3001"));
                    d->countEdit->setText(QStringLiteral("2"));
                    d->registerButton->click();
                }});
    walker.plan("CProgressDialog", {}, true);
    trigger("actionAddTerminals");
    selectTerminal(view, QStringLiteral("3001"));
    prompter.answer(MsgResult::Yes);
    prompter.answer(MsgResult::Yes);
    trigger("actionDeleteTerminals");
    selectTerminal(view, QStringLiteral("1001"));
    prompter.answer(MsgResult::No);
    trigger("actionClearResults");

    // The settings editor: a terminal's files, the common files, the registration.
    prompter.answer(MsgResult::No);
    trigger("actionEditTermSys");
    prompter.answer(MsgResult::No);
    trigger("actionEditTermUser");
    prompter.answerFile(dir + QStringLiteral("/Config/Sys/sysconfig_KT-100_1.xml"));
    prompter.answerFile(QString());
    trigger("actionEditCommonSys");
    prompter.answerFile(dir + QStringLiteral("/Config/User/missing.xml"));
    trigger("actionEditCommonUser");
    trigger("actionFirmRegister");
    // A model without a phone-book template.
    selectTerminal(view, QStringLiteral("1002"));
    trigger("actionEditPhoneBook");

    // View menu; every column shown from here on.
    selectTerminal(view, QStringLiteral("1001"));
    trigger("actionShowDetail");
    walker.plan("CColumnSelectDialog", {[](QWidget *w) {
                    auto *d = static_cast<CColumnSelectDialog *>(w);
                    for (QCheckBox *box : d->findChildren<QCheckBox *>())
                        box->setChecked(true);
                    d->setButton->click();
                }});
    trigger("actionSelectColumns");
    prompter.answer(MsgResult::No);
    trigger("actionClearAll");
    trigger("actionLanguageEnglish");

    // The dashboard, with what its charts draw (titles, bars, slices, axes).
    trigger("actionDashboard");
    if (CDashboardWindow *board = view->dashboard()) {
        waitUntil([&] { return board->isVisible(); }, Patience);
        texts.window(board);
        const QString where = QStringLiteral("CDashboardWindow");
        for (int c = 0; c < FleetCharts::ChartCount; ++c) {
            QChart *chart = board->chartView(FleetCharts::Chart(c))->chart();
            texts.add(where, chart->title());
            for (QAbstractAxis *axis : chart->axes())
                if (auto *categories = qobject_cast<QBarCategoryAxis *>(axis))
                    for (const QString &t : categories->categories())
                        texts.add(where, t);
            for (QAbstractSeries *series : chart->series())
                if (auto *pie = qobject_cast<QPieSeries *>(series))
                    for (QPieSlice *slice : pie->slices())
                        texts.add(where, slice->label());
        }
        Shot(where);
        board->close();
    }

    // Every column header: the condition dialog, then its filter dialog.
    walker.plan("CCondDialog", {[](QWidget *w) {
                    auto *d = static_cast<CCondDialog *>(w);
                    if (d->filterButton->isEnabled())
                        d->filterButton->click();
                }});
    for (int section = 0; section < view->listModel()->columnCount(); ++section) {
        const int before = walker.seen("CCondDialog");
        view->onHeaderClicked(section);
        waitUntil([&] { return walker.seen("CCondDialog") > before; }, 300);
        waitUntil([&] { return idle(view); }, Patience);
    }

    // Maintenance: every command's question (answered no), one command run.
    for (const char *name :
         {"actionTermInfo", "actionReadSys", "actionReadUser", "actionReadDial", "actionWriteSys",
          "actionWriteUser", "actionWriteDial", "actionForceClose"}) {
        prompter.answer(MsgResult::No);
        trigger(name);
    }
    for (const char *name : {"actionWriteCommonSys", "actionWriteCommonUser"}) {
        prompter.answerFile(dir + QStringLiteral("/Data/Sys/kel_sys1001.ini"));
        prompter.answer(MsgResult::Yes);
        prompter.answer(MsgResult::No);
        trigger(name);
    }
    for (const char *name : {"actionWriteBoot", "actionWriteApli"}) {
        prompter.answerFile(dir + QStringLiteral("/Boot/boot_v2.s"));
        prompter.answer(MsgResult::No);
        trigger(name);
    }
    // A terminal ID alert asks first; the restart then runs against a
    // terminal that never answers.
    selectTerminal(view, QStringLiteral("1002"));
    prompter.answer(MsgResult::No);
    trigger("actionRestart");
    selectTerminal(view, QStringLiteral("1001"));
    prompter.answer(MsgResult::Yes);
    trigger("actionRestart");
    trigger("actionInitialSettings");

    // The failed restart: its terminals selected, written out, the repeat asked.
    trigger("actionSelectFailed");
    texts.window(app.frame(), QStringLiteral("main window"));
    prompter.answerFile(dir + QStringLiteral("/Data/failed.csv"));
    trigger("actionExportFailed");
    prompter.answer(MsgResult::No);
    trigger("actionRepeatFailed");

    // A terminal's settings history: both versions compared, the restore asked.
    selectTerminal(view, QStringLiteral("1001"));
    walker.plan("CHistoryDialog",
                {[](QWidget *w) { static_cast<CHistoryDialog *>(w)->selectVersions({1, 2}); },
                 [this](QWidget *w) {
                     texts.window(w);
                     Shot(QStringLiteral("CHistoryDialog"));
                 },
                 [](QWidget *w) { static_cast<CHistoryDialog *>(w)->selectVersions({1}); },
                 [](QWidget *w) { static_cast<CHistoryDialog *>(w)->restoreButton->click(); }});
    prompter.answer(MsgResult::No);
    trigger("actionSettingsHistory");

    // Schedules: the list, a schedule's detail with a target to add, its
    // result, a new one; then the execution window.
    walker.plan(
        "CScheduleListDialog",
        {[](QWidget *w) { static_cast<CScheduleListDialog *>(w)->groups[0].edit->click(); },
         [](QWidget *w) { static_cast<CScheduleListDialog *>(w)->groups[0].result->click(); },
         [](QWidget *w) { static_cast<CScheduleListDialog *>(w)->groups[5].edit->click(); }});
    walker.plan("CScheduleDetailDialog",
                {[](QWidget *w) { static_cast<CScheduleDetailDialog *>(w)->addTarget->click(); }});
    trigger("actionScheduleSettings");
    view->action(QStringLiteral("actionScheduleRun"))->trigger();
    if (auto *run = app.frame()->findChild<CScheduleRunWindow *>()) {
        QTest::qWait(50);
        texts.window(run);
        Shot(QStringLiteral("CScheduleRunWindow"));
        run->cancelButton->click();
    }
    waitUntil([&] { return idle(view); }, Patience);

    // Help menu.
    trigger("actionShowLog");
    trigger("actionAbout");

    // Terminal-initiated updates: the window the manager's reports open.
    PostToThread(ProcessValues::MainThreadId, Msg::Task, 0,
                 std::make_unique<TaskMessage>(0, TaskKind::RemoteSeriesBegan));
    auto workers = std::make_unique<RemoteSlotsPayload>();
    workers->workers[0] =
        RemoteSlot{true,
                   QStringLiteral("1001"),
                   0x7F000001u,
                   {UpdateFileKind::System, UpdateFileKind::User, UpdateFileKind::PhoneBook}};
    workers->workers[1] = RemoteSlot{
        true, QStringLiteral("1003"), 0x7F000003u, {UpdateFileKind::Boot, UpdateFileKind::Apli}};
    auto report = std::make_unique<TaskMessage>(0, TaskKind::RemoteSlots);
    report->payload[0] = std::move(workers);
    PostToThread(ProcessValues::MainThreadId, Msg::Task, 0, std::move(report));
    waitUntil([&] { return app.frame()->findChild<CRemoteUpdateDialog *>() != nullptr; }, Patience);
    QTest::qWait(20);
    if (auto *remote = app.frame()->findChild<CRemoteUpdateDialog *>()) {
        texts.window(remote);
        Shot(QStringLiteral("CRemoteUpdateDialog"));
    }
    PostToThread(ProcessValues::MainThreadId, Msg::Task, 0,
                 std::make_unique<TaskMessage>(0, TaskKind::RemoteSeriesEnded));
    QTest::qWait(20);

    // The first start's dialog (a new folder asks before the program runs):
    // OK with nothing filled in.
    walker.plan("FirstStartDialog",
                {[](QWidget *w) { static_cast<FirstStartDialog *>(w)->okButton->click(); }});
    FirstStartDialog(dir).exec();

    // The list as the commands left it.
    texts.window(app.frame(), QStringLiteral("main window"));
    Shot(QStringLiteral("main-window"));
    texts.prompts(prompter.records);
    return true;
}
