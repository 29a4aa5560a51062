#pragma once
// What waits to leave the one UDP socket, in the order it is to leave, and
// how much of it a stranger on the network can make wait.
// 1. Session datagrams (RemoteOpenReq, RemoteCloseReq) and TermInfoReq:
//    always first. A worker's 90-second wait starts when it hands its
//    datagram over, so it must never wait behind anything a terminal asked
//    for; only the program's own requests and workers put them here.
// 2. Answers to terminal requests (TermRequestAccept, TermRequestResult): at
//    most one waiting per address (a newer one takes the place of the one
//    waiting) and at most MaxAnswers in all; beyond that the oldest answer
//    to a terminal the register does not know goes first, else the oldest.
// 3. Notice acknowledgements: at most one waiting per source address (a
//    newer notice from there is answered by that ack) and at most MaxAcks.
//    An ack carries no bytes here: its date and time are built when it
//    leaves.
// So a flood from one address holds one answer and one ack, and a real
// terminal's ack waits behind one per flooding address at most.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_set>

class SendQueue
{
public:
    static constexpr std::size_t MaxAnswers = 64;
    // One per terminal of a full register.
    static constexpr std::size_t MaxAcks = 65536;

    struct Item {
        std::uint32_t address = 0; // IPv4, host order
        std::uint16_t port = 0;
        QByteArray bytes; // empty: a TermNotifyAck, built when it is sent
    };

    void pushDatagram(std::uint32_t address, std::uint16_t port, const QByteArray &bytes);

    // An answer that had to go to make room: where it was to go and the
    // terminal ID of its request.
    struct Dropped {
        std::uint32_t address = 0;
        QString termId;
    };
    // unknownTerminal: the request was answered as from an unknown terminal.
    std::optional<Dropped> pushAnswer(std::uint32_t address, std::uint16_t port,
                                      const QByteArray &bytes, bool unknownTerminal,
                                      const QString &termId);

    enum class AckPush { Queued, Waiting, Full };
    // source: where the notice came from; address and port: where the ack goes.
    AckPush pushAck(std::uint32_t source, std::uint32_t address, std::uint16_t port);

    // The next to send: the oldest datagram, else the oldest answer, else the oldest ack.
    std::optional<Item> pop();

    bool empty() const { return m_datagrams.empty() && m_answers.empty() && m_acks.empty(); }
    std::size_t size() const { return m_datagrams.size() + m_answers.size() + m_acks.size(); }
    std::size_t pendingAcks() const { return m_acks.size(); }
    std::size_t pendingAnswers() const { return m_answers.size(); }
    void clear();

private:
    struct Answer {
        Item item;
        bool unknown = false;
        QString termId;
    };
    struct Ack {
        std::uint32_t source = 0;
        Item item;
    };
    std::deque<Item> m_datagrams;
    std::deque<Answer> m_answers;
    std::deque<Ack> m_acks;
    std::unordered_set<std::uint32_t> m_ackSources;
};
