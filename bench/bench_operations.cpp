// Maintenance commands on many terminals: the list window with the real
// communication stack (in process, offscreen) against the terminal
// simulator, SendDelay 1 ms.
//   ops_restart_s        restart of every terminal, menu command to completion
//   ops_syswrite_s       system settings write to every terminal
//   ops_<name>_floor_s   what the pauses the program must make cost alone
//   ops_<name>_ratio     measured / floor
// Usage: bench_operations [--count N] [--only restart|syswrite]
// Run as root in a network namespace (FTP on port 21 of each terminal).
#include "cmds_e2e/ViewStack.h"

#include "common/ProcessValues.h"
#include "termlist/TermListModel.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>
#include <map>

namespace
{

constexpr int UdpPort = 44901;
constexpr int SendDelayMs = 1;
constexpr int Workers = 10;        // user workers of one request
constexpr int PauseBeforeFtpMs = 200; // a worker sleeps before it connects
constexpr int PauseAfterFtpMs = 300;  // and after its transfers

// The floor: the pauses alone, with everything else taking no time.
// - Every datagram leaves the one sending thread after a SendDelay pause, so
//   the 2 datagrams of each terminal's session (open, close) cost
//   2 * N * SendDelay on that thread, whatever the workers do in parallel.
// - A worker serves its terminals one after the other; each terminal costs
//   it the two SendDelay pauses of its datagrams plus, for an FTP operation,
//   the pause before connecting and the pause after the transfers. With 10
//   workers the busiest one serves ceil(N / 10) terminals.
// The floor is the larger of the two. The manager itself makes no pause
// around handing out terminals (it posts instead of sleeping), so none is
// counted for it.
double floorSeconds(int n, bool ftp)
{
    const double perTerminalMs = 2.0 * SendDelayMs + (ftp ? PauseBeforeFtpMs + PauseAfterFtpMs : 0);
    const double workerChainMs = double((n + Workers - 1) / Workers) * perTerminalMs;
    const double senderMs = 2.0 * n * SendDelayMs;
    return std::max(workerChainMs, senderMs) / 1000.0;
}

// The simulator's t_mono clock (CLOCK_MONOTONIC, seconds).
double monotonicSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

void report(const char *name, double seconds, double floor)
{
    std::printf("BENCH ops_%s_s %.3f s\n", name, seconds);
    std::printf("BENCH ops_%s_floor_s %.3f s\n", name, floor);
    std::printf("BENCH ops_%s_ratio %.3f ratio\n", name, seconds / floor);
    std::fflush(stdout);
}

// Runs one menu command on every terminal; seconds from the menu to the
// completion (results recorded, list redrawn, main window usable again).
double run(ViewStack &stack, Termsim &sim, const char *action, int n, const char *what)
{
    stack.selectAll();
    sim.cmd(QStringLiteral("clear"));
    const double start = monotonicSeconds();
    QElapsedTimer t;
    t.start();
    stack.trigger(action);
    if (!stack.wait(3600 * 1000)) {
        std::fprintf(stderr, "%s: no completion\n", what);
        return -1;
    }
    const double s = t.nsecsElapsed() / 1e9;
    std::map<int, int> codes;
    for (const TermEntry &e : stack.view->listModel()->entries())
        ++codes[e.ResultCode];
    std::fprintf(stderr, "%s: %d of %d terminals succeeded", what, codes[0], n);
    for (const auto &[code, count] : codes)
        if (code != 0)
            std::fprintf(stderr, ", %d with result %d", count, code);
    std::fprintf(stderr, "\n");
    // Where the time went: the first and the last datagram the terminals got.
    double first = 1e18, last = 0;
    for (const QJsonValue &v : sim.json(QStringLiteral("received all")).toArray()) {
        const double t = v.toObject().value(QStringLiteral("t_mono")).toDouble();
        first = std::min(first, t);
        last = std::max(last, t);
    }
    std::fprintf(stderr, "%s: datagrams from %.3f s to %.3f s after the menu\n", what,
                 first - start, last - start);
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int n = 1000;
    QString only;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--count"))
            n = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--only"))
            only = args[i + 1];
    }

    // The regular 100 ms tick: the time-outs play no part when all answer.
    ViewStack stack(UdpPort, SendDelayMs, "100");
    if (!stack.up()) {
        std::fprintf(stderr, "communication stack not up\n");
        return 1;
    }
    Termsim sim;
    QStringList simArgs = stack.simArgs(QStringLiteral("127.0.90.2"), n);
    simArgs << QStringLiteral("--stagger-ms") << QStringLiteral("1");
    if (!sim.start(simArgs)) {
        std::fprintf(stderr, "termsim: %s\n", qPrintable(sim.lastLine()));
        return 1;
    }
    if (!stack.waitRows(n, 120000)) {
        std::fprintf(stderr, "only %d terminals registered\n", stack.view->listModel()->rowCount());
        return 1;
    }
    std::fprintf(stderr, "%d terminals registered\n", n);

    if (only.isEmpty() || only == QLatin1String("restart")) {
        const double s = run(stack, sim, "actionRestart", n, "restart");
        if (s < 0)
            return 1;
        report("restart", s, floorSeconds(n, false));
    }
    if (only.isEmpty() || only == QLatin1String("syswrite")) {
        for (const TermEntry &e : stack.view->listModel()->entries())
            stack.dir.write(QStringLiteral("Data/Sys/kel_sys%1.ini").arg(e.TermID),
                            "Version=1\r\n\r\n[Terminal]\r\nTerminalID=" + e.TermID.toLatin1() +
                                "\r\nCodec=G711\r\n");
        const double s = run(stack, sim, "actionWriteSys", n, "syswrite");
        if (s < 0)
            return 1;
        report("syswrite", s, floorSeconds(n, true));
    }
    return 0;
}
