// A real worker between stand-ins for the manager and the timer thread: a
// time-out fired just before its stop must not end what the worker does next.
#include "comm/TermProcThread.h"
#include "comm/UdpMessages.h"
#include "comm/WorkerMessages.h"
#include "common/ProcessValues.h"
#include "common/TimerPayload.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace
{

bool pump(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Records the timers the worker starts, as the timer thread would see them.
struct TimerStandIn : MessageReceiver {
    TimerStandIn() : MessageReceiver(ProcessValues::TimerThreadId) {}
    std::vector<TimerSpec> started;
    void onMessage(std::uint32_t, quintptr, std::unique_ptr<Payload> p) override
    {
        auto *task = dynamic_cast<TaskMessage *>(p.get());
        if (task && task->kind == TaskKind::TimerStart && TimerSpecOf(*task))
            started.push_back(*TimerSpecOf(*task));
    }
};

// Records what the worker sends and the results it reports.
struct ManagerStandIn : MessageReceiver {
    std::vector<QByteArray> sent;
    std::vector<int> results;
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> p) override
    {
        if (auto *d = dynamic_cast<DatagramPayload *>(p.get()); d && msg == WorkerMsg::SessionSend)
            sent.push_back(d->bytes);
        else if (auto *r = dynamic_cast<WorkerReplyPayload *>(p.get()))
            results.push_back(r->value.result);
    }
};

} // namespace

TEST(WorkerTimer, ExpiryOfAnEarlierWaitNeverEndsTheNextSession)
{
    TimerStandIn timer;
    ManagerStandIn manager;
    CTermProcThread worker(WorkerPool::User, 4, manager.threadId());
    ASSERT_TRUE(worker.launch());
    SessionTarget target;
    target.address = 0x7F000A01u;
    const ThreadId w = worker.id();
    auto answer = [&](const QByteArray &datagram, std::size_t timersThen) {
        auto d = std::make_unique<DatagramPayload>();
        d->address = target.address;
        d->bytes = datagram;
        PostToThread(w, WorkerMsg::Datagram, 0, std::move(d));
        return pump([&] { return timer.started.size() == timersThen; });
    };
    auto restart = [&](std::size_t timersThen) {
        PostToThread(w, WorkerMsg::RenewSession);
        PostToThread(w, WorkerMsg::Target, 0, std::make_unique<TargetPayload>(target));
        PostToThread(w, WorkerMsg::Restart);
        return pump([&] { return timer.started.size() == timersThen; });
    };
    auto expire = [&](const TimerSpec &timer) {
        PostToThread(w, Msg::Task, 0,
                     MakeTimerMessage(ProcessValues::TimerThreadId, TaskKind::TimerExpired, timer));
    };

    // A first restart; its open's wait ran out just before its stop: the expiry comes later.
    ASSERT_TRUE(restart(1));
    ASSERT_TRUE(answer(Udp::buildRemoteOpenAck(), 2));
    const TimerSpec openWait = timer.started[0], closeWait = timer.started[1];
    expire(openWait);
    answer(Udp::buildRemoteCloseAck(), 2);
    ASSERT_TRUE(pump([&] { return manager.results.size() == 1; }));

    // The next terminal: the first close's wait expires while it awaits its open.
    ASSERT_TRUE(restart(3));
    expire(closeWait);
    ASSERT_TRUE(answer(Udp::buildRemoteOpenAck(), 4));
    answer(Udp::buildRemoteCloseAck(), 4);
    ASSERT_TRUE(pump([&] { return manager.results.size() == 2; }));
    EXPECT_EQ(manager.results, (std::vector<int>{ResultCode::Success, ResultCode::Success}));
    const QByteArray open = Udp::buildRemoteOpenReq(), close = Udp::buildRemoteCloseReq(true);
    EXPECT_EQ(manager.sent, (std::vector<QByteArray>{open, close, open, close}))
        << "nothing sent for a time-out";
    PostToThread(w, WorkerMsg::End);
    worker.wait();
}
