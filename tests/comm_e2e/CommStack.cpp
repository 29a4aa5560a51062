#include "CommStack.h"

#include "comm/FtpSettings.h"
#include "common/Ipv4.h"
#include "common/ProcessValues.h"

#include <QCoreApplication>
#include <QElapsedTimer>

bool pumpUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    // Events first: what the threads posted so far is handled before the check.
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (done())
            return true;
        if (t.elapsed() > timeoutMs)
            return false;
    }
}

TestView::TestView(CTermDatabase &db)
    : MessageReceiver(ProcessValues::MainThreadId),
      applier(db, *this, ProcessValues::MainThreadId, ProcessValues::TimerThreadId)
{
}

void TestView::onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> lParam)
{
    auto *task = dynamic_cast<TaskMessage *>(lParam.get());
    if (msg != Msg::Task || !task)
        return;
    if (task->kind == TaskKind::TermNotice)
        return applier.onNotice(task->slot<NoticePayload>(0)->notice);
    if (task->kind == TaskKind::TimerExpired)
        return void(applier.onTimerExpired(*TimerSpecOf(*task)));
    if (task->kind == TaskKind::Progress)
        return progress.push_back(task->slot<ProgressPayload>(0)->value);
    if (task->kind == TaskKind::TermRequestDecide) {
        auto answer = std::make_unique<TaskMessage>(ProcessValues::MainThreadId,
                                                    TaskKind::TermRequestDecision);
        answer->payload[0] =
            std::make_unique<TermRequestPayload>(*task->slot<TermRequestPayload>(0));
        PostToThread(ProcessValues::CommThreadId, Msg::Task, 0, std::move(answer));
    }
    lParam.release();
    messages.emplace_back(task);
}

int TestView::count(int kind) const
{
    return int(std::count_if(messages.begin(), messages.end(),
                             [&](const auto &m) { return m->kind == kind; }));
}

TaskMessage *TestView::last(int kind) const
{
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
        if ((*it)->kind == kind)
            return it->get();
    return nullptr;
}

bool TestView::waitFor(int kind, int n, int timeoutMs)
{
    return pumpUntil([&] { return count(kind) >= n; }, timeoutMs);
}

QStringList simArgs(const QString &base, int count, int port)
{
    const QString f("--base %1 --count %2 --udp-port %3 --no-start-notify --account %4");
    return f.arg(base, QString::number(count), QString::number(port), "KT-100:kel:secret")
        .split(' ');
}

Termsim::~Termsim()
{
    m_proc.closeWriteChannel(); // --exit-on-eof
    if (!m_proc.waitForFinished(5000))
        m_proc.kill();
}

bool Termsim::start(const QStringList &args)
{
    m_proc.start("/usr/bin/python3",
                 QStringList{KEL_SOURCE_DIR "/tools/termsim/termsim.py", "--exit-on-eof",
                             "--die-with-parent", "--control-port", "-1"} +
                     args);
    const bool ready = pumpUntil(
        [&] {
            m_proc.waitForReadyRead(20);
            while (m_proc.canReadLine())
                if (m_proc.readLine().startsWith("READY"))
                    return true;
            return m_proc.state() == QProcess::NotRunning;
        },
        20000);
    m_last = QString::fromUtf8(m_proc.readAllStandardError());
    return ready && m_proc.state() == QProcess::Running;
}

QString Termsim::cmd(const QString &line)
{
    m_ok = false;
    m_proc.write(line.toUtf8() + '\n');
    QString answer;
    pumpUntil(
        [&] {
            m_proc.waitForReadyRead(5);
            while (m_proc.canReadLine()) {
                m_last = QString::fromUtf8(m_proc.readLine()).trimmed();
                m_ok = m_last == "OK" || m_last.startsWith("OK ");
                if (m_ok || m_last.startsWith("ERR") || m_last.startsWith("TIMEOUT")) {
                    answer = m_ok ? m_last.mid(3) : QString();
                    return true;
                }
            }
            return false;
        },
        60000);
    return answer;
}

