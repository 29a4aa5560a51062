#include "comm/SendQueue.h"

#include <QtEndian>

void SendQueue::pushDatagram(std::uint32_t address, std::uint16_t port, const QByteArray &bytes)
{
    m_datagrams.push_back({address, port, bytes});
}

bool SendQueue::pushAck(std::uint32_t address, std::uint16_t port, const QString &termId,
                        const QString &mac)
{
    QByteArray key(6, '\0');
    qToBigEndian(address, key.data());
    qToBigEndian(port, key.data() + 4);
    key += termId.toUtf8() + '\0' + mac.toUtf8();
    if (m_ackWaiting.contains(key))
        return false;
    m_ackWaiting.insert(key);
    m_acks.push_back(key);
    return true;
}

std::optional<SendQueue::Item> SendQueue::pop()
{
    if (!m_datagrams.empty()) {
        Item out = std::move(m_datagrams.front());
        m_datagrams.pop_front();
        return out;
    }
    if (m_acks.empty())
        return std::nullopt;
    const QByteArray key = m_acks.front();
    m_acks.pop_front();
    m_ackWaiting.remove(key);
    return Item{qFromBigEndian<std::uint32_t>(key.constData()),
                qFromBigEndian<std::uint16_t>(key.constData() + 4), QByteArray()};
}

void SendQueue::clear()
{
    m_datagrams.clear();
    m_acks.clear();
    m_ackWaiting.clear();
}
