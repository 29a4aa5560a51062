// The dashboard's figures counted again by the test from the rows themselves,
// the list condition of every bar; which firmware writes start a check.
#include "comm/CommPayloads.h"
#include "register/TermDatabase.h"
#include "termlist/FirmChecks.h"
#include "termlist/FleetCharts.h"
#include "termlist/TerminalInput.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>

using FleetCharts::Chart;

namespace
{

// 300 terminals: 16 application versions (one empty), duplicates of terminal
// IDs and addresses, every SIP state, results with many codes, firmware
// checks in every state, silent and heard terminals, and provisional rows.
void prepare(CTermDatabase &db, QDateTime &now)
{
    SystemSettings s;
    db.readSystemSettings(s);
    s.EntryInt = 1;
    db.writeSystemSettings(s);
    std::vector<RegistrationData> batch;
    for (int i = 0; i < 300; ++i) {
        RegistrationData d;
        d.TermID = QString::number(1000 + (i % 290)); // 10 IDs twice
        const std::uint32_t n = i % 280 + 1; // 20 addresses twice
        d.IPAddr = 10u | n / 256 << 16 | n % 256 << 24;
        d.UserInfo1 = QString::asprintf("02:00:00:00:%02X:%02X", i / 256, i % 256);
        d.Regist = i % 4;
        d.VerApli = i % 17 == 16 ? QString() : QString::asprintf("1.%02d", i % 17);
        // One version written in two cases: the list compares versions
        // case-blind, so the chart must show them as one bar.
        d.VerBoot = i % 3 < 2 ? QString::asprintf("0.%d", i % 3) : i % 2 ? "0.2a" : "0.2A";
        now = QDateTime(QDate(2024, 7, 1), QTime(i % 5 == 0 ? 9 : 12, 0)); // heard 3 h ago, or now
        ASSERT_EQ(db.registerUpdates({d}), 0);
        batch.push_back(d);
    }
    now = QDateTime(QDate(2024, 7, 1), QTime(12, 0));
    std::vector<TermItem> provisional(7);
    for (int i = 0; i < 7; ++i)
        provisional[i].TermID = QString::number(5000 + i);
    ASSERT_EQ(db.addTerminals(provisional), 0);
    for (int i = 0; i < 300; i += 2)
        db.setResultByMac(batch[i].UserInfo1, 8, (i / 2) % 13);
    // Checks: waiting, then answered with the written version or not, and run out.
    for (int i = 0; i < 60; ++i)
        db.startFirmCheck(batch[i].UserInfo1, 0, FirmKind::Apli, "1.05");
    for (int i = 0; i < 30; ++i) {
        batch[i].VerApli = i < 20 ? "1.05" : "1.04";
        ASSERT_EQ(db.registerUpdates({batch[i]}), 0);
    }
    now = now.addSecs(1000);
    db.expireFirmChecks(now.addSecs(-900));
    for (int i = 60; i < 70; ++i)
        db.startFirmCheck(batch[i].UserInfo1, 0, FirmKind::Boot, "0.2");
}

// The test's own grouping of a row, bar by bar, as the charts promise it.
QString keyOf(Chart chart, const TermEntry &e, const QDateTime &silentSince)
{
    // Past the twelve newest application versions (newest first) one bar.
    static const QStringList foldedApli{"1.03", "1.02", "1.01", "1.00", ""};
    switch (chart) {
    case Chart::ApliVer:
        return foldedApli.contains(e.VerApli) ? "other" : e.VerApli;
    case Chart::BootVer:
        return e.VerBoot.toLower();
    case Chart::Sip:
        return e.Regist == 1 ? "2" : e.Regist == 2 ? "3" : "5";
    case Chart::Result:
        return QString::number(e.ResultKind <= 0 ? -1 : e.ResultCode > 9 ? 10 : e.ResultCode);
    case Chart::FirmCheck:
        return QString::number(e.FirmCheck);
    case Chart::Alert:
        return e.TermIDAlert || e.IPAddrAlert ? "some" : "none";
    case Chart::Silent:
        return e.TermEntryType == 0 ? "3"
               : (e.LastNotice.isValid() ? e.LastNotice : e.EntryDate) < silentSince ? "1"
                                                                                     : "2";
    default:
        return {};
    }
}

QString keyOf(const FleetCharts::ChartData &d, const FleetCharts::Bar &b)
{
    if (d.chart == Chart::ApliVer || d.chart == Chart::BootVer)
        return b.folded ? "other" : d.chart == Chart::BootVer ? b.value.toLower() : b.value;
    return QString::number(b.code);
}

} // namespace

