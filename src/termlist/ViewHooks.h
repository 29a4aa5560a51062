#pragma once
// What the terminal list view hands on to windows of other subsystems. The
// view handles every notification of the communication manager; a few of them
// belong to a window that another subsystem owns, which registers one of
// these while it exists (CTerminalView::setScheduleSink(),
// setTerminalFileWaiter(), setInitialSettingsMode()) and unregisters with
// nullptr before it goes.

#include "common/ThreadMessage.h"

#include <memory>

// The schedule execution window. It posts its requests (kinds 29, 31, 33,
// 35) itself with RequestPayload::progressTarget set to the id of its own
// message receiver, where the manager's progress messages (kind 1) arrive.
// The view records the results of their completions (kinds 30, 32, 34, 36)
// and then hands each completion on. The manager sends a refused request
// back as kind 4 with end flag 0 and its own id as sender; the view tells a
// refusal of the window's request by its progressTarget being
// requestReceiver() and hands it on as well, so that the run can end (its
// entries still carry result 7). The window owns every message it gets.
class IScheduleCompletionSink
{
public:
    virtual ~IScheduleCompletionSink() = default;
    // A completion (30, 32, 34, 36) or a refusal (4, end flag 0).
    virtual void scheduleStepComplete(std::unique_ptr<TaskMessage> message) = 0;
    // The id the window's requests carry as progressTarget.
    virtual ThreadId requestReceiver() const = 0;
    // Whether the schedule settings dialog is open (the discard of stored
    // terminal requests then keeps the main window disabled and leaves the
    // terminal-update window usable).
    virtual bool scheduleSettingsOpen() const { return false; }
};

// An edit flow waiting for the terminal file it asked to read or write. The
// flow registers just before it posts its request through
// CTerminalView::commands().start() (target check, progress window and
// main window handled there); the next completion of a request of the
// list (kinds 4 and 7..27), refusals included, is handed to it once and the
// registration cleared. By then the progress window is gone and the results
// are recorded; the main window stays disabled and the list is only marked
// for refresh: both are the flow's to give back when it ends.
class ITerminalFileWaiter
{
public:
    virtual ~ITerminalFileWaiter() = default;
    // anySucceeded: at least one target ended with result 0 (false for a
    // refused request). The message is the completed request.
    virtual void terminalFileDone(bool anySucceeded, std::unique_ptr<TaskMessage> message) = 0;
};

// Initial settings execution, as the view's notification handling needs it.
class IInitialSettingsMode
{
public:
    virtual ~IInitialSettingsMode() = default;
    // True while the dialog waits for new terminals: a terminal-initiated
    // update then records result kind 19, and a request from a terminal
    // without ID ("ERROR") is not refused as unknown.
    virtual bool running() const = 0;
    // A terminal-initiated request ended (kind 43) while running, after its
    // result was recorded: go on (refresh the list of assigned numbers, end
    // when the range is full).
    virtual void requestEnded() = 0;
};
