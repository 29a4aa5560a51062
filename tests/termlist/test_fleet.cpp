// The dashboard's figures and the list condition of every bar; which
// firmware writes start a check.
#include "comm/CommPayloads.h"
#include "register/TermDatabase.h"
#include "termlist/FirmChecks.h"
#include "termlist/FleetCharts.h"
#include "termlist/TerminalInput.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>

using FleetCharts::Chart;

// 28 terminals: 14 application versions (the two oldest past the twelve
// newest bars), one boot version in two cases, result codes 0 to 13.
TEST(FleetTest, EveryChartCountsWhatTheRowsSayAndEachBarListsExactlyItsTerminals)
{
    TempDir dir;
    CTermDatabase db{dir.path()};
    ASSERT_TRUE(db.startUp());
    for (int i = 0; i < 28; ++i) {
        RegistrationData d;
        d.TermID = QString::number(1000 + i);
        d.IPAddr = 10u | std::uint32_t(i + 1) << 24;
        d.UserInfo1 = QString::asprintf("02:00:00:00:00:%02X", i);
        d.VerApli = QString::asprintf("1.%02d", i % 14);
        d.VerBoot = i % 2 ? "0.2a" : "0.2A"; // the list compares versions case-blind
        ASSERT_EQ(db.registerUpdate(d), 0);
        ASSERT_EQ(db.setResultByMac(d.UserInfo1, 8, i % 14), 0);
    }
    std::map<Chart, FleetCharts::ChartData> data;
    for (Chart chart : {Chart::ApliVer, Chart::BootVer, Chart::Result, Chart::Sip}) {
        ASSERT_TRUE(FleetCharts::read(db, chart, data[chart]));
        EXPECT_EQ(data[chart].total, 28);
        for (const FleetCharts::Bar &b : data[chart].bars) {
            ListCondInfo cond = DefaultListCond();
            cond.FCndTermID1 = CondCode::Equal, cond.FInfoTermID1 = "9*"; // cleared by the click
            FleetCharts::select(cond, data[chart], b);
            std::vector<TermEntry> rows;
            ASSERT_EQ(db.readList(cond, rows), 0);
            EXPECT_EQ(qint64(rows.size()), b.count) << b.label.toStdString();
        }
    }
    const std::vector<FleetCharts::Bar> &apli = data[Chart::ApliVer].bars;
    ASSERT_EQ(apli.size(), 13u);
    EXPECT_EQ(std::tuple(apli.front().label, apli.front().count, apli.back().label, apli.back().count),
              std::tuple(QString("1.13"), 2, QString("その他"), 4));
    EXPECT_TRUE(data[Chart::BootVer].bars.size() == 1 && data[Chart::BootVer].bars[0].count == 28);
    for (const FleetCharts::Bar &b : data[Chart::Result].bars)
        EXPECT_EQ(b.count, b.code == 10 ? 8 : b.code >= 0 ? 2 : 0) << "codes past 9 share a bar";
}

TEST(FirmChecks, WritesWithARestartThatStartAWait)
{
    const RequestFile boot{.localPath = "/b.s", .kind = UpdateFileKind::Boot};
    const RequestFile apli{.localPath = "/a.s", .kind = UpdateFileKind::Apli};
    const RequestFile settings{.localPath = "/x.ini"};
    const struct {
        int kind, result;
        QString file; // from the menu
        bool restart;
        QList<RequestFile> files; // of a schedule
        int firmKind;             // 0: no wait; else one for "/b.s"
    } cases[] = {
        {CompletionKind::WriteApli, 6, "/a.s", false, {}, 0}, // failed
        {CompletionKind::ScheduleWriteFirm, 0, {}, true, {settings, boot}, FirmKind::Boot},
        {CompletionKind::ScheduleWriteFirm, 0, {}, false, {apli}, 0}, // no restart
        {CompletionKind::WriteSys, 0, "/x.ini", false, {}, 0},
    };
    for (const auto &c : cases) {
        RequestPayload request;
        TerminalEntry &e = request.entries.emplace_back();
        e.result = std::int16_t(c.result), e.file = c.file, e.restart = c.restart, e.files = c.files;
        const std::vector<FirmChecks::Written> w = FirmChecks::written(c.kind, request);
        EXPECT_EQ(w.size(), c.firmKind ? 1u : 0u) << c.kind << c.file.toStdString();
        if (!w.empty()) {
            EXPECT_EQ(std::tuple(w[0].kind, w[0].file), std::tuple(c.firmKind, QString("/b.s")));
        }
    }
    // Terminal-initiated: a restart comes with a boot program or settings, not the application.
    const UpdateFile b{UpdateFileKind::Boot, {}, {}, "/b.s"}, a{UpdateFileKind::Apli, {}, {}, "/a.s"};
    const UpdateFile sys{UpdateFileKind::System, {}, "01022024101010", "/s.ini"};
    const struct {
        QList<UpdateFile> files;
        int result, firmKind;
    } remote[] = {{{b, a}, 0, FirmKind::Apli}, {{a}, 0, 0}, {{a, sys}, 0, FirmKind::Apli}, {{b}, 5, 0}};
    for (const auto &r : remote) {
        TermRequestPayload p;
        p.files = r.files, p.result = r.result, p.decision = UpdateDecision::FilesToSend;
        const std::vector<FirmChecks::Written> w = FirmChecks::written(p);
        EXPECT_EQ(w.empty() ? 0 : w[0].kind, r.firmKind) << r.files.size() << r.result;
    }
}

TEST(FirmChecks, TheWaitIsEnteredInMinutesAndStoredInSeconds)
{
    for (const auto &[text, minutes] : {std::pair{"1", 1}, {"1440", 1440}, {"0", -1}, {"1441", -1},
                                        {" 5", -1}, {"５", -1}, {"99999999999", -1}})
        EXPECT_EQ(TerminalInput::firmCheckWaitMinutes(text).value_or(-1), minutes) << text;
    // A wait of seconds (set for a test) shows as the minutes it reaches into.
    EXPECT_EQ(TerminalInput::firmCheckWaitText(900) + TerminalInput::firmCheckWaitText(901), "1516");
}
