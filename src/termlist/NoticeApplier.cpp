#include "termlist/NoticeApplier.h"

#include "common/Ipv4.h"
#include "register/TermDatabase.h"

#include <QMetaObject>

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
    if (m_pending.size() >= MaxBatch) {
        flush();
    } else if (!m_flushScheduled) {
        // Runs after the notices that are already waiting in the queue.
        m_flushScheduled = true;
        QMetaObject::invokeMethod(
            this, [this] { flush(); }, Qt::QueuedConnection);
    }
    if (m_host.refreshPending())
        return;
    m_host.setRefreshPending();
    if (m_host.mainWindowEnabled()) {
        PostToThread(m_timerThread, Msg::Task, 0,
                     MakeTimerMessage(m_owner, TaskKind::TimerStart,
                                      {m_owner, RefreshTimerId, RefreshTicks}));
    }
}

int NoticeApplier::flush()
{
    m_flushScheduled = false;
    if (m_pending.empty())
        return 0;
    std::vector<RegistrationData> batch;
    batch.swap(m_pending);
    const int answer = m_db.registerUpdates(batch);
    m_applied += batch.size();
    ++m_passes;
    return answer;
}

bool NoticeApplier::onTimerExpired(const TimerSpec &timer)
{
    if (timer.id != RefreshTimerId)
        return false;
    flush();
    if (m_host.refreshPending() && m_host.mainWindowEnabled())
        m_host.refreshList();
    return true;
}
