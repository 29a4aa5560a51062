#pragma once
// The view's side of a terminal's announcement: every notice (kind 40) runs
// the register update, and the list is redrawn once, 10 seconds after the
// first notice of a burst. Notices that arrive together are applied in one
// transaction (each with its own update semantics): the first one schedules
// a pass over everything that has queued up by the time the event loop gets
// to it, so a storm of notices costs one commit per pass, not per notice.

#include "comm/UdpMessages.h"
#include "common/ThreadMessage.h"
#include "common/TimerPayload.h"
#include "register/RegisterTypes.h"

#include <QObject>

#include <vector>

class CTermDatabase;

class NoticeApplier : public QObject
{
public:
    // What the applier needs from the view.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual bool refreshPending() const = 0;
        virtual void setRefreshPending() = 0;
        virtual bool mainWindowEnabled() const = 0;
        // Re-reads and redraws the list (and clears the refresh-pending flag).
        virtual void refreshList() = 0;
    };

    // The redraw timer: id 1 of the owner, 100 ticks (10 s).
    static constexpr std::uint16_t RefreshTimerId = 1;
    static constexpr std::uint16_t RefreshTicks = 100;
    // A pass never holds more than this many notices.
    static constexpr std::size_t MaxBatch = 5000;

    NoticeApplier(CTermDatabase &db, Host &host, ThreadId owner, ThreadId timerThread,
                  QObject *parent = nullptr);
    ~NoticeApplier() override;

    // Kind 40: queues the notice and, when no refresh is pending yet, asks
    // for the redraw timer (only while the main window is enabled).
    void onNotice(const Udp::TermNotify &notice);
    // Kind 39: answers true when it was the redraw timer; then the queued
    // notices are applied and, if a refresh is pending and the main window
    // is enabled, the list is redrawn.
    bool onTimerExpired(const TimerSpec &timer);
    // Applies every queued notice now; the view calls it before any other
    // work on the register so that the order of changes is kept. Answers
    // the register's answer (0 done, 1 some update failed, 9 not open).
    int flush();

    std::size_t pending() const { return m_pending.size(); }
    std::uint64_t applied() const { return m_applied; }
    // Passes that applied notices (one transaction each).
    std::uint64_t passes() const { return m_passes; }

    // The register's registration data of a notice.
    static RegistrationData toRegistration(const Udp::TermNotify &notice);

private:
    CTermDatabase &m_db;
    Host &m_host;
    ThreadId m_owner;
    ThreadId m_timerThread;
    std::vector<RegistrationData> m_pending;
    bool m_flushScheduled = false;
    std::uint64_t m_applied = 0;
    std::uint64_t m_passes = 0;
};
