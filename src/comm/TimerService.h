#pragma once
// The timer service: other threads register time-outs counted in ticks
// (100 ms, or KELMNGPC_TICK_MS) and are told by a posted kind-39 message when
// one runs out. TimerList holds the logic; CTimerThread drives it from a tick.

#include "comm/MessageThread.h"
#include "common/TimerPayload.h"

#include <QTimer>

#include <vector>

class TimerList
{
public:
    // Adds a timer. A timer of 0 ticks is not kept: the answer true says it
    // has expired at once.
    bool add(const TimerSpec &timer);
    // Removes the first timer of the owner with the id; unknown ones are ignored.
    void remove(ThreadId owner, std::uint16_t id);
    // One tick: lowers every count and answers the timers that ran out
    // (they are removed), in the order they were added.
    std::vector<TimerSpec> tick();
    void clear() { m_timers.clear(); }
    std::size_t size() const { return m_timers.size(); }

private:
    struct Entry {
        TimerSpec timerSpec;
        std::uint16_t remaining;
    };
    std::vector<Entry> m_timers;
};

// The timer thread. Accepts on Msg::StartStop kind 0 (start ticking) and
// kind 1 (drop all timers and end), on Msg::Task kind 37 (start a timer) and
// kind 38 (stop one). Expiry posts kind 39 with the timer to its owner.
class CTimerThread : public MessageThread
{
public:
    explicit CTimerThread(ThreadId id = 0, QObject *parent = nullptr);
    ~CTimerThread() override;

protected:
    std::unique_ptr<MessageReceiver> makeReceiver() override;

private:
    ThreadId m_wantedId;
};
