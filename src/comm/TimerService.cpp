#include "comm/TimerService.h"

#include "common/ProcessValues.h"

#include <algorithm>

bool TimerList::add(const TimerSpec &timer)
{
    if (timer.ticks == 0)
        return true;
    m_timers.push_back({timer, timer.ticks});
    return false;
}

void TimerList::remove(ThreadId owner, std::uint16_t id)
{
    auto it = std::find_if(m_timers.begin(), m_timers.end(), [&](const Entry &e) {
        return e.timerSpec.owner == owner && e.timerSpec.id == id;
    });
    if (it != m_timers.end())
        m_timers.erase(it);
}

std::vector<TimerSpec> TimerList::tick()
{
    std::vector<TimerSpec> expired;
    auto keep = m_timers.begin();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->remaining == 0 || --it->remaining == 0) {
            expired.push_back(it->timerSpec);
        } else {
            *keep++ = *it;
        }
    }
    m_timers.erase(keep, m_timers.end());
    return expired;
}

namespace
{

class TimerReceiver : public MessageReceiver
{
public:
    explicit TimerReceiver(ThreadId id) : MessageReceiver(id)
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(ProcessValues::timerTickMs());
        QObject::connect(&m_tick, &QTimer::timeout, this, [this] { onTick(); });
    }

protected:
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> lParam) override
    {
        auto *task = dynamic_cast<TaskMessage *>(lParam.get());
        if (!task)
            return;
        if (msg == Msg::StartStop) {
            if (task->kind == TaskKind::Start) {
                if (!m_tick.isActive())
                    m_tick.start();
            } else if (task->kind == TaskKind::Stop) {
                m_tick.stop();
                m_timers.clear();
                QThread::currentThread()->quit();
            }
            return;
        }
        if (msg == Msg::TimerTick) {
            onTick();
            return;
        }
        if (msg != Msg::Task)
            return;
        const TimerSpec *timerSpec = TimerSpecOf(*task);
        if (!timerSpec)
            return;
        if (task->kind == TaskKind::TimerStart) {
            if (m_timers.add(*timerSpec))
                expire(*timerSpec);
        } else if (task->kind == TaskKind::TimerStop) {
            m_timers.remove(timerSpec->owner, timerSpec->id);
        }
    }

private:
    void onTick()
    {
        for (const TimerSpec &t : m_timers.tick())
            expire(t);
    }
    void expire(const TimerSpec &t)
    {
        PostToThread(t.owner, Msg::Task, 0,
                     MakeTimerMessage(threadId(), TaskKind::TimerExpired, t));
    }

    TimerList m_timers;
    QTimer m_tick;
};

} // namespace

CTimerThread::CTimerThread(ThreadId id, QObject *parent)
    : MessageThread(parent), m_wantedId(id ? id : ProcessValues::TimerThreadId)
{
}

CTimerThread::~CTimerThread()
{
    stopAndWait();
}

std::unique_ptr<MessageReceiver> CTimerThread::makeReceiver()
{
    return std::make_unique<TimerReceiver>(m_wantedId);
}