QJsonValue Termsim::json(const QString &line)
{
    const QJsonDocument doc = QJsonDocument::fromJson(cmd(line).toUtf8());
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

QJsonArray Termsim::received(int terminal, const QString &name)
{
    return json(QString("received %1 name=%2").arg(terminal).arg(name)).toArray();
}

QJsonObject Termsim::fields(int terminal, const QString &name)
{
    return received(terminal, name).at(0).toObject().value("fields").toObject();
}

int Termsim::closes(int terminal, int restart)
{
    int n = 0;
    for (const QJsonValue &v : received(terminal, "RemoteCloseReq"))
        n += v.toObject().value("fields").toObject().value("restart").toInt() == restart;
    return n;
}

CommStack::CommStack(const StackOptions &o) : m_options(o)
{
    const QString sub = o.subfolder.isEmpty() ? QString() : o.subfolder + '/';
    ProcessValues::setProgramFolder(folder());
    ProcessValues::sendDelay = o.sendDelayMs;
    // 2 ms ticks: every session wait of 900 ticks lasts 1.8 s.
    qputenv("KELMNGPC_TICK_MS", "2");
    dir.mkdir(sub + QStringLiteral("Log"));
    dir.write(sub + QStringLiteral("Config/FTPauth.ini"),
              "[System]\r\nCount=2\r\n[ModelSet1]\r\nMODEL=KT-100\r\nID=kel\r\n"
              "PW=secret\r\n[ModelSet2]\r\nMODEL=KT-200\r\nID=x\r\nPW=y\r\n");
    db = std::make_unique<CTermDatabase>(folder());
    if (LoadFtpAccounts() != 0 || !db->startUp())
        return;
    SystemSettings s;
    db->readSystemSettings(s);
    s.UDPPort = o.udpPort;
    s.EntryInt = o.entryInt;
    s.FTPMode = o.ftpMode;
    db->writeSystemSettings(s);
    db->readSystemSettings(s);

    view = std::make_unique<TestView>(*db);
    m_up = m_threads.start({s.UDPPort, s.FTPMode, s.EntryInt}, o.decider);
}

bool StackThreads::start(const CommSettings &settings, IUpdateDecider *decider)
{
    // termsim's terminals bind 127.0.x.y on the port the manager binds on all addresses.
    qputenv(CCommMgrThread::TestSharedPortVariable, "1");
    m_timer = std::make_unique<CTimerThread>(ProcessValues::TimerThreadId);
    m_comm = std::make_unique<CCommMgrThread>();
    m_comm->setDecider(decider);
    if (!m_timer->launch(QThread::HighPriority) || !m_comm->launch(QThread::HighPriority))
        return false;
    PostToThread(ProcessValues::CommThreadId, Msg::StartStop, 0,
                 MakeCommSettingsMessage(ProcessValues::MainThreadId, TaskKind::Start, settings));
    PostToThread(ProcessValues::TimerThreadId, Msg::StartStop, 0,
                 std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Start));
    return pumpUntil([this] { return m_comm->socketOpen(); }, 5000);
}

void StackThreads::stop()
{
    if (!m_timer && !m_comm)
        return;
    for (ThreadId id : {ProcessValues::CommThreadId, ProcessValues::TimerThreadId})
        PostToThread(id, Msg::StartStop, 0,
                     std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Stop));
    m_comm.reset();
    m_timer.reset();
    qunsetenv(CCommMgrThread::TestSharedPortVariable);
}

CommStack::~CommStack()
{
    m_threads.stop();
    view.reset();
    db.reset();
    ProcessValues::sendDelay = 100;
    qunsetenv("KELMNGPC_TICK_MS");
}

TerminalEntry CommStack::entry(const QString &address, const QString &termId, const QString &file,
                               const QString &model) const
{
    TerminalEntry e;
    e.termId = termId;
    e.address = Ipv4::parse(address).value_or(0);
    e.file = file;
    e.model = model;
    e.udpPort = std::uint16_t(m_options.udpPort);
    return e;
}

void CommStack::post(int kind, const QList<TerminalEntry> &entries)
{
    auto r = std::make_unique<RequestPayload>();
    r->entries = entries;
    r->progressTarget = ProcessValues::MainThreadId;
    PostToThread(ProcessValues::CommThreadId, Msg::Task, 0,
                 MakeRequest(ProcessValues::MainThreadId, kind, std::move(r)));
}

TaskMessage *CommStack::run(int kind, const QList<TerminalEntry> &entries)
{
    const int completion =
        kind == RequestKind::TermInfo ? TaskKind::RequestEnded : CompletionKindOf(kind);
    const int before = view->count(completion);
    post(kind, entries);
    return view->waitFor(completion, before + 1, 60000) ? view->last(completion) : nullptr;
}

QString CommStack::folder() const
{
    return m_options.subfolder.isEmpty() ? dir.path() : dir.file(m_options.subfolder);
}

std::vector<TermEntry> CommStack::rows()
{
    view->applier.flush();
    std::vector<TermEntry> list;
    ListCondInfo cond;
    db->readListCond(cond);
    db->readList(cond, list);
    return list;
}
