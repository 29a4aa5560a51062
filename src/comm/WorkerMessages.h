#pragma once
// Payloads between the communication manager and its terminal workers.

#include "comm/MaintenanceSession.h"
#include "comm/OpLog.h"
#include "common/ThreadMessage.h"

#include <QByteArray>

#include <cstdint>

namespace CommMsg
{
// To the manager: the next step of a terminal information request.
constexpr std::uint32_t TermInfoStep = 0x4501;
// To the manager: a terminal-initiated request arrived (lParam TermRequestPayload).
constexpr std::uint32_t TermRequestArrived = 0x5300;
// To the manager: hand queued terminal-initiated requests to free workers.
constexpr std::uint32_t DispatchQueue = 0x5310;
// To the manager: a session answer arrived from the socket (lParam DatagramPayload).
constexpr std::uint32_t SessionAnswer = 0x4C01;
} // namespace CommMsg

// A datagram with where it came from or where it goes.
struct DatagramPayload : Payload {
    std::uint32_t address = 0; // IPv4, host order
    std::uint16_t port = 0;
    QByteArray bytes;
};

using TargetPayload = ValuePayload<SessionTarget>;
using LogPayload = ValuePayload<LogRecord>;
