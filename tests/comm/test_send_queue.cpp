// The order in which datagrams leave the socket: sessions, answers, acks; one
// answer and one ack waiting per address; a flood stays bounded.
#include "comm/SendQueue.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace
{

QStringList drain(SendQueue &q)
{
    QStringList out;
    while (auto item = q.pop())
        out << (item->bytes.isEmpty() ? QString("ack %1:%2").arg(item->address).arg(item->port)
                                      : QString::fromLatin1(item->bytes));
    return out;
}

} // namespace

TEST(SendQueue, SessionsThenAnswersThenOneAckPerSource)
{
    SendQueue q;
    using enum SendQueue::AckPush;
    EXPECT_EQ(q.pushAck(1, 101, 4000), Queued);
    q.pushDatagram(9, 4000, "open");
    // A newer notice from a source whose ack waits is answered by that ack,
    // whatever ID, MAC or address it carries.
    EXPECT_EQ(q.pushAck(1, 102, 4001), Waiting);
    EXPECT_EQ(q.pushAck(2, 102, 4000), Queued);
    EXPECT_FALSE(q.pushAnswer(7, 4000, "result 7", true, "1001"));
    EXPECT_FALSE(q.pushAnswer(8, 4000, "accept 8", false, "1002"));
    // A newer answer to the same address takes the waiting one's place.
    EXPECT_FALSE(q.pushAnswer(7, 4000, "result 7 again", true, "1001"));
    q.pushDatagram(9, 4000, "close");
    EXPECT_EQ(drain(q), (QStringList{"open", "close", "result 7 again", "accept 8", "ack 101:4000",
                                     "ack 102:4000"}));
    EXPECT_EQ(q.pushAck(1, 101, 4000), Queued) << "its ack has left: answered again";
}

// A flood from many addresses: the answers drop the oldest to an unknown
// terminal first, then the oldest; the acks stop at their bound.
TEST(SendQueue, FloodsFromManyAddressesStayBounded)
{
    SendQueue q;
    const auto n = std::uint32_t(SendQueue::MaxAnswers);
    EXPECT_FALSE(q.pushAnswer(1000, 1, "known", false, "real"));
    for (std::uint32_t a = 1; a < n; ++a)
        EXPECT_FALSE(q.pushAnswer(a, 1, "x", true, QString::number(a)));
    const auto first = q.pushAnswer(n, 1, "x", true, "new");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->address, 1u) << "the oldest unknown one, not the older known one";
    EXPECT_EQ(first->termId, "1");
    q.clear();
    for (std::uint32_t a = 0; a < n; ++a)
        q.pushAnswer(a, 1, "x", false, {});
    EXPECT_EQ(q.pushAnswer(n, 1, "x", false, {})->address, 0u) << "all known: the oldest";
    EXPECT_EQ(q.pendingAnswers(), SendQueue::MaxAnswers);

    for (std::uint32_t s = 0; s < SendQueue::MaxAcks; ++s)
        q.pushAck(s, s, 4000);
    EXPECT_EQ(q.pushAck(0x7F000002u, 0x7F000002u, 4000), SendQueue::AckPush::Full);
    EXPECT_EQ(q.pendingAcks(), SendQueue::MaxAcks);
    q.clear();
    EXPECT_EQ(q.pushAck(0, 0, 4000), SendQueue::AckPush::Queued) << "clear forgets the acks";
}
