// The list window's logic without a window: selection rows, clearing results, status line.
#include "common/Ipv4.h"
#include "register/TermDatabase.h"
#include "termlist/CommandHost.h"
#include "termlist/ListCommands.h"
#include "termlist/NoticeApplier.h"
#include "termlist/SelectionMemory.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using Ranges = std::vector<std::pair<int, int>>;
TEST(SelectionRows, RangesBecomeRowsOnceAndRowsJoinIntoRanges)
{
    struct Case {
        Ranges selected;
        std::vector<int> rows;
        Ranges joined;
    } cases[] = {
        {{}, {}, {}},
        {{{5, 7}, {0, 1}, {6, 9}}, {0, 1, 5, 6, 7, 8, 9}, {{0, 1}, {5, 9}}},
        {{{3, 4}, {0, 2}}, {0, 1, 2, 3, 4}, {{0, 4}}}, // neighbours join
        {{{2, 8}, {4, 5}, {9, 9}}, {2, 3, 4, 5, 6, 7, 8, 9}, {{2, 9}}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SelectedRows(c.selected), c.rows);
        EXPECT_EQ(RowRanges(c.rows), c.joined);
    }
}

namespace
{

struct Host : ICommandHost, NoticeApplier::Host {
    std::vector<TermEntry> selectedEntries() const override { return {}; }
    bool mainEnabled() const override { return true; }
    bool mainWindowEnabled() const override { return true; }
    void setMainEnabled(bool) override {}
    bool refreshPending() const override { return false; }
    void setRefreshPending() override {}
    void refreshList() override {}
    void showStatusNote(const QString &) override {}
    ThreadId openProgress(int, std::function<void()>) override { return 0; }
    void closeProgress() override {}
    void showRemoteWindow() override {}
    void closeRemoteWindow() override {}
    void setRemoteLines(const QStringList &) override {}
    void enableRemoteStop() override {}
    void enableRemoteWindow() override {}
};

class ListLogic : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        ASSERT_TRUE(db.startUp());
        for (int n : {1, 2, 3, 4}) { // 1003, 1004: no MAC, known by their address
            RegistrationData r;
            r.TermID = QString::number(1000 + n);
            r.IPAddr = Ipv4::hostToRegister(0x0A000000u + std::uint32_t(n));
            if (n < 3)
                r.UserInfo1 = QStringLiteral("02:00:00:00:00:0%1").arg(n);
            ASSERT_EQ(db.registerUpdate(r), 0);
        }
    }
    std::vector<TermEntry> list()
    {
        std::vector<TermEntry> all;
        return db.readList(DefaultListCond(), all), all;
    }

    TempDir dir;
    ScriptedPrompter prompter;
    CTermDatabase db{dir.path()};
    Host host;
    NoticeApplier notices{db, host, 99, 98};
    CommandContext ctx{db, host, notices, {}, &prompter};
    ListCommands commands{ctx, [](int) { return nullptr; }};
};

} // namespace

TEST_F(ListLogic, ClearResultsReachesTerminalsByMacOrElseByAddress)
{
    for (int n : {1, 2})
        db.setResultByMac(QStringLiteral("02:00:00:00:00:0%1").arg(n), 3, 5);
    for (int n : {3, 4})
        db.setResultByAddress(QString::number(1000 + n), Ipv4::hostToRegister(0x0A000000u + n), 3,
                              5);
    const std::vector<TermEntry> rows = list();
    const std::vector<TermEntry> chosen{rows[0], rows[3]};
    prompter.answer(MsgResult::No);
    EXPECT_FALSE(commands.clearResults(chosen));
    EXPECT_EQ(list()[0].ResultKind, 3) << "declined";
    prompter.answer(MsgResult::Yes);
    EXPECT_TRUE(commands.clearResults(chosen));
    std::vector<int> results;
    for (const TermEntry &e : list())
        results.push_back(e.ResultKind * 10 + e.ResultCode);
    EXPECT_EQ(results, (std::vector<int>{0, 35, 35, 0})) << "only 1001 and 1004";
}

TEST_F(ListLogic, StatusLineCountsNewTerminalsRefusedBeyondTheRate)
{
    notices.setNewTerminalRate(1);
    for (int n = 10; n < 13; ++n) {
        Udp::TermNotify t;
        t.termId = QString::number(1000 + n);
        t.address = 0x0A000000u + std::uint32_t(n);
        t.macAddress = QStringLiteral("02:00:00:00:01:%1").arg(n);
        notices.onNotice(t, 0x7F000042u);
    }
    notices.flush();
    EXPECT_TRUE(commands.statusLine(4).contains(QStringLiteral("通知 2 件")));
}
