#pragma once
// Firmware verified after restart. A boot or application firmware written
// with result 0 and a restart (maintenance menu, schedule, terminal-initiated
// update) makes the terminal's row wait for its next notice, which the
// register update decides (the written version reported, or another one).
// Here: which writes of a completion start a wait, and the tracker that ends
// the waits no notice answered in time, also across a restart of the program
// (the wait's start is in the register).

#include "comm/CommPayloads.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

class CTermDatabase;

namespace FirmChecks
{

// One firmware written to one terminal (its row found as its result is).
struct Written {
    QString mac;
    std::uint32_t address = 0; // host order
    int kind = 0;              // FirmKind
    QString file;              // the local file: its version is the one expected
    QDateTime ended;           // the terminal's session end, when known
};

// The writes with a restart that a completion (kind 25, 27 or 36) reports
// as done. When a schedule writes both programs, the application's version
// is the one checked.
std::vector<Written> written(int notificationKind, const RequestPayload &request);
// The same for a terminal-initiated update that ended (kind 43).
std::vector<Written> written(const TermRequestPayload &request);

// Starts the waits; each file's version is read once (version(path), the
// S-record header by default). Answers how many rows got a check.
int start(CTermDatabase &db, const std::vector<Written> &writes,
          const std::function<QString(const QString &)> &version = {});

} // namespace FirmChecks

// Ends the waits that ran out: at once for those whose time is up, and by a
// timer at the end of the oldest one still running. The time is the
// register's clock, so tests move it and call check().
class FirmCheckTracker : public QObject
{
public:
    explicit FirmCheckTracker(CTermDatabase &db, QObject *parent = nullptr);

    // Seconds a wait runs (the system setting); at least 1.
    void setWait(int seconds);
    int wait() const { return m_wait; }
    // Ends the waits whose time is up and arms the timer for the next one.
    // Answers how many ended; onEnded runs when any did.
    int check();
    // The list's redraw after waits ended.
    std::function<void()> onEnded;
    // When the timer runs out next (invalid when it is not armed).
    QDateTime nextCheck() const { return m_next; }

private:
    CTermDatabase &m_db;
    QTimer m_timer;
    QDateTime m_next;
    int m_wait = 900;
};
