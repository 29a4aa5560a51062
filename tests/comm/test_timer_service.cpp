// The timer list: counting down, expiry order and stop rules.
#include "comm/TimerService.h"

#include <gtest/gtest.h>

TEST(TimerList, CountsDownExpiresInOrderAndStopsTheFirstMatch)
{
    TimerList list;
    EXPECT_TRUE(list.add({5, 1, 0})); // expires at once, not kept
    for (const TimerSpec &t : {TimerSpec{5, 2, 3}, {6, 3, 1}, {5, 4, 3}, {5, 4, 2}})
        list.add(t);
    list.remove(5, 4); // the first of the two
    list.remove(9, 9); // unknown: ignored
    // One expiry per tick here, carrying the timer as it was started.
    for (const auto &[id, ticks] : {std::pair{3, 1}, {4, 2}, {2, 3}}) {
        const auto expired = list.tick();
        ASSERT_EQ(expired.size(), 1u);
        EXPECT_EQ(expired[0].id, id);
        EXPECT_EQ(expired[0].ticks, ticks);
    }
    EXPECT_EQ(list.size(), 0u);
    list.add({1, 257, 900});
    int ticks = 1;
    while (list.tick().empty())
        ++ticks;
    EXPECT_EQ(ticks, 900);
}
