#pragma once
// A manual-reset event shared inside the process ("ProcessesEvent"): the
// terminal worker sets it after every settings-file read so that a waiting
// edit flow can look at the file.

#include <chrono>
#include <condition_variable>
#include <mutex>

class SignalEvent
{
public:
    void set();
    void reset();
    bool isSet() const;
    // Waits until the event is set or the time runs out; answers whether it is set.
    bool wait(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    bool m_set = false;
};

// The process-wide "ProcessesEvent", created clear.
SignalEvent &ProcessesEvent();
