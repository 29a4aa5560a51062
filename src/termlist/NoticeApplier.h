#pragma once
// The view's side of a terminal's announcement: every notice (kind 40) runs
// the register update, and the list is redrawn once, 10 seconds after the
// first notice of a burst. Notices that arrive together are applied in one
// transaction (each with its own update semantics): the first one schedules
// a pass over everything that has queued up by the time the event loop gets
// to it, so a storm of notices costs one commit per pass, not per notice.
//
// A notice whose update did not reach the register (its statement or its
// pass's commit failed: a full disk, a damaged file) is kept and tried again,
// before newer ones, when the retry timer runs out (10 s) or the view
// flushes before a command; until then passes wait, so a failing register is
// not hammered, nor its error shown, for every notice. Its log line is
// written only once it is committed. At most MaxHeld notices wait; beyond
// that the oldest are dropped and counted (a terminal announces itself again
// at its next interval).
//
// A stranger can send notices with ever new MAC addresses, each of which
// would add a row (and set the alerts of the real terminals whose ID or
// address it copies). New rows from one source address are therefore
// limited to a rate (the system setting "NewTermRate", new terminals a
// minute); a notice beyond it is answered but adds no row, and is counted
// (refused(), one log line a minute). Updates of known rows are never limited.

#include "comm/UdpMessages.h"
#include "common/ThreadMessage.h"
#include "common/TimerPayload.h"
#include "register/RegisterTypes.h"

#include <QObject>

#include <functional>
#include <unordered_map>
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
    // The retry timer of the owner, 100 ticks (10 s).
    static constexpr std::uint16_t RetryTimerId = 0x4002;
    static constexpr std::uint16_t RetryTicks = 100;
    // Notices kept while the register can't be written.
    static constexpr std::size_t MaxHeld = 65535;

    NoticeApplier(CTermDatabase &db, Host &host, ThreadId owner, ThreadId timerThread,
                  QObject *parent = nullptr);
    ~NoticeApplier() override;

    // Source addresses whose rate is tracked at most; beyond them, a new
    // address adds no terminal until others have filled up again.
    static constexpr std::size_t MaxSources = 65536;

    // Kind 40: queues the notice and, when no refresh is pending yet, asks
    // for the redraw timer (only while the main window is enabled). source:
    // the address the datagram came from (0: not limited).
    void onNotice(const Udp::TermNotify &notice, std::uint32_t source = 0);
    // New terminals a minute that notices from one address may add; each
    // address may add that many at once, then that many a minute. 0: no limit.
    void setNewTerminalRate(int perMinute) { m_rate = perMinute; }
    // Milliseconds of a monotonic clock (tests set their own).
    void setClock(std::function<qint64()> msecs) { m_clock = std::move(msecs); }
    // Sets the refresh-pending flag and starts the redraw timer (only while
    // the main window is enabled), unless a refresh is pending already.
    void requestRedraw();
    // Kind 39: answers true when it was the redraw or the retry timer; then
    // the queued notices are applied and, for the redraw timer, if a refresh
    // is pending and the main window is enabled, the list is redrawn.
    bool onTimerExpired(const TimerSpec &timer);
    // Applies every queued notice now; the view calls it before any other
    // work on the register so that the order of changes is kept. Answers
    // the register's answer (0 done, 1 some update failed and is kept for a
    // retry, 9 not open). Does nothing while a pass runs (a message box of
    // the pass runs the event loop).
    int flush();

    std::size_t pending() const { return m_pending.size(); }
    // Notices whose update was committed.
    std::uint64_t applied() const { return m_applied; }
    // Passes run (one transaction each).
    std::uint64_t passes() const { return m_passes; }
    // Notices given up because too many waited for a failing register.
    std::uint64_t dropped() const { return m_dropped; }
    // Notices that added no terminal because their address was over its rate.
    std::uint64_t refused() const { return m_refused; }
    // Whether failed notices wait for the retry timer.
    bool retryWaiting() const { return m_retryWaiting; }

    // The register's registration data of a notice.
    static RegistrationData toRegistration(const Udp::TermNotify &notice);

private:
    void scheduleFlush();
    // Keeps at most MaxHeld waiting notices, the newest.
    void dropOldest();
    // Whether a notice from the address may add a terminal now (takes one
    // from its allowance when it may).
    bool mayAdd(std::uint32_t source, const RegistrationData &notice);
    void askTimer(std::uint16_t id, std::uint16_t ticks);

    CTermDatabase &m_db;
    Host &m_host;
    ThreadId m_owner;
    ThreadId m_timerThread;
    std::vector<RegistrationData> m_pending;
    std::vector<std::uint32_t> m_sources; // of m_pending, in its order
    bool m_flushScheduled = false;
    bool m_inFlush = false;
    bool m_retryWaiting = false;
    bool m_retryTimerRunning = false;
    std::uint64_t m_applied = 0;
    std::uint64_t m_passes = 0;
    std::uint64_t m_dropped = 0;
    std::uint64_t m_refused = 0;

    struct Allowance {
        double left = 0;
        qint64 at = 0;
    };
    int m_rate = 0;
    std::unordered_map<std::uint32_t, Allowance> m_allowance;
    qint64 m_lastSweep = -1000;
    std::function<qint64()> m_clock;
};
