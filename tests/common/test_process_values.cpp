#include "common/ProcessValues.h"
#include "common/ThreadMessage.h"

#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>

TEST(SendDelayOption, ParsedFromCommandLine)
{
    // Any case, blanks trimmed, read as atol does; 0 or none keeps the default.
    for (const auto &[line, expected] :
         {std::pair{"", 100}, {"   /Wait=7", 7}, {"x /wait=0", 100}, {"/wait=abc", 100},
          {"/wait=12abc", 12}, {"--program-folder=/x /WAIT=-5 other", -5}})
        EXPECT_EQ(ParseSendDelay(QString::fromUtf8(line)), expected) << line;
}

namespace
{

struct Counted : Payload {
    static inline std::atomic<int> alive{0};
    int value;
    explicit Counted(int v) : value(v) { ++alive; }
    ~Counted() override { --alive; }
};

struct Recorder : MessageReceiver {
    using MessageReceiver::MessageReceiver;
    void onMessage(std::uint32_t, quintptr, std::unique_ptr<Payload>) override {}
};

} // namespace

// Payloads are freed however a message ends: delivered in the receiver's
// thread, refused for an unknown id, or pending when the receiver dies.
TEST(PostToThread, DeliversInTheReceiversThreadAndFreesPayloads)
{
    QThread worker;
    worker.start();
    auto *r = new Recorder(4711);
    r->moveToThread(&worker);
    EXPECT_TRUE(PostToThread(4711, 0x2901, 0, std::make_unique<Counted>(1)));
    EXPECT_TRUE(PostToThread(4711, 0x2901, 0, std::make_unique<Counted>(2)));
    for (const QDeadlineTimer t(5000); Counted::alive.load() != 0 && !t.hasExpired();)
        QThread::msleep(5);
    EXPECT_EQ(Counted::alive.load(), 0);
    EXPECT_FALSE(PostToThread(4712, 0x2901, 0, std::make_unique<Counted>(3)));
    EXPECT_EQ(Counted::alive.load(), 0);
    QMetaObject::invokeMethod(r, [r] { r->deleteLater(); });
    worker.quit();
    worker.wait();

    {
        Recorder dying(4800);
        PostToThread(4800, 1, 0, std::make_unique<Counted>(9));
        EXPECT_EQ(Counted::alive.load(), 1);
    }
    EXPECT_EQ(Counted::alive.load(), 0);
    EXPECT_FALSE(PostToThread(4800, 1));
}
