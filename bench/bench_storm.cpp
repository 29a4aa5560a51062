// Notice storm: the real communication stack and register against the
// terminal simulator's burst mode, 65,535 distinct terminals, each sending
// from its own address as phones on a LAN do.
//   storm_max_rate_zero_loss  highest notice rate at which every notice
//                             reached the register with its fields
//   storm_settle_s            last notice sent -> register complete, at 20,000/s
//   ack_spacing_min_ms        smallest gap between two acks seen by the simulator
//   storm_router_lost         terminals lost of a boot storm of DefaultNewTermRate
//                             terminals behind one router (one source), at 20,000/s
// And a stranger's floods, at /wait=1:
//   flood_legit_ack_ms        longest wait of a real terminal for its ack while
//                             20,000 forged notices (one MAC, new IDs) arrive
//   flood_session_open_ms     a restart's RemoteOpenReq after the request was
//                             posted, while 1,200 TermRequests arrive
// Usage: bench_storm [--count N] [--rates R1,R2,...] [--no-acks] [--floods-only]
#include "comm/CommMgrThread.h"
#include "comm/CommPayloads.h"
#include "comm/TimerService.h"
#include "common/Ipv4.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/CommandResults.h"
#include "termlist/NoticeApplier.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace
{

constexpr int UdpPort = 44001;

bool pumpUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class View : public MessageReceiver, public NoticeApplier::Host
{
public:
    explicit View(CTermDatabase &db)
        : MessageReceiver(ProcessValues::MainThreadId),
          applier(db, *this, ProcessValues::MainThreadId, ProcessValues::TimerThreadId), m_db(db)
    {
        SystemSettings s;
        db.readSystemSettings(s);
        applier.setNewTerminalRate(s.NewTermRate);
    }
    NoticeApplier applier;
    CTermDatabase &m_db;
    bool pending = false;
    bool refreshPending() const override { return pending; }
    void setRefreshPending() override { pending = true; }
    bool mainWindowEnabled() const override { return true; }
    void refreshList() override { pending = false; }

protected:
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> p) override
    {
        auto *task = dynamic_cast<TaskMessage *>(p.get());
        if (msg != Msg::Task || !task)
            return;
        if (task->kind == TaskKind::TermNotice) {
            if (auto *n = task->slot<NoticePayload>(0))
                applier.onNotice(n->notice, n->source);
        } else if (task->kind == TaskKind::TimerExpired) {
            if (const TimerSpec *s = TimerSpecOf(*task))
                applier.onTimerExpired(*s);
        } else if (task->kind == TaskKind::TermRequestDecide) {
            // As the list window answers: known only as the register knows it.
            applier.flush();
            if (auto *r = task->slot<TermRequestPayload>(0))
                CommandResults::markTermRequest(m_db, *r, false);
            p.release();
            task->kind = TaskKind::TermRequestDecision;
            PostToThread(ProcessValues::CommThreadId, Msg::Task, 0,
                         std::unique_ptr<TaskMessage>(task));
        }
    }
};

class Termsim
{
public:
    bool start(const QString &source)
    {
        m_proc.setReadChannel(QProcess::StandardOutput);
        m_proc.start(QStringLiteral("/usr/bin/python3"),
                     {source + QStringLiteral("/tools/termsim/termsim.py"),
                      QStringLiteral("--count"), QStringLiteral("0"), QStringLiteral("--udp-port"),
                      QString::number(UdpPort), QStringLiteral("--control-port"),
                      QStringLiteral("-1"), QStringLiteral("--exit-on-eof"),
                      QStringLiteral("--die-with-parent")});
        if (!m_proc.waitForStarted(5000))
            return false;
        return !line([](const QString &l) { return l.startsWith(QLatin1String("READY")); }, 20000)
                    .isEmpty();
    }
    // Sends a command; the answer after "OK ".
    QString cmd(const QString &command, int timeoutMs)
    {
        m_proc.write(command.toUtf8() + '\n');
        const QString l = line(
            [](const QString &s) {
                return s.startsWith(QLatin1String("OK")) || s.startsWith(QLatin1String("ERR")) ||
                       s.startsWith(QLatin1String("TIMEOUT"));
            },
            timeoutMs);
        return l.startsWith(QLatin1String("OK")) ? l.mid(3) : QString();
    }
    ~Termsim()
    {
        m_proc.closeWriteChannel();
        if (!m_proc.waitForFinished(10000))
            m_proc.kill();
    }

private:
    QString line(const std::function<bool(const QString &)> &want, int timeoutMs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            while (m_proc.canReadLine()) {
                const QString l = QString::fromUtf8(m_proc.readLine()).trimmed();
                if (want(l))
                    return l;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            m_proc.waitForReadyRead(5);
        }
        return QString();
    }
    QProcess m_proc;
};

