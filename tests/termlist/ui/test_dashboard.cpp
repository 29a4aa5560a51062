// The dashboard beside the list: a click on a bar filters the list (and shows
// its column); the charts redraw with the list, not per notice.
#include "comm/CommPayloads.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/FirmChecks.h"
#include "termlist/ListColumns.h"
#include "termlist/NoticeApplier.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/DashboardWindow.h"
#include "termlist/ui/TerminalView.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

using FleetCharts::Chart;

namespace
{

RegistrationData terminal(int n, const char *apli)
{
    RegistrationData r;
    r.TermID = QString::number(n);
    r.IPAddr = 0x0001A8C0u | (std::uint32_t(n) << 24);
    r.UserInfo1 = QStringLiteral("00:00:00:00:01:%1").arg(n, 2, 16, QLatin1Char('0'));
    r.VerApli = QString::fromLatin1(apli);
    r.Regist = 1;
    return r;
}

class DashboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        ProcessValues::startupAbort = 0;
        {
            CTermDatabase db(dir.path());
            ASSERT_TRUE(db.startUp());
            const char *versions[] = {"2.00", "1.00", "2.00", "1.50", "2.00", "1.00"};
            for (int n = 1; n <= 6; ++n)
                ASSERT_EQ(db.registerUpdate(terminal(n, versions[n - 1])), 0);
        }
        view = std::make_unique<CTerminalView>();
        view->initialUpdate();
        view->buildMenus(&bar);
        view->resize(900, 400);
        view->show();
        view->action("actionDashboard")->trigger();
        dashboard = view->dashboard();
    }
    QStringList listedIds() const
    {
        QStringList out;
        for (const TermEntry &e : view->listModel()->entries())
            out << e.TermID;
        out.sort();
        return out;
    }
    int barOf(Chart chart, const QString &label) const
    {
        const auto &bars = dashboard->chartData(chart).bars;
        for (std::size_t i = 0; i < bars.size(); ++i)
            if (bars[i].label == label)
                return int(i);
        return -1;
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<CTerminalView> view;
    QMenuBar bar;
    CDashboardWindow *dashboard = nullptr;
};

} // namespace

TEST_F(DashboardTest, AClickOnAVersionBarLeavesExactlyItsTerminalsInTheList)
{
    ASSERT_NE(dashboard, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dashboard));
    EXPECT_EQ(dashboard->chartView(Chart::ApliVer)->chart()->title(),
              "アプリケーションバージョン（計 6 台）");
    const int bar200 = 0; // newest first
    ASSERT_EQ(barOf(Chart::ApliVer, "2.00"), bar200);

    // A real click in the middle of the bar.
    QChart *chart = dashboard->chartView(Chart::ApliVer)->chart();
    auto *series = qobject_cast<QBarSeries *>(chart->series().at(0));
    const QPointF inChart = chart->mapToPosition(QPointF(bar200, 1.5), series);
    const QPoint inView =
        dashboard->chartView(Chart::ApliVer)->mapFromScene(chart->mapToScene(inChart));
    QTest::mouseClick(dashboard->chartView(Chart::ApliVer)->viewport(), Qt::LeftButton, {}, inView);
    QCoreApplication::processEvents(); // the list takes the click after the chart's handler
    EXPECT_EQ(listedIds(), QStringList({"1", "3", "5"}));
    const ListCondInfo &cond = view->listCondition();
    EXPECT_EQ(std::tuple(cond.FCndApVer1, cond.FInfoApVer1, cond.ColApliVer),
              std::tuple(CondCode::Equal, QString("2.00"), 1));
    EXPECT_EQ(view->statusText(), ListColumns::statusLine(3));
    ListCondInfo stored;
    ASSERT_EQ(view->database().readListCond(stored), 0);
    EXPECT_EQ(stored, cond);

    // While a command holds the main window, a click changes nothing.
    view->setMainEnabled(false);
    dashboard->clickBar(Chart::ApliVer, barOf(Chart::ApliVer, "1.00"));
    QCoreApplication::processEvents();
    EXPECT_EQ(listedIds(), QStringList({"1", "3", "5"}));
    view->setMainEnabled(true);
    dashboard->clickBar(Chart::Sip, barOf(Chart::Sip, "プライマリ"));
    QCoreApplication::processEvents();
    EXPECT_EQ(listedIds().size(), 6) << "the version filter went with the click";

    // A bar of a hidden column shows the column: terminal 4 answered a check
    // with another version.
    ASSERT_EQ(view->database().startFirmCheck(terminal(4, "").UserInfo1, 0, FirmKind::Apli, "2.00"), 0);
    ASSERT_EQ(view->database().registerUpdate(terminal(4, "1.50")), 0);
    ASSERT_TRUE(view->refresh());
    dashboard->clickBar(Chart::FirmCheck, FirmCheckState::Mismatch);
    QCoreApplication::processEvents();
    EXPECT_EQ(listedIds(), QStringList({"4"}));
    const int section = view->listModel()->sectionOf(ViewColumn::FirmCheck);
    ASSERT_GE(section, 0);
    EXPECT_EQ(view->listModel()->index(0, section).data().toString(), "版数不一致");
}

TEST_F(DashboardTest, NoticesRedrawTheChartsWithTheListOnlyOnce)
{
    for (int n = 7; n <= 16; ++n) {
        Udp::TermNotify notice;
        notice.termId = QString::number(n);
        notice.address = 0xC0A80100u | std::uint32_t(n);
        notice.macAddress = QStringLiteral("00:00:00:00:02:%1").arg(n, 2, 16, QLatin1Char('0'));
        notice.verApli = "3.00";
        view->noticeApplier().onNotice(notice);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(dashboard->chartData(Chart::ApliVer).total, 6) << "not redrawn per notice";
    // The redraw timer of the burst redraws the list, and with it the charts.
    view->noticeApplier().onTimerExpired(TimerSpec{0, NoticeApplier::RefreshTimerId, 0});
    EXPECT_EQ(dashboard->chartView(Chart::ApliVer)->chart()->title(),
              "アプリケーションバージョン（計 16 台）");
    EXPECT_EQ(dashboard->chartData(Chart::ApliVer).bars[0].label, "3.00");
}
