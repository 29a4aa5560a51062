#include "termlist/NoticeApplier.h"

#include "common/Ipv4.h"
#include "register/TermDatabase.h"

#include <QMetaObject>

#include <iterator>

NoticeApplier::NoticeApplier(CTermDatabase &db, Host &host, ThreadId owner, ThreadId timerThread,
                             QObject *parent)
    : QObject(parent), m_db(db), m_host(host), m_owner(owner), m_timerThread(timerThread)
{
}

NoticeApplier::~NoticeApplier()
{
    flush();
}

RegistrationData NoticeApplier::toRegistration(const Udp::TermNotify &n)
{
    RegistrationData r;
    r.TermID = n.termId;
    r.IPAddr = Ipv4::hostToRegister(n.address);
    r.Regist = n.regist;
    r.Vendor = n.vendor;
    r.MachineName = n.machineName;
    r.MachineType = n.machineType;
    r.TermTypeInfo1 = n.termTypeInfo1;
    r.TermTypeInfo2 = n.termTypeInfo2;
    r.VerBoot = n.verBoot;
    r.VerApli = n.verApli;
    r.VerInfo1 = n.verInfo1;
    r.VerInfo2 = n.verInfo2;
    r.VerInfo3 = n.verInfo3;
    r.UserInfo1 = n.macAddress;
    r.UserInfo2 = n.userInfo2;
    return r;
}

void NoticeApplier::onNotice(const Udp::TermNotify &notice)
{
    m_pending.push_back(toRegistration(notice));
    if (m_retryWaiting) {
        // The register failed; the notices wait for the retry timer.
        dropOldest();
    } else if (m_pending.size() >= MaxBatch) {
        flush();
    } else {
        scheduleFlush();
    }
    requestRedraw();
}

void NoticeApplier::dropOldest()
{
    if (m_pending.size() <= MaxHeld)
        return;
    const std::size_t excess = m_pending.size() - MaxHeld;
    m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(excess));
    m_dropped += excess;
}

void NoticeApplier::scheduleFlush()
{
    if (m_flushScheduled)
        return;
    // Runs after the notices that are already waiting in the queue.
    m_flushScheduled = true;
    QMetaObject::invokeMethod(
        this, [this] { flush(); }, Qt::QueuedConnection);
}

void NoticeApplier::requestRedraw()
{
    if (m_host.refreshPending())
        return;
    m_host.setRefreshPending();
    if (m_host.mainWindowEnabled())
        askTimer(RefreshTimerId, RefreshTicks);
}

void NoticeApplier::askTimer(std::uint16_t id, std::uint16_t ticks)
{
    PostToThread(m_timerThread, Msg::Task, 0,
                 MakeTimerMessage(m_owner, TaskKind::TimerStart, {m_owner, id, ticks}));
}

int NoticeApplier::flush()
{
    m_flushScheduled = false;
    if (m_inFlush || m_pending.empty())
        return 0;
    m_inFlush = true;
    std::vector<RegistrationData> batch;
    batch.swap(m_pending);
    std::vector<int> answers;
    const int answer = m_db.registerUpdates(batch, &answers);
    ++m_passes;

    // What did not reach the register goes back to the front of the queue,
    // in its order, ahead of what arrived during the pass.
    std::vector<RegistrationData> kept;
    std::uint64_t applied = 0;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (i < answers.size() && answers[i] == DbAnswer::Done)
            ++applied;
        else
            kept.push_back(std::move(batch[i]));
    }
    m_applied += applied;
    m_inFlush = false;
    if (kept.empty()) {
        if (m_retryWaiting && applied > 0)
            requestRedraw(); // earlier notices reached the register only now
        m_retryWaiting = false;
        if (!m_pending.empty())
            scheduleFlush();
        return answer;
    }
    kept.insert(kept.end(), std::make_move_iterator(m_pending.begin()),
                std::make_move_iterator(m_pending.end()));
    m_pending.swap(kept);
    dropOldest();
    m_retryWaiting = true;
    if (!m_retryTimerRunning) {
        m_retryTimerRunning = true;
        askTimer(RetryTimerId, RetryTicks);
    }
    return answer;
}

bool NoticeApplier::onTimerExpired(const TimerSpec &timer)
{
    if (timer.id == RetryTimerId) {
        m_retryTimerRunning = false;
        flush();
        return true;
    }
    if (timer.id != RefreshTimerId)
        return false;
    flush();
    if (m_host.refreshPending() && m_host.mainWindowEnabled())
        m_host.refreshList();
    return true;
}
