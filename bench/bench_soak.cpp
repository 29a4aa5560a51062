// Soak: the real program (kelmngpc on the offscreen platform, its own
// process) against the terminal simulator's terminals, each announcing
// itself every second, while maintenance commands are started one after
// another through the program's test-only control socket
// (KELMNGPC_TEST_CONTROL, src/app/TestControl.h), for N minutes.
//   soak_rss_growth_pct    the program's resident memory: mean over the last
//                          minute against the mean over the second minute
//   soak_max_stall_ms      the longest wait for the main thread's event loop
//                          to answer a ping (one every 50 ms from a thread of
//                          this bench through the control socket)
//   soak_commands_started  commands whose request went out
//   soak_commands_done     of those, completions that reached the view (the
//                          main window given back)
//   soak_notices_lost      notices the simulator sent (the sum of its
//                          per-terminal sent:TermNotify counts) that were not
//                          committed to the register (the notice applier's
//                          count of committed updates), counted once the
//                          terminals have fallen silent and the program's
//                          queue has drained
// Commands cycle over ReadSys, WriteSys, ReadUser, WriteUser, ReadDial,
// WriteDial, TermInfo, Restart, ForceClose, each on the same block of --select
// terminals (in register order); the block moves on after each cycle.
// Usage: bench_soak [--minutes M | --seconds S] [--count N] [--wait MS] [--select N]
// Run as root (FTP on port 21 of each terminal) in a network namespace:
//   unshare -n sh -c 'ip link set lo up && build/bench/bench_soak'
#include "BenchMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int UdpPort = 4000; // the register's default; the bench runs in its own namespace
constexpr int PingIntervalMs = 50;

const char *const kCycle[] = {"actionReadSys",  "actionWriteSys", "actionReadUser",
                              "actionWriteUser", "actionReadDial", "actionWriteDial",
                              "actionTermInfo", "actionRestart",  "actionForceClose"};
constexpr int kCycleLength = int(sizeof kCycle / sizeof kCycle[0]);

// A blocking line client of the program's control socket.
class Control
{
public:
    bool connectTo(const QString &path, int timeoutMs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            m_socket.connectToServer(path);
            if (m_socket.waitForConnected(1000))
                return true;
            m_socket.abort();
            QThread::msleep(100);
        }
        return false;
    }
    // The answer line; empty when none came in time.
    QString ask(const QString &line, int timeoutMs = 30000)
    {
        m_socket.write(line.toUtf8() + '\n');
        m_socket.waitForBytesWritten(timeoutMs);
        QElapsedTimer t;
        t.start();
        while (!m_socket.canReadLine()) {
            if (t.elapsed() > timeoutMs || m_socket.state() != QLocalSocket::ConnectedState)
                return QString();
            m_socket.waitForReadyRead(100);
        }
        return QString::fromUtf8(m_socket.readLine()).trimmed();
    }

private:
    QLocalSocket m_socket;
};

// The terminal simulator, driven over its stdin.
class Termsim
{
public:
    bool start(const QStringList &args)
    {
        m_proc.setProcessChannelMode(QProcess::SeparateChannels);
        m_proc.setStandardErrorFile(QProcess::nullDevice());
        m_proc.start(QStringLiteral("/usr/bin/python3"), args);
        return m_proc.waitForStarted(5000) && readLine("READY", 120000).startsWith("READY");
    }
    QString cmd(const QString &line, int timeoutMs = 60000)
    {
        m_proc.write(line.toUtf8() + '\n');
        const QString answer = readLine(QString(), timeoutMs);
        return answer.startsWith(QLatin1String("OK")) ? answer.mid(3) : QString();
    }
    void stop()
    {
        m_proc.closeWriteChannel();
        if (!m_proc.waitForFinished(30000))
            m_proc.kill();
    }
    ~Termsim() { stop(); }

private:
    // The next line starting with want (or any answer line when want is empty).
    QString readLine(const QString &want, int timeoutMs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            while (m_proc.canReadLine()) {
                const QString l = QString::fromUtf8(m_proc.readLine()).trimmed();
                if (want.isEmpty() ? (l.startsWith(QLatin1String("OK")) ||
                                      l.startsWith(QLatin1String("ERR")) ||
                                      l.startsWith(QLatin1String("TIMEOUT")))
                                   : l.startsWith(want))
                    return l;
            }
            if (m_proc.state() == QProcess::NotRunning)
                return QString();
            m_proc.waitForReadyRead(100);
        }
        return QString();
    }
    QProcess m_proc;
};

