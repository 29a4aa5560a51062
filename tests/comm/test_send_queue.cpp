// The order in which datagrams leave the socket: sessions and requests
// before notice acks, acks in arrival order, one waiting ack per terminal.
#include "comm/SendQueue.h"

#include <gtest/gtest.h>

#include <QStringList>

TEST(SendQueue, SessionsFirstThenOneAckPerTerminal)
{
    SendQueue q;
    auto drain = [&q] {
        QStringList out;
        while (auto item = q.pop())
            out << (item->bytes.isEmpty() ? QString("ack %1:%2").arg(item->address).arg(item->port)
                                          : QString::fromLatin1(item->bytes));
        return out;
    };
    EXPECT_TRUE(q.pushAck(1, 4000, "1001"));
    q.pushDatagram(9, 4000, "open");
    // Announcing itself again while its ack waits: that ack serves. Another
    // port, address, ID or MAC is another terminal, even at one address.
    EXPECT_FALSE(q.pushAck(1, 4000, "1001"));
    for (auto [address, port, id, mac] : {std::tuple{2u, 4000, "1002", ""}, {1u, 4001, "1001", ""},
                                          {1u, 4000, "1003", ""}, {1u, 4000, "1003", "00:01"}})
        EXPECT_TRUE(q.pushAck(address, std::uint16_t(port), id, mac));
    q.pushDatagram(9, 4000, "close");
    EXPECT_EQ(q.pop()->bytes, "open");
    EXPECT_EQ(q.pop()->bytes, "close");
    EXPECT_EQ(q.pop()->address, 1u);
    // Chosen when it leaves: a datagram queued now still goes before the
    // waiting acks; a terminal whose ack has left is answered again.
    q.pushDatagram(9, 4000, "result");
    EXPECT_TRUE(q.pushAck(1, 4000, "1001"));
    EXPECT_EQ(drain(), (QStringList{"result", "ack 2:4000", "ack 1:4001", "ack 1:4000",
                                    "ack 1:4000", "ack 1:4000"}));

    // A storm from few terminals stays as small as the terminals are many.
    for (int round = 0; round < 1000; ++round)
        for (std::uint32_t t = 0; t < 50; ++t)
            q.pushAck(0x7F010000u + t, 4000, QString::number(t));
    EXPECT_EQ(q.size(), 50u);
    q.clear();
    EXPECT_TRUE(q.pushAck(0x7F010000u, 4000, "0")) << "clear forgets the waiting acks";
}
