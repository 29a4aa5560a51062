// The timer service: counting down, expiry order, stop rules, and the thread
// that posts kind 39 to the owner.
#include "comm/TimerService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
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

namespace
{

struct Owner : MessageReceiver {
    std::vector<std::pair<std::uint16_t, qint64>> expiries; // id, ms since start
    QElapsedTimer clock;
    Owner() { clock.start(); }
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> p) override
    {
        auto *task = dynamic_cast<TaskMessage *>(p.get());
        if (msg == Msg::Task && task && task->kind == TaskKind::TimerExpired)
            expiries.push_back({TimerSpecOf(*task)->id, clock.elapsed()});
    }
};

void pumpFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

TEST(TimerThread, ExpiresTimersAndEndsOnStop)
{
    qputenv("KELMNGPC_TICK_MS", "5");
    Owner owner;
    const ThreadId me = owner.threadId();
    CTimerThread timers(AllocateThreadId());
    ASSERT_TRUE(timers.launch());
    auto post = [&](std::uint32_t msg, std::unique_ptr<TaskMessage> m) {
        PostToThread(timers.id(), msg, 0, std::move(m));
    };

    // Before the service ticks only 0-tick timers come back.
    post(Msg::Task, MakeTimerMessage(me, TaskKind::TimerStart, {me, 9, 0}));
    post(Msg::Task, MakeTimerMessage(me, TaskKind::TimerStart, {me, 10, 20}));
    pumpFor(150);
    ASSERT_EQ(owner.expiries.size(), 1u);
    EXPECT_EQ(owner.expiries[0].first, 9);

    post(Msg::StartStop, std::make_unique<TaskMessage>(me, TaskKind::Start));
    post(Msg::Task, MakeTimerMessage(me, TaskKind::TimerStart, {me, 11, 20}));
    post(Msg::Task, MakeTimerMessage(me, TaskKind::TimerStop, {me, 11, 0}));
    pumpFor(400);
    ASSERT_EQ(owner.expiries.size(), 2u);
    EXPECT_EQ(owner.expiries[1].first, 10);
    EXPECT_GE(owner.expiries[1].second - 150, 80) << "20 ticks of 5 ms after the start";

    post(Msg::StartStop, std::make_unique<TaskMessage>(me, TaskKind::Stop));
    EXPECT_TRUE(timers.wait(2000));
    qunsetenv("KELMNGPC_TICK_MS");
}