struct RunResult {
    bool complete = false; // every terminal in the register with its fields
    int rows = 0;
    int wrong = 0;
    double sendRate = 0;
    double settleS = -1;
    double ackGapMinMs = -1;
    int acks = 0;
};

// The fields termsim's burst gives terminal n.
bool rowMatches(const TermEntry &e, int n)
{
    const quint32 a = 0x7F010000u + 1u + static_cast<quint32>(n);
    const QString ip = StoredIpAddr(Ipv4::hostToRegister(a));
    const QString mac = QStringLiteral("02:01:%1:%2:%3:%4")
                            .arg((a >> 24) & 0xFF, 2, 16, QLatin1Char('0'))
                            .arg((a >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
                            .arg((a >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
                            .arg(a & 0xFF, 2, 16, QLatin1Char('0'))
                            .toUpper();
    return e.TermID == QString::number(200000 + n) && e.IPAddr == ip && e.UserInfo1 == mac &&
           e.Regist == n % 3 && e.Vendor == QLatin1String("KEL") &&
           e.MachineName == QLatin1String("KT-100");
}

// The communication stack over a fresh program folder and register.
struct Stack {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kelmng-storm-XXXXXX")};
    std::unique_ptr<CTermDatabase> db;
    std::unique_ptr<View> view;
    CTimerThread timer;
    CCommMgrThread comm;
    bool up = false;

    Stack()
    {
        ProcessValues::setProgramFolder(dir.path());
        QDir(dir.path()).mkpath(QStringLiteral("Log"));
        db = std::make_unique<CTermDatabase>(dir.path());
        if (!db->startUp())
            return;
        SystemSettings s;
        db->readSystemSettings(s);
        s.UDPPort = UdpPort;
        db->writeSystemSettings(s);
        view = std::make_unique<View>(*db);
        timer.launch(QThread::HighPriority);
        comm.launch(QThread::HighPriority);
        PostToThread(ProcessValues::CommThreadId, Msg::StartStop, 0,
                     MakeCommSettingsMessage(ProcessValues::MainThreadId, TaskKind::Start,
                                             {UdpPort, 1, 1}));
        PostToThread(ProcessValues::TimerThreadId, Msg::StartStop, 0,
                     std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Start));
        up = pumpUntil([&] { return comm.socketOpen(); }, 5000);
    }
    ~Stack()
    {
        PostToThread(ProcessValues::CommThreadId, Msg::StartStop, 0,
                     std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Stop));
        PostToThread(ProcessValues::TimerThreadId, Msg::StartStop, 0,
                     std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Stop));
        comm.wait(20000);
        timer.wait(5000);
    }
};

// Checks the register against the burst; n terminals from first on.
void checkRows(CTermDatabase &db, int count, RunResult &out)
{
    out.rows = 0;
    out.wrong = 0;
    std::vector<TermEntry> rows;
    ListCondInfo cond;
    db.readListCond(cond);
    db.readList(cond, rows);
    std::vector<bool> seen(std::size_t(count), false);
    for (const TermEntry &e : rows) {
        const int n = e.TermID.toInt() - 200000;
        if (n < 0 || n >= count || seen[std::size_t(n)] || !rowMatches(e, n)) {
            ++out.wrong;
            continue;
        }
        seen[std::size_t(n)] = true;
        ++out.rows;
    }
    out.complete = out.rows == count && out.wrong == 0;
}

RunResult runOnce(const QString &source, int count, int rate, bool waitAcks, bool ownSource)
{
    RunResult out;
    Stack stack;
    if (!stack.up)
        return out;
    View &view = *stack.view;

    Termsim sim;
    if (!sim.start(source))
        return out;
    // Without waiting for the acks the burst is cut off shortly after sending.
    const double sendS = rate > 0 ? double(count) / rate : count / 40000.0;
    const int maxS = waitAcks ? 0 : int(sendS) + 3;
    if (sim.cmd(QStringLiteral("burst count=%1 rate=%2 idle_s=3 max_s=%3 own_source=%4")
                    .arg(count)
                    .arg(rate)
                    .arg(maxS)
                    .arg(ownSource ? 1 : 0),
                10000)
            .isEmpty())
        return out;
    double completeWall = 0;
    pumpUntil(
        [&] {
            if (completeWall == 0 &&
                view.applier.applied() + view.applier.pending() >= std::uint64_t(count)) {
                view.applier.flush();
                completeWall = QDateTime::currentMSecsSinceEpoch() / 1000.0;
            }
            return completeWall != 0;
        },
        int(sendS * 1000) + 120000);
    const QString summaryText = sim.cmd(QStringLiteral("wait burst timeout=400"), 410000);
    const QJsonObject summary = QJsonDocument::fromJson(summaryText.toUtf8()).object();
    out.sendRate = summary.value("send_rate").toDouble();
    out.ackGapMinMs = summary.value("ack_gap_min_ms").toDouble(-1);
    out.acks = summary.value("acks").toInt();
    if (completeWall != 0)
        out.settleS = std::max(0.0, completeWall - summary.value("send_end_wall").toDouble());

    view.applier.flush();
    checkRows(*stack.db, count, out);
    return out;
}

// A plain UDP socket on a loopback address, as a phone or a stranger has one.
class Socket
{
public:
    Socket(const char *address, std::uint16_t port)
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        ::inet_pton(AF_INET, address, &a.sin_addr);
        m_ok = ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    }
    ~Socket() { ::close(m_fd); }
    bool ok() const { return m_ok; }
    void sendToPc(const QByteArray &d)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(UdpPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::sendto(m_fd, d.constData(), size_t(d.size()), 0, reinterpret_cast<sockaddr *>(&to),
                 sizeof to);
    }
    // The next datagram's message code within the time, -1 when none came.
    int receive(int timeoutMs)
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return -1;
        char buf[512];
        const ssize_t n = ::recv(m_fd, buf, sizeof buf, 0);
        return n >= 2 ? Udp::messageCode(QByteArray(buf, int(n))) : -1;
    }

