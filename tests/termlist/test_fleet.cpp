// The dashboard's figures against a register prepared here, counted again by
// the test from the rows themselves; the list condition of every bar; which
// firmware writes start a check; and the tracker that ends unanswered ones.
#include "comm/CommPayloads.h"
#include "common/Ipv4.h"
#include "register/TermDatabase.h"
#include "termlist/FirmChecks.h"
#include "termlist/FleetCharts.h"
#include "termlist/TerminalInput.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QSet>
#include <gtest/gtest.h>

#include <map>

using FleetCharts::Chart;

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace
{

std::uint32_t regIp(int n)
{
    return 10u | std::uint32_t(n / 256) << 16 | std::uint32_t(n % 256) << 24;
}

class FleetTest : public ::testing::Test
{
protected:
    TempDir dir;
    ScriptedPrompter prompts;
    CTermDatabase db{dir.path()};
    QDateTime now{QDate(2024, 7, 1), QTime(12, 0)};

    void SetUp() override
    {
        ASSERT_TRUE(db.startUp());
        db.setClock([this] { return now; });
    }

    // 300 terminals: 16 application versions (one empty), duplicates of
    // terminal IDs and addresses, every SIP state, results with many
    // codes, firmware checks in every state, silent and heard terminals,
    // and provisional rows.
    void prepare()
    {
        SystemSettings s;
        db.readSystemSettings(s);
        s.EntryInt = 1;
        db.writeSystemSettings(s);
        std::vector<RegistrationData> batch;
        for (int i = 0; i < 300; ++i) {
            RegistrationData d;
            d.TermID = QString::number(1000 + (i % 290)); // 10 IDs twice
            d.IPAddr = regIp(i % 280 + 1);                // 20 addresses twice
            d.UserInfo1 = QString::asprintf("02:00:00:00:%02X:%02X", i / 256, i % 256);
            d.Regist = i % 4;
            d.VerApli = i % 17 == 16 ? QString() : QString::asprintf("1.%02d", i % 17);
            d.VerBoot = QString::asprintf("0.%d", i % 3);
            d.MachineName = "KT-100";
            // Heard 3 h ago, or now.
            now = QDateTime(QDate(2024, 7, 1), QTime(i % 5 == 0 ? 9 : 12, 0));
            ASSERT_EQ(db.registerUpdates({d}), 0);
            batch.push_back(d);
        }
        now = QDateTime(QDate(2024, 7, 1), QTime(12, 0));
        std::vector<TermItem> provisional;
        for (int i = 0; i < 7; ++i)
            provisional.push_back({0, QString::number(5000 + i), 0});
        ASSERT_EQ(db.addTerminals(provisional), 0);
        for (int i = 0; i < 300; i += 2)
            db.setResultByMac(batch[i].UserInfo1, 8, (i / 2) % 13);
        // Checks: waiting, then answered with the written version or not,
        // and run out.
        for (int i = 0; i < 60; ++i)
            db.startFirmCheck(batch[i].UserInfo1, 0, FirmKind::Apli, "1.05");
        for (int i = 0; i < 30; ++i) {
            RegistrationData d = batch[i];
            d.VerApli = i < 20 ? "1.05" : "1.04";
            ASSERT_EQ(db.registerUpdates({d}), 0);
        }
        now = now.addSecs(1000);
        db.expireFirmChecks(now.addSecs(-900));
        for (int i = 60; i < 70; ++i)
            db.startFirmCheck(batch[i].UserInfo1, 0, FirmKind::Boot, "0.2");
    }

    std::vector<TermEntry> rows(const ListCondInfo &cond)
    {
        std::vector<TermEntry> out;
        EXPECT_EQ(db.readList(cond, out), 0);
        return out;
    }
};

// The test's own grouping of a row, bar by bar, as the charts promise it.
QString keyOf(Chart chart, const TermEntry &e, const QDateTime &silentSince,
              const QStringList &foldedApli, const QStringList &foldedBoot)
{
    switch (chart) {
    case Chart::ApliVer:
        return foldedApli.contains(e.VerApli) ? "other" : e.VerApli;
    case Chart::BootVer:
        return foldedBoot.contains(e.VerBoot) ? "other" : e.VerBoot;
    case Chart::Sip:
        return e.Regist == 1 ? "2" : e.Regist == 2 ? "3" : "5";
    case Chart::Result:
        if (e.ResultKind <= 0)
            return "-1";
        return QString::number(e.ResultCode >= 1 && e.ResultCode <= 9 ? e.ResultCode
                               : e.ResultCode == 0                    ? 0
                                                                      : 10);
    case Chart::FirmCheck:
        return QString::number(e.FirmCheck);
    case Chart::Silent: {
        if (e.TermEntryType == 0)
            return "3";
        const QDateTime last = e.LastNotice.isValid() ? e.LastNotice : e.EntryDate;
        return last < silentSince ? "1" : "2";
    }
    default:
        return {};
    }
}

QString keyOf(const FleetCharts::ChartData &d, const FleetCharts::Bar &b)
{
    if (d.chart == Chart::ApliVer || d.chart == Chart::BootVer)
        return b.folded ? "other" : b.value;
    return QString::number(b.code);
}

// Versions past the twelve newest (text order, newest first).
QStringList folded(const std::vector<TermEntry> &all, QString TermEntry::*version)
{
    QSet<QString> distinct;
    for (const TermEntry &e : all)
        distinct.insert(e.*version);
    QStringList sorted(distinct.begin(), distinct.end());
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) > 0;
    });
    return sorted.size() > FleetCharts::VersionBars + 1 ? sorted.mid(FleetCharts::VersionBars)
                                                        : QStringList();
}

} // namespace

