// The terminal list on a register of 65,535 terminals (offscreen platform).
// The parent prepares the register and starts itself again as a fresh
// process, which builds the view (compaction, open, list read, fill), shows
// it, re-sorts it through the header-click path and reports its memory; the
// parent times that process from its start until the list is shown.
#include "BenchMemory.h"
#include "BenchRegister.h"
#include "BenchView.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/CondDialog.h"
#include "termlist/ui/TerminalView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace
{

constexpr int Terminals = 65535;
bool prepareRegister(const QString &folder)
{
    CTermDatabase db(folder);
    return db.startUp() && FillBenchRegister(db, Terminals, BenchTerminal);
}

// The child: everything a start-up does for the list, then the re-sort.
int runView(int argc, char **argv, const QString &folder)
{
    QApplication app(argc, argv);
    ProcessValues::setProgramFolder(folder);
    CTerminalView view;
    view.initialUpdate();
    view.resize(1024, 700);
    view.show();
    QApplication::processEvents();
    view.viewport()->repaint();
    if (view.listModel()->rowCount() != Terminals) {
        std::fprintf(stderr, "list shows %d rows\n", view.listModel()->rowCount());
        return 1;
    }
    std::printf("SHOWN\n");
    std::printf("RSS %ld\n", residentKb());
    std::fflush(stdout);

    // Header click on the terminal ID; the display condition dialog is
    // answered with "昇順" as soon as it opens, and the clock runs from that
    // click until the list has been redrawn.
    QElapsedTimer resort;
    QTimer answer;
    answer.setInterval(0);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *d = qobject_cast<CCondDialog *>(QApplication::activeModalWidget())) {
            answer.stop();
            resort.start();
            d->ascendingButton->click();
        }
    });
    answer.start();
    view.onHeaderClicked(view.listModel()->sectionOf(ViewColumn::TermID));
    while (!resort.isValid() || view.listModel()->rowCount() != Terminals ||
           view.listCondition().SortDirect != 2)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    view.viewport()->repaint();
    const qint64 ms = resort.elapsed();
    if (view.listModel()->entry(0).TermID != QLatin1String("1")) {
        std::fprintf(stderr, "not sorted by terminal ID\n");
        return 1;
    }
    std::printf("RESORT %lld\n", ms);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return RunViewBench(argc, argv, runView, prepareRegister, [](QProcess &child) {
        QElapsedTimer start;
        start.start();
        child.start();
        qint64 shownMs = -1;
        long rssKb = -1;
        qint64 resortMs = -1;
        QByteArray pending;
        while (child.state() != QProcess::NotRunning || child.bytesAvailable() > 0) {
            child.waitForReadyRead(100);
            pending += child.readAll();
            qsizetype nl;
            while ((nl = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(nl).trimmed();
                pending.remove(0, nl + 1);
                if (line == "SHOWN")
                    shownMs = start.elapsed();
                else if (line.startsWith("RSS "))
                    rssKb = line.mid(4).toLong();
                else if (line.startsWith("RESORT "))
                    resortMs = line.mid(7).toLongLong();
            }
        }
        if (child.exitCode() != 0 || shownMs < 0 || resortMs < 0) {
            std::fprintf(stderr, "the view process failed\n");
            return 1;
        }
        std::printf("BENCH startup_to_list_65535 %.3f s\n", shownMs / 1000.0);
        std::printf("BENCH resort_65535 %.3f s\n", resortMs / 1000.0);
        std::printf("BENCH rss_65535 %.1f MB\n", rssKb / 1024.0);
        return 0;
    });
}