private:
    int m_fd = -1;
    bool m_ok = false;
};

Udp::TermNotify phone(const QString &id, std::uint32_t address, const QString &mac)
{
    Udp::TermNotify n;
    n.termId = id;
    n.address = address;
    n.vendor = QStringLiteral("KEL");
    n.machineName = QStringLiteral("KT-100");
    n.macAddress = mac;
    return n;
}

// The longest wait of a real terminal (127.0.90.2) for its ack while a
// stranger (127.0.90.66) sends 20,000 notices with one MAC and new IDs.
double floodLegitAckMs()
{
    Stack stack;
    Socket real("127.0.90.2", 0), stranger("127.0.90.66", 0);
    if (!stack.up || !real.ok() || !stranger.ok())
        return -1;
    const QByteArray mine = Udp::buildTermNotify(phone("5001", 0x7F005A02u, "02:00:00:5A:00:02"));
    double worst = 0;
    int sent = 0;
    QElapsedTimer wait;
    for (int round = 0; sent < 20000 || round < 5; ++round) {
        for (int i = 0; i < 2000 && sent < 20000; ++i, ++sent)
            stranger.sendToPc(Udp::buildTermNotify(
                phone(QString::number(600000 + sent), 0x7F005A42u, "02:00:00:5A:00:42")));
        wait.start();
        real.sendToPc(mine);
        int code = -1;
        while (code != Udp::Code::TermNotifyAck && wait.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            code = real.receive(1);
        }
        worst = std::max(worst, double(wait.nsecsElapsed()) / 1e6);
    }
    return worst;
}

