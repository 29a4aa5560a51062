#pragma once
// What travels with the timer service's messages (start 37, stop 38,
// expiry 39): the owner's thread id, the owner's timer id and the ticks.
// Every thread that wants a time-out (view, workers) posts one of these to
// the timer thread; the expiry comes back with the same values.

#include "common/ThreadMessage.h"

#include <cstdint>
#include <memory>

struct TimerSpec {
    ThreadId owner = 0;
    std::uint16_t id = 0;
    std::uint16_t ticks = 0;
    // The owner's own mark of this start, carried back unchanged on expiry:
    // an expiry that crossed its stop tells which start it belonged to.
    std::uint32_t generation = 0;
};

using TimerPayload = ValuePayload<TimerSpec>;

// A TaskMessage of the given timer kind carrying the timer in slot 0.
inline std::unique_ptr<TaskMessage> MakeTimerMessage(ThreadId sender, std::int32_t kind,
                                                     const TimerSpec &timerSpec)
{
    auto m = std::make_unique<TaskMessage>(sender, kind);
    m->payload[0] = std::make_unique<TimerPayload>(timerSpec);
    return m;
}

// The timer of a timer message, or nullptr when the message carries none.
inline const TimerSpec *TimerSpecOf(const TaskMessage &m)
{
    auto *p = m.slot<TimerPayload>(0);
    return p ? &p->value : nullptr;
}
