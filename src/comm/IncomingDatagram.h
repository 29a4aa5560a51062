#pragma once
// What the manager's receiving side does with one datagram, apart from the
// socket and the thread it runs on: a notice is answered at once and handed
// to the user interface, a session answer and a terminal-initiated request
// go to the manager thread; everything else is dropped without answer.

#include "comm/UdpMessages.h"
#include "common/ThreadMessage.h"

#include <QByteArray>

#include <cstdint>
#include <memory>

class IIncomingSink
{
public:
    virtual ~IIncomingSink() = default;
    // Queues the TermNotifyAck of a notice (to the address inside it, at the
    // port it came from); source: the address it came from.
    virtual void ackNotice(const Udp::TermNotify &notice, std::uint32_t source,
                           std::uint16_t port) = 0;
    virtual void post(ThreadId target, std::uint32_t msg, std::unique_ptr<Payload> payload) = 0;
};

// source and port: where the datagram came from (host order).
void DispatchIncoming(const QByteArray &datagram, std::uint32_t source, std::uint16_t port,
                      IIncomingSink &sink);