TEST(FleetTest, EveryChartCountsWhatTheRowsSayAndEachBarListsExactlyItsTerminals)
{
    TempDir dir;
    CTermDatabase db{dir.path()};
    ASSERT_TRUE(db.startUp());
    QDateTime now;
    db.setClock([&] { return now; });
    prepare(db, now);
    const auto rows = [&](const ListCondInfo &cond) {
        std::vector<TermEntry> out;
        EXPECT_EQ(db.readList(cond, out), 0);
        return out;
    };
    const std::vector<TermEntry> all = rows(DefaultListCond());
    ASSERT_EQ(all.size(), 307u);
    const QDateTime since = now.addSecs(-2 * 3600);

    for (int c = 0; c < FleetCharts::ChartCount; ++c) {
        const auto chart = Chart(c);
        SCOPED_TRACE(FleetCharts::title(chart).toStdString());
        std::map<QString, std::vector<int>> expected;
        for (const TermEntry &e : all)
            expected[keyOf(chart, e, since)].push_back(e.ID);
        FleetCharts::ChartData data;
        ASSERT_TRUE(FleetCharts::read(db, chart, data));
        EXPECT_EQ(data.total, 307);
        if (chart == Chart::Alert) // overlapping bars: ID twice, address twice, neither
            EXPECT_EQ(std::tuple(data.bars.size(), data.bars[0].count, data.bars[1].count),
                      std::tuple(3u, 20, 40));
        std::map<QString, qint64> shown, counted;
        for (const FleetCharts::Bar &b : data.bars) {
            SCOPED_TRACE(b.label.toStdString());
            if (b.count > 0 || chart == Chart::ApliVer || chart == Chart::BootVer)
                shown[keyOf(data, b)] = b.count;
            ListCondInfo cond = DefaultListCond();
            cond.FCndTermID1 = CondCode::Equal, cond.FInfoTermID1 = "1*"; // cleared by the click
            cond.SortColNo = ListColumn::TermID, cond.SortDirect = SortDirection::Ascending;
            FleetCharts::select(cond, data, b);
            EXPECT_EQ(std::tuple(cond.SortColNo, cond.SortDirect),
                      std::tuple(ListColumn::TermID, SortDirection::Ascending))
                << "the user's sort stays";
            std::vector<int> listed;
            for (const TermEntry &e : rows(cond))
                listed.push_back(e.ID);
            std::sort(listed.begin(), listed.end());
            EXPECT_EQ(qint64(listed.size()), b.count);
            if (chart != Chart::Alert) {
                std::vector<int> want = expected[keyOf(data, b)];
                std::sort(want.begin(), want.end());
                EXPECT_EQ(listed, want);
            }
        }
        for (const auto &[key, ids] : expected)
            counted[key] = qint64(ids.size());
        if (chart != Chart::Alert)
            EXPECT_EQ(shown, counted);
    }
    FleetCharts::ChartData apli;
    FleetCharts::read(db, Chart::ApliVer, apli);
    ASSERT_EQ(apli.bars.size(), 13u);
    EXPECT_EQ(apli.bars.front().label + apli.bars.back().label, "1.15その他");
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
        {CompletionKind::WriteBoot, 0, "/b.s", false, {}, FirmKind::Boot},
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
        if (!w.empty())
            EXPECT_EQ(std::tuple(w[0].kind, w[0].file), std::tuple(c.firmKind, QString("/b.s")));
    }
    // Terminal-initiated: a restart comes with a boot program or a system
    // settings file, never with the application alone.
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
