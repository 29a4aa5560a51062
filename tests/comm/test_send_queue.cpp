// The order in which datagrams leave the socket: sessions, answers, acks; one
// answer and one ack waiting per address. (Floods: the hostile-LAN runs.)
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
