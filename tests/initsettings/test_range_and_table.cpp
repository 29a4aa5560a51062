// The range rules, the number table and its assignment rule, and numbers
// assigned from many threads at once.
#include "initsettings/InitRange.h"
#include "initsettings/NumberTable.h"

#include <QSet>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(InitRangeRules, SplitNumbersAndIds)
{
    struct Case {
        QString startNo;
        int range;
        QString suffix;
        std::int64_t first;
        QString firstId, lastId;
    } cases[] = {
        {"312340100", 100, "0100", 312340100, "312340100", "312340199"},
        // A long prefix: only its last five characters enter the number.
        {"99912340100", 1, "0100", 912340100, "99912340100", "99912340100"},
        // Shorter than four digits: no prefix, the suffix right-aligned.
        {"5", 3, "   5", 5, "5", "7"},
        {"0", 2, "   0", 0, "0", "1"},
        {"10000", 10, "0000", 10000, "10000", "10009"},
    };
    for (const Case &c : cases) {
        const InitRange r(c.startNo, c.range);
        EXPECT_EQ(r.suffix(), c.suffix) << c.startNo.toStdString();
        EXPECT_EQ(r.prefix().size(), 60);
        EXPECT_EQ(r.firstNumber(), c.first) << c.startNo.toStdString();
        EXPECT_EQ(r.termIdFor(r.suffixValue()), c.firstId);
        EXPECT_EQ(r.termIdFor(r.suffixValue() + c.range - 1), c.lastId);
    }
    EXPECT_EQ(InitRange::withoutLeadingZeros("00312340100"), "312340100");
    EXPECT_EQ(InitRange::withoutLeadingZeros("000"), "0");
}

TEST(InitRangeRules, FieldChecksAndTheCarryRule)
{
    EXPECT_FALSE(InitRange::fits("1239950", 50)) << "9950 + 50 carries into the prefix";
    EXPECT_TRUE(InitRange::fits("1239950", 49));
    EXPECT_TRUE(InitRange::fits("9999", 0));
    for (const char *bad : {"", "0", "1001", "12a", " 12", "-1", "99999"})
        EXPECT_EQ(InitRange::parseRange(bad), -1) << bad;
    EXPECT_EQ(InitRange::parseRange("1000"), 1000);
    EXPECT_EQ(InitRange::parseRange("0010"), 10);
    for (const char *bad : {"", "12 3", "１２", "1e3", "+1"})
        EXPECT_FALSE(InitRange::isDigits(bad)) << bad;
}

namespace
{

std::vector<std::int64_t> numbers(std::initializer_list<std::int64_t> l)
{
    return l;
}

} // namespace

TEST(NumberTableRules, AssignsTheLowestFreeNumbersAndStops)
{
    CInitialSettingsTable t;
    // 3 of 5 numbers registered (one of them twice as the same number is
    // not counted twice here), plus rows outside the range and without number.
    const auto s = t.start(InitRange("7000", 5), numbers({7001, 7003, 7004, 1234, -1}), 5);
    EXPECT_TRUE(s.started);
    EXPECT_EQ(s.freeCount, 2);
    EXPECT_EQ(t.assign(), QString("7000"));
    EXPECT_EQ(t.assign(), QString("7002"));
    EXPECT_EQ(t.freeCount(), 0);
    EXPECT_EQ(t.terminalCount(), 7);
    EXPECT_EQ(t.assign(), std::nullopt);
    EXPECT_TRUE(t.running()) << "the dialog ends waiting when it sees the full range";
    t.stop();
    EXPECT_FALSE(t.running());
    EXPECT_EQ(t.assign(), std::nullopt);
    EXPECT_TRUE(t.usedNumbers().empty());
}

TEST(NumberTableRules, StartIsRefusedWhenNothingIsFreeOrTheRegisterIsFull)
{
    CInitialSettingsTable t;
    // An ID held by two rows counts twice against the free numbers.
    EXPECT_FALSE(t.start(InitRange("50", 2), numbers({50, 51}), 2).started);
    EXPECT_EQ(t.start(InitRange("50", 3), numbers({50, 50, 51}), 3).freeCount, 0);
    EXPECT_FALSE(t.running());
    EXPECT_FALSE(t.start(InitRange("50", 3), {}, CInitialSettingsTable::MaxTerminals).started);
    const auto ok = t.start(InitRange("50", 3), {}, CInitialSettingsTable::MaxTerminals - 1);
    EXPECT_TRUE(ok.started);
    // The 1000th terminal is served; past it a used entry ends the walk.
    EXPECT_EQ(t.assign(), QString("50"));
    EXPECT_EQ(t.assign(), std::nullopt);
}

TEST(NumberTableRules, StartingAgainForgetsTheOldRange)
{
    CInitialSettingsTable t;
    ASSERT_TRUE(t.start(InitRange("100", 2), {}, 0).started);
    EXPECT_EQ(t.assign(), QString("100"));
    ASSERT_TRUE(t.start(InitRange("2000", 2), numbers({2000}), 1).started);
    EXPECT_EQ(t.assign(), QString("2001"));
    EXPECT_EQ(t.usedNumbers(), (std::vector<int>{2000, 2001}));
}

// Terminals asking at the same moment on different threads (the manager
// and, in a test, anything else) never share a number, while the dialog
// ends and starts waiting on its own thread.
TEST(NumberTableRace, ConcurrentAssignmentsNeverShareANumber)
{
    CInitialSettingsTable t;
    constexpr int Threads = 8;
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(t.start(InitRange("810000", 1000), numbers({810000, 810500}), 2).started);
        std::vector<std::vector<QString>> got(Threads);
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (int i = 0; i < Threads; ++i)
            threads.emplace_back([&, i] {
                while (!go.load())
                    std::this_thread::yield();
                while (auto id = t.assign())
                    got[i].push_back(*id);
            });
        go = true;
        for (auto &th : threads)
            th.join();
        QSet<QString> all;
        int total = 0;
        for (const auto &g : got) {
            total += int(g.size());
            for (const QString &id : g)
                all.insert(id);
        }
        EXPECT_EQ(total, 998);
        EXPECT_EQ(all.size(), 998) << "a number was handed out twice";
        EXPECT_FALSE(all.contains("810000"));
        EXPECT_EQ(t.freeCount(), 0);
    }
}

TEST(NumberTableRace, EndingWhileTerminalsAskHandsOutEachNumberOnce)
{
    CInitialSettingsTable t;
    std::atomic<bool> done{false};
    std::vector<QString> got[2];
    std::thread askers[2];
    ASSERT_TRUE(t.start(InitRange("4000", 1000), {}, 0).started);
    for (int i = 0; i < 2; ++i)
        askers[i] = std::thread([&, i] {
            while (!done.load())
                if (auto id = t.assign())
                    got[i].push_back(*id);
        });
    // The dialog's thread: end and start again, as "終了" and "実行" do.
    for (int round = 0; round < 200; ++round) {
        t.stop();
        t.start(InitRange("4000", 1000), {}, 0);
    }
    done = true;
    for (auto &th : askers)
        th.join();
    // What the table holds is one consistent epoch: the numbers handed out
    // since the last start, lowest first, matched by both counters.
    const std::vector<int> used = t.usedNumbers();
    for (std::size_t k = 0; k < used.size(); ++k)
        ASSERT_EQ(used[k], 4000 + int(k));
    EXPECT_EQ(t.terminalCount(), int(used.size()));
    EXPECT_EQ(t.freeCount(), 1000 - int(used.size()));
    EXPECT_FALSE(got[0].empty() && got[1].empty());
}