// Pings the program's event loop from a thread of its own.
class Pinger
{
public:
    explicit Pinger(QString path) : m_path(std::move(path)) {}
    ~Pinger() { stop(); }

    void start(int minutes)
    {
        m_perMinute.assign(std::size_t(minutes) + 2, 0.0);
        m_thread = std::thread([this] { run(); });
    }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    double maxMs() const { return m_max; }
    std::vector<double> perMinute() const
    {
        std::lock_guard lock(m_mutex);
        return m_perMinute;
    }
    long pings() const { return m_pings; }
    long over200() const { return m_over200; }
    bool failed() const { return m_failed; }

private:
    void run()
    {
        Control control;
        if (!control.connectTo(m_path, 10000)) {
            m_failed = true;
            return;
        }
        const auto begin = std::chrono::steady_clock::now();
        auto next = begin;
        while (!m_stop) {
            const auto sent = std::chrono::steady_clock::now();
            if (control.ask(QStringLiteral("ping"), 120000) != QLatin1String("pong")) {
                m_failed = true;
                return;
            }
            const auto back = std::chrono::steady_clock::now();
            const double ms = std::chrono::duration<double, std::milli>(back - sent).count();
            const auto minute = std::size_t(
                std::chrono::duration_cast<std::chrono::minutes>(sent - begin).count());
            {
                std::lock_guard lock(m_mutex);
                if (minute < m_perMinute.size())
                    m_perMinute[minute] = std::max(m_perMinute[minute], ms);
            }
            m_max = std::max(m_max.load(), ms);
            ++m_pings;
            if (ms > 200)
                ++m_over200;
            next += std::chrono::milliseconds(PingIntervalMs);
            if (next < back)
                next = back;
            std::this_thread::sleep_until(next);
        }
    }

    QString m_path;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_failed{false};
    std::atomic<double> m_max{0};
    std::atomic<long> m_pings{0};
    std::atomic<long> m_over200{0};
    mutable std::mutex m_mutex;
    std::vector<double> m_perMinute;
};

double meanRss(const std::vector<std::pair<double, long>> &samples, double from, double to)
{
    double sum = 0;
    int n = 0;
    for (const auto &[t, kb] : samples)
        if (t >= from && t < to && kb > 0) {
            sum += double(kb);
            ++n;
        }
    return n ? sum / n : -1;
}

// Notices sent by all terminals so far (termsim's counts).
long noticesSent(Termsim &sim)
{
    const QJsonObject status =
        QJsonDocument::fromJson(sim.cmd(QStringLiteral("status")).toUtf8()).object();
    long sent = 0;
    for (const QJsonValue &c : status.value(QStringLiteral("counts")).toArray())
        sent += c.toObject().value(QStringLiteral("sent:TermNotify")).toInteger();
    return sent;
}