// From posting a restart of one terminal (127.0.91.2) to its RemoteOpenReq,
// while a stranger (127.0.91.66) has just sent 1,200 TermRequests with
// unknown MAC addresses.
double floodSessionOpenMs()
{
    qputenv(CCommMgrThread::TestSharedPortVariable, "1");
    Stack stack;
    Socket terminal("127.0.91.2", UdpPort), stranger("127.0.91.66", 0);
    qunsetenv(CCommMgrThread::TestSharedPortVariable);
    if (!stack.up || !terminal.ok() || !stranger.ok())
        return -1;
    for (int i = 0; i < 1200; ++i) {
        Udp::TermRequest r;
        r.notify = phone(QString::number(700000 + i), 0x7F005B42u,
                         QStringLiteral("02:00:00:5B:%1:%2")
                             .arg(i / 256, 2, 16, QLatin1Char('0'))
                             .arg(i % 256, 2, 16, QLatin1Char('0'))
                             .toUpper());
        r.sequence = std::uint16_t(i);
        r.fileSelect = Udp::FileSelect::All;
        stranger.sendToPc(Udp::buildTermRequest(r));
    }
    auto request = std::make_unique<RequestPayload>();
    TerminalEntry e;
    e.termId = QStringLiteral("5101");
    e.address = 0x7F005B02u;
    e.model = QStringLiteral("KT-100");
    request->entries.append(e);
    QElapsedTimer posted;
    posted.start();
    PostToThread(ProcessValues::CommThreadId, Msg::Task, 0,
                 MakeRequest(ProcessValues::MainThreadId, RequestKind::Restart, std::move(request)));
    double openMs = -1;
    // The terminal opens and closes its session, so the request ends.
    for (int code = -1; posted.elapsed() < 60000;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        code = terminal.receive(1);
        if (code == Udp::Code::RemoteOpenReq && openMs < 0) {
            openMs = double(posted.nsecsElapsed()) / 1e6;
            terminal.sendToPc(Udp::buildRemoteOpenAck());
        } else if (code == Udp::Code::RemoteCloseReq) {
            terminal.sendToPc(Udp::buildRemoteCloseAck());
            break;
        }
    }
    return openMs;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int count = 65535;
    QList<int> rates{20000, 30000, 40000, 0};
    bool acks = true, storms = true;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--count") && i + 1 < args.size())
            count = args[++i].toInt();
        else if (args[i] == QLatin1String("--rates") && i + 1 < args.size()) {
            rates.clear();
            for (const QString &r : args[++i].split(QLatin1Char(',')))
                rates << r.toInt();
        } else if (args[i] == QLatin1String("--no-acks"))
            acks = false;
        else if (args[i] == QLatin1String("--floods-only"))
            storms = false;
    }
    const QString source = qEnvironmentVariable("KEL_SOURCE_DIR", QStringLiteral(KEL_SOURCE_DIR));
    ProcessValues::sendDelay = 1;

    double best = 0;
    for (int i = 0; storms && i < rates.size(); ++i) {
        const bool first = i == 0;
        const RunResult r = runOnce(source, count, rates[i], first && acks, true);
        std::printf("# rate %d: sent at %.0f/s, rows %d, wrong %d, settle %.2f s, acks %d, ack gap "
                    "min %.3f ms\n",
                    rates[i], r.sendRate, r.rows, r.wrong, r.settleS, r.acks, r.ackGapMinMs);
        std::fflush(stdout);
        if (first) {
            std::printf("BENCH storm_settle_s %.2f s\n", r.settleS);
            if (acks)
                std::printf("BENCH ack_spacing_min_ms %.3f ms\n", r.ackGapMinMs);
        }
        if (!r.complete)
            break;
        best = std::max(best, r.sendRate);
    }
    if (storms) {
        std::printf("BENCH storm_max_rate_zero_loss %.0f notices/s\n", best);
        const RunResult router = runOnce(source, DefaultNewTermRate, 20000, false, false);
        std::printf("# behind one router: %d of %d terminals registered, wrong %d\n", router.rows,
                    DefaultNewTermRate, router.wrong);
        std::printf("BENCH storm_router_lost %d terminals\n", DefaultNewTermRate - router.rows);
        std::fflush(stdout);
    }
    std::printf("BENCH flood_legit_ack_ms %.1f ms\n", floodLegitAckMs());
    std::fflush(stdout);
    std::printf("BENCH flood_session_open_ms %.1f ms\n", floodSessionOpenMs());
    return 0;
}
