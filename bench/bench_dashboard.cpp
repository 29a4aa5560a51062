// The dashboard beside the list on a register of 65,535 terminals (offscreen
// platform): 40 application versions, every SIP state, alerts, results of
// many codes, firmware checks in every state, silent and heard terminals.
// The parent prepares the register and starts itself again as a fresh
// process, which opens the list and then the dashboard (timed until every
// chart is painted), redraws it the way the list's refresh does (timed) and
// reports its resident size with both open. KEL_SHOTS=DIR saves both windows.
#include "BenchMemory.h"
#include "BenchRegister.h"
#include "BenchView.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/DashboardWindow.h"
#include "termlist/ui/TerminalView.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <ctime>

namespace
{

constexpr int Terminals = 65535;
// 40 application versions, the newer ones on more terminals; six boot
// versions; every 64th terminal holds the ID of the one before, every 97th
// its address.
RegistrationData terminal(int i)
{
    RegistrationData d = BenchTerminal(i);
    const int n = i + 1;
    d.TermID = QString::number(n % 64 == 0 ? n - 1 : n);
    d.IPAddr = BenchAddress(n % 97 == 0 ? n - 1 : n);
    d.VerBoot = QString::asprintf("1.%02d", n % 6);
    d.VerApli = QString::asprintf("2.%02d", int(std::sqrt(double(n % 1600))));
    return d;
}

bool prepareRegister(const QString &folder)
{
    CTermDatabase db(folder);
    if (!db.startUp())
        return false;
    // Heard over the last three hours: with the interval of one hour, a third
    // of them are silent.
    const QDateTime now = QDateTime::currentDateTime();
    int minutesAgo = 0;
    db.setClock([&] { return now.addSecs(-60 * minutesAgo); });
    if (!FillBenchRegister(db, Terminals, terminal,
                           [&](int first) { minutesAgo = (first / 1000) * 3 % 180; }))
        return false;
    // Results and firmware checks in every state, set in bulk.
    std::vector<QVariantList> none;
    for (const char *sql :
         {"UPDATE TermInfo SET ResultKind=ID%20, ResultCode=CASE WHEN ID%3=0 THEN ID%13 ELSE 0 END",
          "UPDATE TermInfo SET FirmCheck=ID%5, FirmCheckKind=2, FirmCheckVer='2.00', "
          "FirmCheckDate=LastNotice WHERE ID%11<5"}) {
        if (db.aggregate(QString::fromLatin1(sql), {}, none) != 0)
            return false;
    }
    return true;
}

// The process's CPU time: beside the wall time it tells a loaded machine
// from a slow dashboard.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

void shoot(QWidget *w, const char *name)
{
    const QString folder = qEnvironmentVariable("KEL_SHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        w->grab().save(folder + QLatin1Char('/') + QLatin1String(name));
    }
}

// Paints every chart now (the offscreen platform paints only on demand).
void paintAll(CDashboardWindow &d)
{
    QApplication::processEvents();
    for (int c = 0; c < FleetCharts::ChartCount; ++c)
        d.chartView(FleetCharts::Chart(c))->viewport()->repaint();
}

int runView(int argc, char **argv, const QString &folder)
{
    QApplication app(argc, argv);
    ProcessValues::setProgramFolder(folder);
    CTerminalView view;
    QMenuBar bar;
    view.initialUpdate();
    view.buildMenus(&bar);
    view.resize(1024, 700);
    view.show();
    QApplication::processEvents();
    if (view.listModel()->rowCount() != Terminals) {
        std::fprintf(stderr, "list shows %d rows\n", view.listModel()->rowCount());
        return 1;
    }

    QElapsedTimer open;
    open.start();
    const double openCpu0 = cpuSeconds();
    view.action(QStringLiteral("actionDashboard"))->trigger();
    CDashboardWindow *dashboard = view.dashboard();
    if (!dashboard)
        return 1;
    paintAll(*dashboard);
    const qint64 openNs = open.nsecsElapsed();
    std::fprintf(stderr, "dashboard_open_65535: cpu %.3f s\n", cpuSeconds() - openCpu0);
    if (dashboard->chartData(FleetCharts::Chart::ApliVer).total != Terminals) {
        std::fprintf(stderr, "the charts count %lld terminals\n",
                     dashboard->chartData(FleetCharts::Chart::ApliVer).total);
        return 1;
    }
    std::fprintf(stderr, "silent: %s\n", qPrintable(view.silentText()));
    const long rssKb = residentKb();
    shoot(dashboard, "dashboard-65535.png");
    shoot(&view, "list-65535.png");

    // What the list's refresh adds for the dashboard: best of three.
    double best = 1e9, bestCpu = 0;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        const double cpu0 = cpuSeconds();
        dashboard->refresh();
        paintAll(*dashboard);
        if (t.nsecsElapsed() / 1e9 < best)
            best = t.nsecsElapsed() / 1e9, bestCpu = cpuSeconds() - cpu0;
    }
    std::fprintf(stderr, "dashboard_refresh_65535: cpu %.3f s\n", bestCpu);
    std::printf("OPEN %.3f\nREFRESH %.3f\nRSS %ld\n", openNs / 1e9, best, rssKb);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return RunViewBench(argc, argv, runView, prepareRegister, [](QProcess &child) {
        child.start();
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            std::fprintf(stderr, "the view process failed\n");
            return 1;
        }
        double openS = -1, refreshS = -1;
        long rssKb = -1;
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            if (line.startsWith("OPEN "))
                openS = line.mid(5).toDouble();
            else if (line.startsWith("REFRESH "))
                refreshS = line.mid(8).toDouble();
            else if (line.startsWith("RSS "))
                rssKb = line.mid(4).toLong();
        }
        if (openS < 0 || refreshS < 0 || rssKb < 0)
            return 1;
        std::printf("BENCH dashboard_open_65535 %.3f s\n", openS);
        std::printf("BENCH dashboard_refresh_65535 %.3f s\n", refreshS);
        std::printf("BENCH dashboard_rss_65535 %.1f MB\n", rssKb / 1024.0);
        return 0;
    });
}
