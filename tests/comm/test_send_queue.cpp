// The order in which datagrams leave the socket: sessions and requests
// before notice acks, acks in arrival order, one waiting ack per terminal.
#include "comm/SendQueue.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace
{

// "ack 7:4000" or the datagram's bytes, one per item, until empty.
QStringList drain(SendQueue &q)
{
    QStringList out;
    while (auto item = q.pop())
        out << (item->bytes.isEmpty()
                    ? QString("ack %1:%2").arg(item->address).arg(item->port)
                    : QString::fromLatin1(item->bytes));
    return out;
}

} // namespace

TEST(SendQueue, SessionDatagramsOvertakeWaitingAcks)
{
    SendQueue q;
    for (std::uint32_t t = 1; t <= 3; ++t)
        EXPECT_TRUE(q.pushAck(t, 4000, "1"));
    q.pushDatagram(9, 4000, "open");
    q.pushAck(4, 4000, "1");
    q.pushDatagram(9, 4000, "close");
    EXPECT_EQ(q.size(), 6u);
    EXPECT_EQ(q.pop()->bytes, "open");
    EXPECT_EQ(q.pop()->bytes, "close");
    // A datagram queued after an ack left still goes before the other acks.
    EXPECT_EQ(q.pop()->address, 1u);
    q.pushDatagram(9, 4000, "result");
    EXPECT_EQ(drain(q), (QStringList{"result", "ack 2:4000", "ack 3:4000", "ack 4:4000"}));
    EXPECT_TRUE(q.empty());
    EXPECT_FALSE(q.pop());
}

TEST(SendQueue, OneWaitingAckPerTerminal)
{
    SendQueue q;
    // A terminal announcing itself again while its ack waits: that ack
    // serves, in its place; another port, address, terminal ID or MAC is
    // another terminal, even when two name the same address.
    EXPECT_TRUE(q.pushAck(1, 4000, "1001"));
    EXPECT_TRUE(q.pushAck(2, 4000, "1002"));
    EXPECT_FALSE(q.pushAck(1, 4000, "1001"));
    EXPECT_TRUE(q.pushAck(1, 4001, "1001"));
    EXPECT_TRUE(q.pushAck(1, 4000, "1003"));
    EXPECT_TRUE(q.pushAck(1, 4000, "1003", "00:00:00:00:00:01"));
    EXPECT_FALSE(q.pushAck(1, 4000, "1003", "00:00:00:00:00:01"));
    EXPECT_EQ(q.pendingAcks(), 5u);
    EXPECT_EQ(q.pop()->address, 1u);
    // Once its ack has left, its next notice is answered again.
    EXPECT_TRUE(q.pushAck(1, 4000, "1001"));
    EXPECT_EQ(drain(q), (QStringList{"ack 2:4000", "ack 1:4001", "ack 1:4000", "ack 1:4000",
                                     "ack 1:4000"}));

    // A storm from few terminals stays as small as the terminals are many.
    for (int round = 0; round < 1000; ++round)
        for (std::uint32_t t = 0; t < 50; ++t)
            q.pushAck(0x7F010000u + t, 4000, QString::number(t));
    EXPECT_EQ(q.size(), 50u);
    q.pushDatagram(5, 4000, "x");
    q.clear();
    EXPECT_TRUE(q.empty());
    EXPECT_TRUE(q.pushAck(0x7F010000u, 4000, "0")) << "clear forgets the waiting acks";
}
