#pragma once
// What the terminal list view hands on to windows of other subsystems. The
// view handles every notification of the communication manager; a few of them
// belong to a window that another subsystem owns, which registers one of
// these while it exists (and unregisters with nullptr before it goes).

#include "common/ThreadMessage.h"

#include <memory>

// The schedule execution window: the completions of schedule requests
// (kinds 30, 32, 34, 36), after the view has recorded their results. The
// window owns the message from then on. Also the refusal (kind 4, end flag 0)
// of a request the window posted, so that its run can end.
class IScheduleCompletionSink
{
public:
    virtual ~IScheduleCompletionSink() = default;
    virtual void scheduleStepComplete(std::unique_ptr<TaskMessage> message) = 0;
    // Whether the schedule settings dialog is open (the discard of stored
    // terminal requests then keeps the main window disabled).
    virtual bool scheduleSettingsOpen() const { return false; }
};

// An edit flow waiting for the terminal file it asked to read or write: the
// completion of its request goes to it instead of the usual handling, and
// the main window is left to it.
class ITerminalFileWaiter
{
public:
    virtual ~ITerminalFileWaiter() = default;
    // anySucceeded: at least one target ended with result 0. The message is
    // the completed request (results recorded already).
    virtual void terminalFileDone(bool anySucceeded, std::unique_ptr<TaskMessage> message) = 0;
};

// Initial settings execution, as the view's notification handling needs it.
class IInitialSettingsMode
{
public:
    virtual ~IInitialSettingsMode() = default;
    // True while the dialog waits for new terminals.
    virtual bool running() const = 0;
    // A terminal-initiated request ended (kind 43) while running: go on
    // (refresh the list of assigned numbers, end when the range is full).
    virtual void requestEnded() = 0;
};
