#pragma once
// The logic of the schedule execution window: on every tick it starts the
// first due schedule, builds its request for the communication manager,
// follows its progress and records its end in the result file and the log;
// it also decides what cancelling and closing do. The window only shows what
// the runner reports; clock, register look-up and posting are injected, the
// one question goes through the prompter.

#include "common/ThreadMessage.h"
#include "schedule/ScheduleBook.h"
#include "schedule/ScheduleTiming.h"

#include <QDateTime>

#include <functional>
#include <memory>
#include <optional>

struct RequestPayload;

// A terminal of the register, found by its terminal ID.
class ITerminalLookup
{
public:
    virtual ~ITerminalLookup() = default;
    virtual std::optional<ScheduleTarget> findByTermId(const QString &termId) = 0;
};

// What the runner tells its window.
class IScheduleRunnerHost
{
public:
    virtual ~IScheduleRunnerHost() = default;
    // The texts or the row state of a schedule changed.
    virtual void rowChanged(int number) = 0;
    // The message line under the schedules.
    virtual void statusChanged(const QString &text) = 0;
    // "%d台／%d台完了" and the bar (done of total).
    virtual void progressChanged(const QString &text, int done, int total) = 0;
    virtual void cancelEnabled(bool enabled) = 0;
    // A run cancelled by closing has ended and the window is to close.
    virtual void closeWindow() = 0;
    // A request (kind 29/31/33/35) or a cancel (kind 28) for the manager;
    // false when it couldn't be posted.
    virtual bool post(std::unique_ptr<TaskMessage> message) = 0;
};

// Row states of the display.
namespace RowState
{
constexpr int NotSet = 0;  // not set or disabled
constexpr int Waiting = 1;
constexpr int Running = 2; // alternates with Waiting while the run goes on
constexpr int Ended = 3;   // last run without failed terminal
constexpr int EndedWithError = 4;
} // namespace RowState

class ScheduleRunner
{
public:
    // self: the window's message id, where progress messages go.
    ScheduleRunner(ScheduleBook &book, IScheduleRunnerHost &host, ITerminalLookup &lookup,
                   ThreadId self, std::function<QDateTime()> clock = {});

    // Opening the window: run states reset, the schedules read, next starts
    // from today, SchCancelClose read (and created when missing).
    void open();
    // The one-second timer: blinks the running row, or starts the first due
    // schedule (lowest number first).
    void tick();

    // Progress of the running request (kind 1).
    void onProgress(int done, int total);
    // A completion (30, 32, 34, 36) or the refusal (kind 4, end flag 0) of
    // the running request; anything else is dropped.
    void onMessage(std::unique_ptr<TaskMessage> message);

    // The cancel button or the window's close button. True: close now.
    // False: a run is going on; it is being cancelled and the window waits.
    bool requestClose();
    bool closeRequested() const { return m_closeRequested; }
    // The program ends: the run in progress ends now, every terminal not yet
    // reported counted as cancelled, with its result and end line written.
    void abandon();

    // "スケジュール実行キャンセル後に画面を閉じる", written at once.
    bool cancelClose() const { return m_cancelClose; }
    void setCancelClose(bool close);

    // "実行結果クリア": asks, then deletes every result file and re-reads.
    void clearAllResults();

    bool running() const { return m_running; }
    int runningNumber() const { return m_runningNumber; }
    int rowState(int number) const { return m_rowState[std::size_t(number - 1)]; }
    const ScheduleRunState &runState(int number) const
    {
        return m_runs[std::size_t(number - 1)];
    }
    // The state text of a row: "実行中" while it runs.
    QString stateText(int number) const;
    ScheduleBook &book() { return m_book; }

private:
    QDateTime now() const;
    void refreshRow(int number);
    bool start(int number);
    // Writes the result, the run state and the end line of the run.
    void finish(const RequestPayload *request);
    void reportProgress(int done, int total);

    ScheduleBook &m_book;
    IScheduleRunnerHost &m_host;
    ITerminalLookup &m_lookup;
    ThreadId m_self;
    std::function<QDateTime()> m_clock;

    std::array<ScheduleRunState, Schedule::Count> m_runs{};
    std::array<int, Schedule::Count> m_rowState{};
    bool m_cancelClose = true;

    // The run in progress.
    bool m_running = false;
    int m_runningNumber = 0;
    int m_requestKind = 0;
    int m_skipped = 0;
    int m_processKind = 0;
    QString m_beginText;
    QString m_timingText;
    int m_total = 0;
    QList<ScheduleResultTerm> m_results; // terminals skipped before sending
    QList<ScheduleTarget> m_sent;         // the request's terminals, in its order
    bool m_closeRequested = false;
};

// Register look-up through the terminal register.
class CTermDatabase;
class RegisterTerminalLookup : public ITerminalLookup
{
public:
    explicit RegisterTerminalLookup(CTermDatabase &db) : m_db(db) {}
    std::optional<ScheduleTarget> findByTermId(const QString &termId) override;

private:
    CTermDatabase &m_db;
};
