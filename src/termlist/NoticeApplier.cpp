#include "termlist/NoticeApplier.h"

#include "comm/OpLog.h"
#include "comm/ResultCodes.h"
#include "common/Ipv4.h"
#include "register/TermDatabase.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <algorithm>
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

void NoticeApplier::onNotice(const Udp::TermNotify &notice, std::uint32_t source)
{
    m_pending.push_back(toRegistration(notice));
    m_sources.push_back(source);
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
    m_sources.erase(m_sources.begin(), m_sources.begin() + std::ptrdiff_t(excess));
    m_dropped += excess;
}

bool NoticeApplier::mayAdd(std::uint32_t source, const RegistrationData &notice)
{
    if (m_rate <= 0 || source == 0)
        return true;
    if (!m_clock) {
        static QElapsedTimer monotonic;
        if (!monotonic.isValid())
            monotonic.start();
        m_clock = [] { return monotonic.elapsed(); };
    }
    const qint64 now = m_clock();
    const auto refill = [&](Allowance &a) {
        a.left = std::min<double>(m_rate, a.left + double(now - a.at) * m_rate / 60000.0);
        a.at = now;
    };
    auto it = m_allowance.find(source);
    if (it == m_allowance.end()) {
        if (m_allowance.size() >= MaxSources && now - m_lastSweep >= 1000) {
            // Addresses whose allowance is whole again need no entry (looked
            // for once a second at most: a flood of new addresses would
            // otherwise cost a pass over all of them each).
            m_lastSweep = now;
            for (auto e = m_allowance.begin(); e != m_allowance.end();) {
                refill(e->second);
                e = e->second.left >= m_rate ? m_allowance.erase(e) : std::next(e);
            }
        }
        if (m_allowance.size() < MaxSources)
            it = m_allowance.emplace(source, Allowance{double(m_rate), now}).first;
    }
    if (it != m_allowance.end()) {
        refill(it->second);
        if (it->second.left >= 1) {
            it->second.left -= 1;
            return true;
        }
    }
    ++m_refused;
    OpLog::writeErrorRepeated(
        "notice-refused",
        LogRecord{notice.TermID, ErrLog::CommError, 0, source,
                  QStringLiteral(u"新規端末登録見送り IPアドレス:") + Ipv4::dotted(source)});
    return false;
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
    std::vector<std::uint32_t> sources;
    sources.swap(m_sources);
    std::vector<int> answers;
    // Refused items count as applied: they are done with, not to be retried.
    const int answer = m_db.registerUpdates(batch, &answers, nullptr, [&](std::size_t i) {
        return mayAdd(sources[i], batch[i]);
    });
    ++m_passes;

    // What did not reach the register goes back to the front of the queue,
    // in its order, ahead of what arrived during the pass.
    std::vector<RegistrationData> kept;
    std::vector<std::uint32_t> keptSources;
    std::uint64_t applied = 0;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (i < answers.size() && answers[i] == DbAnswer::Done) {
            ++applied;
        } else {
            kept.push_back(std::move(batch[i]));
            keptSources.push_back(sources[i]);
        }
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
    keptSources.insert(keptSources.end(), m_sources.begin(), m_sources.end());
    m_sources.swap(keptSources);
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