TEST_F(FleetTest, EveryChartCountsWhatTheRowsSayAndEachBarListsExactlyItsTerminals)
{
    prepare();
    const std::vector<TermEntry> all = rows(DefaultListCond());
    ASSERT_EQ(all.size(), 307u);
    const QDateTime since = now.addSecs(-2 * 3600);
    const QStringList foldedApli = folded(all, &TermEntry::VerApli);
    const QStringList foldedBoot = folded(all, &TermEntry::VerBoot);
    EXPECT_EQ(foldedApli, QStringList({"1.03", "1.02", "1.01", "1.00", ""}));

    for (int c = 0; c < FleetCharts::ChartCount; ++c) {
        const auto chart = Chart(c);
        SCOPED_TRACE(FleetCharts::title(chart).toStdString());
        std::map<QString, std::vector<int>> expected;
        for (const TermEntry &e : all)
            expected[keyOf(chart, e, since, foldedApli, foldedBoot)].push_back(e.ID);
        FleetCharts::ChartData data;
        ASSERT_TRUE(FleetCharts::read(db, chart, data));
        EXPECT_EQ(data.total, 307);
        if (chart == Chart::Alert) {
            int idDup = 0, ipDup = 0, none = 0;
            for (const TermEntry &e : all)
                idDup += e.TermIDAlert != 0, ipDup += e.IPAddrAlert != 0,
                    none += !e.TermIDAlert && !e.IPAddrAlert;
            ASSERT_EQ(data.bars.size(), 3u);
            EXPECT_EQ(std::tuple(data.bars[0].count, data.bars[1].count, data.bars[2].count),
                      std::tuple(qint64(idDup), qint64(ipDup), qint64(none)));
            EXPECT_EQ(std::tuple(idDup, ipDup), std::tuple(20, 40));
        } else {
            std::map<QString, qint64> shown;
            for (const FleetCharts::Bar &b : data.bars)
                if (b.count > 0 || chart == Chart::ApliVer || chart == Chart::BootVer)
                    shown[keyOf(data, b)] = b.count;
            std::map<QString, qint64> counted;
            for (const auto &[key, ids] : expected)
                counted[key] = qint64(ids.size());
            EXPECT_EQ(shown, counted);
        }
        for (const FleetCharts::Bar &b : data.bars) {
            SCOPED_TRACE(b.label.toStdString());
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
    }
    FleetCharts::ChartData apli;
    FleetCharts::read(db, Chart::ApliVer, apli);
    ASSERT_EQ(apli.bars.size(), 13u);
    EXPECT_EQ(apli.bars.front().label, "1.15");
    EXPECT_EQ(apli.bars.back().label, "その他");
    EXPECT_EQ(FleetCharts::titleWithTotal(apli), "アプリケーションバージョン（計 307 台）");
}

TEST(FirmChecks, WritesWithARestartThatStartAWait)
{
    auto entry = [](int result, const QString &file, bool restart = false,
                    QList<RequestFile> files = {}) {
        TerminalEntry e;
        e.result = std::int16_t(result), e.file = file, e.address = 0x0A000001, e.restart = restart;
        e.files = files;
        return e;
    };
    const RequestFile boot{.localPath = "/p/Boot/b.s", .remoteName = "b.s", .kind = UpdateFileKind::Boot};
    const RequestFile apli{.localPath = "/p/Apli/a.s", .remoteName = "a.s", .kind = UpdateFileKind::Apli};
    const RequestFile settings{.localPath = "/p/Data/x.ini", .remoteName = "x.ini", .kind = 0};
    const struct {
        const char *name;
        int kind;
        TerminalEntry entry;
        int firmKind; // 0: no wait
        const char *file;
    } cases[] = {
        {"boot from the menu", CompletionKind::WriteBoot, entry(0, "/p/Boot/b.s"), FirmKind::Boot,
         "/p/Boot/b.s"},
        {"application from the menu", CompletionKind::WriteApli, entry(0, "/p/Apli/a.s"),
         FirmKind::Apli, "/p/Apli/a.s"},
        {"a failed write", CompletionKind::WriteApli, entry(6, "/p/Apli/a.s"), 0, ""},
        {"a schedule with both", CompletionKind::ScheduleWriteFirm,
         entry(0, {}, true, {apli, boot}), FirmKind::Apli, "/p/Apli/a.s"},
        {"a schedule with the boot program", CompletionKind::ScheduleWriteFirm,
         entry(0, {}, true, {settings, boot}), FirmKind::Boot, "/p/Boot/b.s"},
        {"a schedule without restart", CompletionKind::ScheduleWriteFirm,
         entry(0, {}, false, {apli}), 0, ""},
        {"a settings write", CompletionKind::WriteSys, entry(0, "/p/Data/x.ini"), 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RequestPayload request;
        request.entries = {c.entry};
        const std::vector<FirmChecks::Written> w = FirmChecks::written(c.kind, request);
        ASSERT_EQ(w.size(), c.firmKind ? 1u : 0u);
        if (c.firmKind) {
            EXPECT_EQ(std::tuple(w[0].kind, w[0].file, w[0].address),
                      std::tuple(c.firmKind, QString(c.file), 0x0A000001u));
        }
    }

    // Terminal-initiated: a restart comes with a boot program or a system
    // settings file, never with the application alone.
    const UpdateFile b{UpdateFileKind::Boot, {}, {}, "/p/Boot/b.s"};
    const UpdateFile a{UpdateFileKind::Apli, {}, {}, "/p/Apli/a.s"};
    const UpdateFile sys{UpdateFileKind::System, {}, "01022024101010", "/p/Data/Sys/s.ini"};
    const struct {
        QList<UpdateFile> files;
        int result;
        int firmKind;
    } remote[] = {{{b, a}, 0, FirmKind::Apli},
                  {{a}, 0, 0},
                  {{a, sys}, 0, FirmKind::Apli},
                  {{b}, 5, 0},
                  {{sys}, 0, 0},
                  {{b}, 0, FirmKind::Boot}};
    for (const auto &r : remote) {
        TermRequestPayload p;
        p.files = r.files, p.result = r.result, p.decision = UpdateDecision::FilesToSend;
        p.request.notify.macAddress = "02:00:00:00:00:01";
        const std::vector<FirmChecks::Written> w = FirmChecks::written(p);
        ASSERT_EQ(w.size(), r.firmKind ? 1u : 0u) << r.files.size() << r.result;
        if (r.firmKind) {
            EXPECT_EQ(std::tuple(w[0].kind, w[0].mac),
                      std::tuple(r.firmKind, p.request.notify.macAddress));
        }
    }
}

TEST_F(FleetTest, TheTrackerEndsWaitsWhenTheirTimeIsUpAndArmsForTheNext)
{
    for (int n = 1; n <= 3; ++n) {
        RegistrationData d;
        d.TermID = QString::number(n), d.IPAddr = regIp(n), d.UserInfo1 = QString("T%1").arg(n);
        ASSERT_EQ(db.registerUpdate(d), 0);
    }
    // The version is read once per file.
    int reads = 0;
    const auto version = [&](const QString &file) {
        ++reads;
        return file.endsWith("a.s") ? QString("2.00") : QString();
    };
    std::vector<FirmChecks::Written> w{{"T1", 0, FirmKind::Apli, "/a.s"},
                                       {"", Ipv4::hostToRegister(regIp(2)), FirmKind::Apli, "/a.s"},
                                       {"T3", 0, FirmKind::Apli, "/none.s"}};
    EXPECT_EQ(FirmChecks::start(db, w, version), 2);
    EXPECT_EQ(reads, 2);

    FirmCheckTracker tracker(db);
    tracker.setWait(60);
    int redraws = 0;
    tracker.onEnded = [&] { ++redraws; };
    EXPECT_EQ(tracker.check(), 0);
    EXPECT_EQ(tracker.nextCheck(), now.addSecs(60));
    now = now.addSecs(30);
    // Terminal 2 started later: its wait ends later.
    db.startFirmCheck("T2", 0, FirmKind::Apli, "2.00");
    now = now.addSecs(30);
    EXPECT_EQ(tracker.check(), 1);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(tracker.nextCheck(), now.addSecs(30));
    now = now.addSecs(29);
    EXPECT_EQ(tracker.check(), 0);
    EXPECT_EQ(redraws, 1);
    now = now.addSecs(1);
    EXPECT_EQ(tracker.check(), 1);
    EXPECT_FALSE(tracker.nextCheck().isValid());
}

TEST(FirmChecks, TheWaitIsEnteredInMinutesAndStoredInSeconds)
{
    const struct {
        const char *text;
        int minutes;
    } inputs[] = {{"1", 1}, {"15", 15}, {"1440", 1440}, {"0", -1},  {"1441", -1},
                  {"", -1}, {"-5", -1}, {" 5", -1},     {"５", -1}, {"99999999999", -1}};
    for (const auto &in : inputs)
        EXPECT_EQ(TerminalInput::firmCheckWaitMinutes(in.text).value_or(-1), in.minutes) << in.text;
    // A wait of seconds (set for a test) shows as the minutes it reaches into.
    EXPECT_EQ(TerminalInput::firmCheckWaitText(900), "15");
    EXPECT_EQ(TerminalInput::firmCheckWaitText(20), "1");
    EXPECT_EQ(TerminalInput::firmCheckWaitText(901), "16");
}
