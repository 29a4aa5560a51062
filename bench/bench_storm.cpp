// Notice storm: the real communication stack and register against the
// terminal simulator's burst mode, 65,535 distinct terminals.
//   storm_max_rate_zero_loss  highest notice rate at which every notice
//                             reached the register with its fields
//   storm_settle_s            last notice sent -> register complete, at 20,000/s
//   ack_spacing_min_ms        smallest gap between two acks seen by the simulator
// Usage: bench_storm [--count N] [--rates R1,R2,...] [--no-acks]
#include "comm/CommMgrThread.h"
#include "comm/CommPayloads.h"
#include "comm/TimerService.h"
#include "common/Ipv4.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
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
          applier(db, *this, ProcessValues::MainThreadId, ProcessValues::TimerThreadId)
    {
    }
    NoticeApplier applier;
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
                applier.onNotice(n->notice);
        } else if (task->kind == TaskKind::TimerExpired) {
            if (const TimerSpec *s = TimerSpecOf(*task))
                applier.onTimerExpired(*s);
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

RunResult runOnce(const QString &source, int count, int rate, bool waitAcks)
{
    RunResult out;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kelmng-storm-XXXXXX"));
    ProcessValues::setProgramFolder(dir.path());
    QDir(dir.path()).mkpath(QStringLiteral("Log"));
    CTermDatabase db(dir.path());
    if (!db.startUp())
        return out;
    SystemSettings s;
    db.readSystemSettings(s);
    s.UDPPort = UdpPort;
    db.writeSystemSettings(s);

    View view(db);
    CTimerThread timer;
    CCommMgrThread comm;
    timer.launch(QThread::HighPriority);
    comm.launch(QThread::HighPriority);
    PostToThread(
        ProcessValues::CommThreadId, Msg::StartStop, 0,
        MakeCommSettingsMessage(ProcessValues::MainThreadId, TaskKind::Start, {UdpPort, 1, 1}));
    PostToThread(ProcessValues::TimerThreadId, Msg::StartStop, 0,
                 std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Start));
    if (!pumpUntil([&] { return comm.socketOpen(); }, 5000))
        return out;

    Termsim sim;
    if (!sim.start(source))
        return out;
    // Without waiting for the acks the burst is cut off shortly after sending.
    const double sendS = rate > 0 ? double(count) / rate : count / 40000.0;
    const int maxS = waitAcks ? 0 : int(sendS) + 3;
    if (sim.cmd(QStringLiteral("burst count=%1 rate=%2 idle_s=3 max_s=%3")
                    .arg(count)
                    .arg(rate)
                    .arg(maxS),
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
    std::vector<TermEntry> rows;
    ListCondInfo cond;
    db.readListCond(cond);
    db.readList(cond, rows);
    out.rows = int(rows.size());
    std::vector<bool> seen(std::size_t(count), false);
    for (const TermEntry &e : rows) {
        const int n = e.TermID.toInt() - 200000;
        if (n < 0 || n >= count || seen[std::size_t(n)] || !rowMatches(e, n)) {
            ++out.wrong;
            continue;
        }
        seen[std::size_t(n)] = true;
    }
    out.complete = out.rows == count && out.wrong == 0;
    PostToThread(ProcessValues::CommThreadId, Msg::StartStop, 0,
                 std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Stop));
    PostToThread(ProcessValues::TimerThreadId, Msg::StartStop, 0,
                 std::make_unique<TaskMessage>(ProcessValues::MainThreadId, TaskKind::Stop));
    comm.wait(20000);
    timer.wait(5000);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int count = 65535;
    QList<int> rates{20000, 30000, 40000, 0};
    bool acks = true;
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
    }
    const QString source = qEnvironmentVariable("KEL_SOURCE_DIR", QStringLiteral(KEL_SOURCE_DIR));
    ProcessValues::sendDelay = 1;

    double best = 0;
    for (int i = 0; i < rates.size(); ++i) {
        const bool first = i == 0;
        const RunResult r = runOnce(source, count, rates[i], first && acks);
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
    std::printf("BENCH storm_max_rate_zero_loss %.0f notices/s\n", best);
    return 0;
}
