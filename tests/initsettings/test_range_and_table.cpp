// The range rules, the assignment rule, and numbers assigned from many threads.
#include "initsettings/NumberTable.h"

#include <QSet>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(InitRangeRules, SplitNumbersIdsAndChecks)
{
    // Only the prefix's last five characters enter the number; shorter than
    // four digits, there is no prefix.
    const InitRange a("99912340100", 100), b("5", 3);
    EXPECT_EQ(std::tuple(a.firstNumber(), a.termIdFor(a.suffixValue() + 99), b.termIdFor(b.suffixValue() + 2)),
              std::tuple(std::int64_t(912340100), QString("99912340199"), QString("7")));
    EXPECT_EQ(InitRange::withoutLeadingZeros("00312340100"), "312340100");
    EXPECT_FALSE(InitRange::fits("1239950", 50)) << "9950 + 50 carries into the prefix";
    EXPECT_TRUE(InitRange::fits("1239950", 49));
    for (const char *bad : {"", "0", "1001", "12a"})
        EXPECT_EQ(InitRange::parseRange(bad), -1) << bad;
    EXPECT_EQ(InitRange::parseRange("0010"), 10);
}

TEST(NumberTableRules, LowestFreeFirstUntilTheRangeOrTheRegisterIsFull)
{
    CInitialSettingsTable t;
    // 3 of 5 registered, plus a row outside the range and one without number.
    ASSERT_EQ(t.start(InitRange("7000", 5), {7001, 7003, 7004, 1234, -1}, 5).freeCount, 2);
    EXPECT_EQ((std::tuple{t.assign(), t.assign(), t.assign(), t.terminalCount()}),
              std::tuple(QString("7000"), QString("7002"), std::nullopt, 7));
    // An ID held by two rows counts twice; 1000 registered terminals are the most.
    EXPECT_FALSE(t.start(InitRange("50", 3), {50, 50, 51}, 3).started);
    EXPECT_FALSE(t.start(InitRange("50", 3), {}, CInitialSettingsTable::MaxTerminals).started);
    ASSERT_TRUE(t.start(InitRange("50", 3), {51}, CInitialSettingsTable::MaxTerminals - 1).started);
    EXPECT_EQ((std::pair{t.assign(), t.assign()}), std::pair(std::optional<QString>("50"), std::optional<QString>()));
}

// Run under the thread sanitizer too (build preset tsan).
TEST(NumberTableRace, TerminalsAskingAtOnceNeverShareANumber)
{
    CInitialSettingsTable t;
    for (int round = 0; round < 10; ++round) {
        ASSERT_TRUE(t.start(InitRange("810000", 1000), {810500}, 1).started);
        std::vector<QString> got[8];
        std::vector<std::thread> askers;
        std::atomic<bool> go{false};
        for (auto &mine : got)
            askers.emplace_back([&] {
                while (!go.load())
                    std::this_thread::yield();
                while (auto id = t.assign())
                    mine.push_back(*id);
            });
        go = true;
        QSet<QString> all;
        for (std::size_t k = 0; k < askers.size(); ++k) {
            askers[k].join();
            all.unite(QSet<QString>(got[k].begin(), got[k].end()));
        }
        EXPECT_EQ(all.size(), 999) << "a number was handed out twice, or one was lost";
    }
}