// "applied A pending P dropped D"
std::array<long, 3> noticeCounts(Control &control)
{
    const QStringList w = control.ask(QStringLiteral("notices")).split(QLatin1Char(' '));
    return {w.value(1, QStringLiteral("-1")).toLong(), w.value(3, QStringLiteral("-1")).toLong(),
            w.value(5, QStringLiteral("-1")).toLong()};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    double seconds = 600;
    int count = 1000;
    int waitMs = 1;
    int select = 250;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--minutes"))
            seconds = args[++i].toDouble() * 60;
        else if (args[i] == QLatin1String("--seconds"))
            seconds = args[++i].toDouble();
        else if (args[i] == QLatin1String("--count"))
            count = args[++i].toInt();
        else if (args[i] == QLatin1String("--wait"))
            waitMs = args[++i].toInt();
        else if (args[i] == QLatin1String("--select"))
            select = args[++i].toInt();
    }
    if (::geteuid() != 0) {
        std::fprintf(stderr, "bench_soak: run as root (the terminals' FTP servers use port 21), "
                             "in a network namespace\n");
        return 2;
    }
    if (select <= 0 || select > count)
        select = count;
    const QString source = qEnvironmentVariable("KEL_SOURCE_DIR", QStringLiteral(KEL_SOURCE_DIR));
    const QString program = qEnvironmentVariable("KEL_PROGRAM", QStringLiteral(KEL_PROGRAM));

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kelmng-soak-XXXXXX"));
    const QString folder = dir.path() + QStringLiteral("/program");
    // The script lays the folder out with this program.
    qputenv("KELMNGPC_PROGRAM", program.toLocal8Bit());
    if (QProcess::execute(source + QStringLiteral("/scripts/make-program-folder"),
                          {folder, QStringLiteral("KT-100"), QStringLiteral("kel"),
                           QStringLiteral("secret")}) != 0) {
        std::fprintf(stderr, "bench_soak: no program folder\n");
        return 1;
    }
    const QString controlPath = dir.path() + QStringLiteral("/control.sock");

    QProcess kel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KELMNGPC_TEST_SHARED_UDP_PORT"), QStringLiteral("1"));
    env.insert(QStringLiteral("KELMNGPC_TEST_CONTROL"), controlPath);
    kel.setProcessEnvironment(env);
    kel.setStandardOutputFile(dir.path() + QStringLiteral("/program.out"));
    kel.setStandardErrorFile(dir.path() + QStringLiteral("/program.err"));
    kel.start(program, {QStringLiteral("--program-folder=") + folder,
                        QStringLiteral("/wait=%1").arg(waitMs)});
    Control control;
    if (!kel.waitForStarted(10000) || !control.connectTo(controlPath, 60000)) {
        std::fprintf(stderr, "bench_soak: the program did not come up\n");
        return 1;
    }
    QElapsedTimer upTimer;
    upTimer.start();
    while (!control.ask(QStringLiteral("state")).endsWith(QLatin1String("socket 1"))) {
        if (upTimer.elapsed() > 30000) {
            std::fprintf(stderr, "bench_soak: the program's UDP socket did not open\n");
            return 1;
        }
        QThread::msleep(100);
    }

    Termsim sim;
    const QStringList simArgs{source + QStringLiteral("/tools/termsim/termsim.py"),
                              QStringLiteral("--count"), QString::number(count),
                              QStringLiteral("--base"), QStringLiteral("127.0.10.2"),
                              QStringLiteral("--udp-port"), QString::number(UdpPort),
                              QStringLiteral("--notify-interval"), QStringLiteral("1"),
                              QStringLiteral("--stagger-ms"), QStringLiteral("1"),
                              QStringLiteral("--account"), QStringLiteral("KT-100:kel:secret"),
                              QStringLiteral("--root"), dir.path() + QStringLiteral("/sim"),
                              QStringLiteral("--counts-only"), QStringLiteral("--control-port"),
                              QStringLiteral("-1"), QStringLiteral("--exit-on-eof"),
                              QStringLiteral("--die-with-parent")};
    if (!sim.start(simArgs)) {
        std::fprintf(stderr, "bench_soak: the simulator did not start\n");
        return 1;
    }
    // Until every terminal is in the list, the blocks would be short.
    QElapsedTimer listTimer;
    listTimer.start();
    while (control.ask(QStringLiteral("rows")).toInt() < count && listTimer.elapsed() < 120000)
        QThread::msleep(500);
    std::printf("# %d terminals announcing every second, /wait=%d, %d per command, %.0f s\n",
                count, waitMs, select, seconds);
    std::fflush(stdout);

    const int minutes = int((seconds + 59) / 60);
    Pinger pinger(controlPath);
    pinger.start(minutes);

    std::vector<std::pair<double, long>> rss;
    int started = 0;
    int done = 0;
    int refused = 0;
    int next = 0;
    bool inFlight = false;
    double commandStart = 0;
    double longestCommand = 0;
    QElapsedTimer clock;
    clock.start();
    double nextRss = 0;
    bool programGone = false;
    for (;;) {
        const double t = clock.nsecsElapsed() / 1e9;
        if (kel.state() == QProcess::NotRunning) {
            programGone = true;
            break;
        }
        if (t >= nextRss) {
            rss.emplace_back(t, residentKb(kel.processId()));
            nextRss += 1.0;
        }
        const bool running = control.ask(QStringLiteral("state")).startsWith(QLatin1String("running 1"));
        if (inFlight && !running) {
            inFlight = false;
            ++done;
            longestCommand = std::max(longestCommand, t - commandStart);
        }
        // A command that never completes is reported by the counts.
        if (t >= seconds && (!inFlight || t >= seconds + 900))
            break;
        if (!inFlight) {
            const int block = (next / kCycleLength) * select % count;
            control.ask(QStringLiteral("select %1 %2").arg(block).arg(select));
            const QString action = QString::fromLatin1(kCycle[next % kCycleLength]);
            if (control.ask(QStringLiteral("run ") + action) == QLatin1String("posted")) {
                ++started;
                ++next;
                inFlight = true;
                commandStart = t;
            } else {
                ++refused;
            }
        }
        QThread::msleep(250);
    }
    const double ran = clock.nsecsElapsed() / 1e9;
    pinger.stop();

    long lost = -1;
    std::array<long, 3> notices{-1, -1, -1};
    long sent = -1;
    QString results;
    int rows = -1;
    if (!programGone) {
        // The terminals fall silent; the program drains what came.
        sim.cmd(QStringLiteral("set all notify_interval_s=0"));
        QThread::msleep(3000);
        long lastApplied = -2;
        QElapsedTimer settle;
        settle.start();
        for (;;) {
            notices = noticeCounts(control);
            if (notices[1] == 0 && notices[0] == lastApplied)
                break;
            if (settle.elapsed() > 120000)
                break;
            lastApplied = notices[0];
            QThread::msleep(2000);
        }
        sent = noticesSent(sim);
        lost = sent - notices[0];
        results = control.ask(QStringLiteral("results"));
        rows = control.ask(QStringLiteral("rows")).toInt();
    }

    const double window = std::min(60.0, seconds / 5);
    const double second = meanRss(rss, window, 2 * window);
    const double last = meanRss(rss, ran - window, ran + 1);
    const double growth = second > 0 ? (last - second) / second * 100.0 : -1;

    std::printf("# ran %.0f s; RSS %.1f MiB in [%.0f, %.0f) s, %.1f MiB in the last %.0f s\n", ran,
                second / 1024, window, 2 * window, last / 1024, window);
    std::printf("# RSS per minute (MiB):");
    for (int m = 0; m * 60 < int(ran); ++m)
        std::printf(" %.1f", meanRss(rss, m * 60.0, m * 60.0 + 60) / 1024);
    std::printf("\n# max stall per minute (ms):");
    for (double ms : pinger.perMinute())
        std::printf(" %.0f", ms);
    std::printf("\n# pings %ld, over 200 ms %ld%s\n", pinger.pings(), pinger.over200(),
                pinger.failed() ? ", PINGS FAILED" : "");
    std::printf("# commands: refused starts %d, longest %.1f s\n", refused, longestCommand);
    std::printf("# notices: sent %ld, applied %ld, pending %ld, dropped %ld; rows %d; results %s\n",
                sent, notices[0], notices[1], notices[2], rows, results.toUtf8().constData());
    if (programGone)
        std::printf("# THE PROGRAM ENDED (exit %d), see %s/program.err\n", kel.exitCode(),
                    dir.path().toUtf8().constData());
    std::printf("BENCH soak_rss_growth_pct %.2f %%\n", growth);
    std::printf("BENCH soak_max_stall_ms %.0f ms\n", pinger.maxMs());
    std::printf("BENCH soak_commands_started %d commands\n", started);
    std::printf("BENCH soak_commands_done %d commands\n", done);
    std::printf("BENCH soak_notices_lost %ld notices\n", lost);
    std::fflush(stdout);

    sim.stop();
    if (!programGone) {
        ::kill(pid_t(kel.processId()), SIGTERM);
        if (!kel.waitForFinished(30000)) {
            std::printf("# the program did not end on SIGTERM\n");
            kel.kill();
            kel.waitForFinished(5000);
        } else if (kel.exitCode() != 0) {
            std::printf("# the program ended with %d\n", kel.exitCode());
        }
    }
    if (qEnvironmentVariableIsSet("KEL_SOAK_KEEP")) {
        dir.setAutoRemove(false);
        std::printf("# kept %s\n", dir.path().toUtf8().constData());
    }
    return programGone ? 1 : 0;
}
