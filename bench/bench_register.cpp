// Register throughput on a fresh register file: two update passes over
// 65,535 terminals in bursts of 1,000 and two list reads.
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace
{

constexpr int Terminals = 65535;
constexpr int Burst = 1000;

RegistrationData terminal(int i, int pass)
{
    RegistrationData d;
    d.TermID = QString::number(i + 1);
    const int n = i + 1;
    d.IPAddr = 10u | std::uint32_t((n >> 16) & 0xff) << 8 | std::uint32_t((n >> 8) & 0xff) << 16 |
               std::uint32_t(n & 0xff) << 24;
    d.UserInfo1 = QString::asprintf("00:1B:%02X:%02X:%02X:%02X", (i >> 24) & 0xff, (i >> 16) & 0xff,
                                    (i >> 8) & 0xff, i & 0xff);
    d.Regist = 1;
    d.Vendor = QStringLiteral("Vendor");
    d.MachineName = QStringLiteral("KX-IP100");
    d.MachineType = QStringLiteral("Type1");
    d.VerBoot = QStringLiteral("1.00");
    d.VerApli = QString::asprintf("2.%02d", pass);
    d.UserInfo2 = QStringLiteral("user %1").arg(i);
    return d;
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Wall time is the figure; the CPU time beside it on stderr tells a loaded
// machine from a slow register.
void report(const char *name, double value, const char *unit, double cpu)
{
    std::printf("BENCH %s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
    std::fprintf(stderr, "%s: cpu %.3f s\n", name, cpu);
}

bool updatePass(CTermDatabase &db, int pass, const char *name)
{
    QElapsedTimer t;
    t.start();
    const double cpu0 = cpuSeconds();
    std::vector<RegistrationData> burst;
    burst.reserve(Burst);
    for (int i = 0; i < Terminals; i += Burst) {
        burst.clear();
        for (int j = i; j < std::min(i + Burst, Terminals); ++j)
            burst.push_back(terminal(j, pass));
        if (db.registerUpdates(burst) != DbAnswer::Done) {
            std::fprintf(stderr, "%s: update failed\n", name);
            return false;
        }
    }
    report(name, t.nsecsElapsed() / 1e9, "s", cpuSeconds() - cpu0);
    return true;
}

bool readPass(CTermDatabase &db, const ListCondInfo &cond, const char *name, std::size_t &rows)
{
    // Best of three, after one warm-up read.
    double best = 1e9, bestCpu = 0;
    for (int round = 0; round < 4; ++round) {
        std::vector<TermEntry> list;
        QElapsedTimer t;
        t.start();
        const double cpu0 = cpuSeconds();
        if (db.readList(cond, list) != DbAnswer::Done) {
            std::fprintf(stderr, "%s: read failed\n", name);
            return false;
        }
        const double s = t.nsecsElapsed() / 1e9;
        if (round > 0 && s < best) {
            best = s;
            bestCpu = cpuSeconds() - cpu0;
        }
        rows = list.size();
    }
    report(name, best, "s", bestCpu);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ProcessValues::setProgramFolder(dir.path());
    CTermDatabase db(dir.path());
    if (!db.startUp())
        return 1;

    if (!updatePass(db, 1, "update_new_65535") || !updatePass(db, 2, "update_refresh_65535"))
        return 1;

    std::size_t rows = 0;
    ListCondInfo cond = DefaultListCond();
    if (!readPass(db, cond, "read_list_65535", rows))
        return 1;
    std::fprintf(stderr, "read_list_65535: %zu rows\n", rows);
    if (rows != std::size_t(Terminals))
        return 1;

    cond.FCndTermID1 = CondCode::Equal;
    cond.FInfoTermID1 = QStringLiteral("1*");
    cond.FCndIPAddr1 = CondCode::GreaterEqual;
    cond.FInfoIPAddr1 = QStringLiteral("010.000.039.000");
    cond.FJoinIPAddr = JoinCode::And;
    cond.FCndIPAddr2 = CondCode::Less;
    cond.FInfoIPAddr2 = QStringLiteral("010.000.079.000");
    if (!readPass(db, cond, "read_list_like_65535", rows))
        return 1;
    std::fprintf(stderr, "read_list_like_65535: %zu rows\n", rows);
    return 0;
}
