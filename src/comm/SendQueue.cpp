#include "comm/SendQueue.h"

#include <algorithm>

void SendQueue::pushDatagram(std::uint32_t address, std::uint16_t port, const QByteArray &bytes)
{
    m_datagrams.push_back({address, port, bytes});
}

std::optional<SendQueue::Dropped> SendQueue::pushAnswer(std::uint32_t address, std::uint16_t port,
                                                        const QByteArray &bytes,
                                                        bool unknownTerminal,
                                                        const QString &termId)
{
    Answer answer{{address, port, bytes}, unknownTerminal, termId};
    const auto same = std::find_if(m_answers.begin(), m_answers.end(),
                                   [&](const Answer &a) { return a.item.address == address; });
    if (same != m_answers.end()) {
        *same = std::move(answer);
        return std::nullopt;
    }
    std::optional<Dropped> dropped;
    if (m_answers.size() >= MaxAnswers) {
        auto victim = std::find_if(m_answers.begin(), m_answers.end(),
                                   [](const Answer &a) { return a.unknown; });
        if (victim == m_answers.end())
            victim = m_answers.begin();
        dropped = Dropped{victim->item.address, victim->termId};
        m_answers.erase(victim);
    }
    m_answers.push_back(std::move(answer));
    return dropped;
}

SendQueue::AckPush SendQueue::pushAck(std::uint32_t source, std::uint32_t address,
                                      std::uint16_t port)
{
    if (m_ackSources.count(source))
        return AckPush::Waiting;
    if (m_acks.size() >= MaxAcks)
        return AckPush::Full;
    m_ackSources.insert(source);
    m_acks.push_back({source, {address, port, QByteArray()}});
    return AckPush::Queued;
}

std::optional<SendQueue::Item> SendQueue::pop()
{
    if (!m_datagrams.empty()) {
        Item out = std::move(m_datagrams.front());
        m_datagrams.pop_front();
        return out;
    }
    if (!m_answers.empty()) {
        Item out = std::move(m_answers.front().item);
        m_answers.pop_front();
        return out;
    }
    if (m_acks.empty())
        return std::nullopt;
    Ack ack = std::move(m_acks.front());
    m_acks.pop_front();
    m_ackSources.erase(ack.source);
    return ack.item;
}

void SendQueue::clear()
{
    m_datagrams.clear();
    m_answers.clear();
    m_acks.clear();
    m_ackSources.clear();
}
