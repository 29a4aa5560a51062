#pragma once
// What the maintenance commands and the manager's notifications need from
// the list window, and the things they work with: the register, the
// prompter, the posting routine and the hooks of other subsystems. The list
// window implements the host; tests drive the commands with their own.

#include "common/Prompter.h"
#include "common/ProcessValues.h"
#include "common/ThreadMessage.h"
#include "register/RegisterTypes.h"
#include "termlist/ViewHooks.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CTermDatabase;
class FirmCheckTracker;
class NoticeApplier;

class ICommandHost
{
public:
    virtual ~ICommandHost() = default;

    // The entries of the selected rows, in display order.
    virtual std::vector<TermEntry> selectedEntries() const = 0;

    // The main window's enabled state: disabled, it takes no command.
    virtual bool mainEnabled() const = 0;
    virtual void setMainEnabled(bool enabled) = 0;

    // Redraw of the list: the refresh-pending flag and the refresh itself
    // (the read-error message on failure; clears the flag).
    virtual bool refreshPending() const = 0;
    virtual void setRefreshPending() = 0;
    virtual void refreshList() = 0;
    // A note in the status line, until the list is drawn again.
    virtual void showStatusNote(const QString &text) = 0;

    // The modeless progress window of a request. Answers the id its progress
    // messages (kind 1) are posted to; onStop runs when "中止" is pressed.
    virtual ThreadId openProgress(int operation, std::function<void()> onStop) = 0;
    virtual void closeProgress() = 0;

    // The terminal-update window ("リモートファイル更新中").
    virtual void showRemoteWindow() = 0;
    virtual void closeRemoteWindow() = 0;
    virtual void setRemoteLines(const QStringList &lines) = 0;
    // Its "中止" again usable after the discard was declined.
    virtual void enableRemoteStop() = 0;
    // The whole window usable (it stays so while the main window is disabled).
    virtual void enableRemoteWindow() = 0;
};

using PostFunction =
    std::function<bool(ThreadId, std::uint32_t, quintptr, std::unique_ptr<Payload>)>;

// Shared by the command flow, the notification handling and the discard of
// stored terminal requests.
struct CommandContext {
    CTermDatabase &db;
    ICommandHost &host;
    NoticeApplier &notices;
    PostFunction post = &PostToThread;
    IPrompter *prompter = nullptr; // null: the process-wide one
    ThreadId comm = ProcessValues::CommThreadId;
    ThreadId self = ProcessValues::MainThreadId;

    // Hooks of other subsystems, registered while their windows exist.
    IScheduleCompletionSink *schedule = nullptr;
    ITerminalFileWaiter *waiter = nullptr;
    IInitialSettingsMode *initialSettings = nullptr;
    // Ends the firmware checks no notice answers (null: nobody ends them).
    FirmCheckTracker *firmChecks = nullptr;

    IPrompter &ask() const { return prompter ? *prompter : ::prompter(); }
    bool initialSettingsRunning() const { return initialSettings && initialSettings->running(); }
    // Redraws when a refresh is pending, unless a command holds the main window.
    void refreshIfPending()
    {
        if (host.refreshPending() && host.mainEnabled())
            host.refreshList();
    }
};
