#pragma once
// What waits to leave the one UDP socket, in the order it is to leave.
// Session and request datagrams (RemoteOpenReq, RemoteCloseReq, TermInfoReq,
// the answers to terminal requests) go before any notice acknowledgement:
// a worker's 90-second wait starts when it hands its datagram over, so it
// must never wait behind a burst of acks. Acks keep their arrival order and
// there is at most one per terminal (its ID and MAC address and the address
// and port the ack goes to): a newer notice from a terminal whose ack is still waiting is
// answered by that ack, so the queue never holds more acks than there are
// terminals. An ack carries no bytes here: its date and time are built when
// it leaves.

#include <QByteArray>
#include <QSet>
#include <QString>

#include <cstdint>
#include <deque>
#include <optional>

class SendQueue
{
public:
    struct Item {
        std::uint32_t address = 0; // IPv4, host order
        std::uint16_t port = 0;
        QByteArray bytes; // empty: a TermNotifyAck, built when it is sent
    };

    void pushDatagram(std::uint32_t address, std::uint16_t port, const QByteArray &bytes);
    // False when an ack for the terminal is already waiting (it serves).
    bool pushAck(std::uint32_t address, std::uint16_t port, const QString &termId,
                 const QString &mac = QString());
    // The next to send: the oldest datagram, else the oldest ack.
    std::optional<Item> pop();

    bool empty() const { return m_datagrams.empty() && m_acks.empty(); }
    std::size_t size() const { return m_datagrams.size() + m_acks.size(); }
    std::size_t pendingAcks() const { return m_acks.size(); }
    void clear();

private:
    std::deque<Item> m_datagrams;
    // Waiting acks as keys: address (4 bytes), port (2), terminal ID and MAC.
    std::deque<QByteArray> m_acks;
    QSet<QByteArray> m_ackWaiting;
};
