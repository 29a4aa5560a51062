// The timer list: counting down, expiry order and stop rules. (The thread
// around it runs under every end-to-end test's session waits.)
#include "comm/TimerService.h"

#include <gtest/gtest.h>

namespace
{

std::vector<std::uint16_t> ids(const std::vector<TimerSpec> &v)
{
    std::vector<std::uint16_t> out;
    for (const TimerSpec &t : v)
        out.push_back(t.id);
    return out;
}

} // namespace

TEST(TimerList, CountsDownExpiresInOrderAndStopsTheFirstMatch)
{
    TimerList list;
    EXPECT_TRUE(list.add({5, 1, 0})); // expires at once, not kept
    list.add({5, 2, 3});
    list.add({6, 3, 1});
    list.add({5, 4, 3});
    list.add({5, 4, 2});
    list.remove(5, 4); // the first of the two
    list.remove(9, 9); // unknown: ignored
    EXPECT_EQ(ids(list.tick()), (std::vector<std::uint16_t>{3}));
    EXPECT_EQ(ids(list.tick()), (std::vector<std::uint16_t>{4}));
    const auto third = list.tick();
    EXPECT_EQ(ids(third), (std::vector<std::uint16_t>{2}));
    EXPECT_EQ(third[0].ticks, 3) << "the expiry carries the timer as it was started";
    list.remove(5, 2); // already expired: nothing happens
    EXPECT_EQ(list.size(), 0u);

    list.add({1, 257, 900});
    int ticks = 1;
    while (list.tick().empty())
        ++ticks;
    EXPECT_EQ(ticks, 900);
}
