#include "common/ProcessValues.h"
#include "common/ThreadMessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>

TEST(SendDelayOption, ParsedFromCommandLine)
{
    struct Case {
        const char *line;
        int expected;
    } cases[] = {
        {"", 100},           {"kelmngpc", 100},
        {"/wait=250", 250},  {"/WAIT=250 other", 250}, // any case, value ends at the blank
        {"   /Wait=7", 7},                             // leading blanks trimmed
        {"x /wait=0", 100},                            // 0 keeps the default
        {"/wait=abc", 100},                            // non-numeric is 0
        {"/wait=12abc", 12},                           // atol stops at the first non-digit
        {"/wait=-5", -5},                              // taken as it comes
        {"/wait=", 100},     {"--program-folder=/x /wait=33", 33},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseSendDelay(QString::fromUtf8(c.line)), c.expected) << c.line;
}

TEST(ProgramFolder, AlwaysEndsInSlashAndJoinsRelativePaths)
{
    ProcessValues::setProgramFolder(QStringLiteral("/tmp/kel/../kel2"));
    EXPECT_EQ(ProcessValues::programFolder(), QStringLiteral("/tmp/kel2/"));
    EXPECT_EQ(ProcessValues::programPath(QStringLiteral("Config/FTPauth.ini")),
              QStringLiteral("/tmp/kel2/Config/FTPauth.ini"));
    ProcessValues::setProgramFolder(QStringLiteral("/tmp/kel3/"));
    EXPECT_EQ(ProcessValues::programFolder(), QStringLiteral("/tmp/kel3/"));
}

namespace
{

struct Counted : Payload {
    static inline std::atomic<int> alive{0};
    int value;
    explicit Counted(int v) : value(v) { ++alive; }
    ~Counted() override { --alive; }
};

class Recorder : public MessageReceiver
{
public:
    using MessageReceiver::MessageReceiver;
    std::vector<std::pair<std::uint32_t, int>> got;

protected:
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> p) override
    {
        auto *c = dynamic_cast<Counted *>(p.get());
        got.emplace_back(msg, c ? c->value : -1);
    }
};

} // namespace

TEST(PostToThread, DeliversInTheReceiversThreadAndFreesPayloads)
{
    QThread worker;
    worker.start();
    auto *r = new Recorder(4711);
    r->moveToThread(&worker);

    EXPECT_TRUE(PostToThread(4711, 0x2901, 0, std::make_unique<Counted>(1)));
    EXPECT_TRUE(PostToThread(4711, 0x2901, 0, std::make_unique<Counted>(2)));
    QElapsedTimer t;
    t.start();
    while (Counted::alive.load() != 0 && t.elapsed() < 5000)
        QThread::msleep(5);
    EXPECT_EQ(Counted::alive.load(), 0);

    // Unknown ids refuse and still free the payload.
    EXPECT_FALSE(PostToThread(4712, 0x2901, 0, std::make_unique<Counted>(3)));
    EXPECT_EQ(Counted::alive.load(), 0);

    QMetaObject::invokeMethod(r, [r] { r->deleteLater(); });
    worker.quit();
    worker.wait();
    // Messages still queued for a receiver that is gone are freed with it.
}

TEST(PostToThread, PendingPayloadsFreedWhenReceiverDies)
{
    {
        Recorder r(4800);
        PostToThread(4800, 1, 0, std::make_unique<Counted>(9));
        EXPECT_EQ(Counted::alive.load(), 1);
    }
    EXPECT_EQ(Counted::alive.load(), 0);
    EXPECT_FALSE(PostToThread(4800, 1));
}

TEST(PostToThread, ReRegisterMovesTheId)
{
    Recorder a(4900), b(4901);
    b.reRegister(4900); // the view takes over the main thread's id
    PostToThread(4900, 7, 0, std::make_unique<Counted>(5));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(a.got.empty());
    ASSERT_EQ(b.got.size(), 1u);
    EXPECT_EQ(b.got[0].second, 5);
    EXPECT_FALSE(PostToThread(4901, 7));
}
