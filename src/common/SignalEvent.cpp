#include "common/SignalEvent.h"

void SignalEvent::set()
{
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    m_cv.notify_all();
}

void SignalEvent::reset()
{
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool SignalEvent::isSet() const
{
    std::lock_guard lock(m_mutex);
    return m_set;
}

bool SignalEvent::wait(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, timeout, [this] { return m_set; });
}

SignalEvent &ProcessesEvent()
{
    static SignalEvent event;
    return event;
}
