#pragma once
// The common flow of a maintenance command: file dialog, confirmation,
// target check, the UDP port, the main window disabled, the progress window
// and one request to the communication manager. The command ends once the
// request is posted; its completion (ViewNotifications) closes the progress
// window and gives the main window back.

#include "termlist/CommandHost.h"
#include "termlist/CommandTargets.h"
#include "termlist/MaintenanceCommands.h"

#include <functional>
#include <optional>

class CommandFlow
{
public:
    // What a request needs besides its rows; the edit flows post theirs this way.
    struct Order {
        int requestKind = 0;
        int progressOp = 0;
        std::vector<TermEntry> rows; // display order
        bool withMac = true;
        std::function<QString(const TermEntry &)> fileOf; // null: no file
        CommandTargets::AnsweredAlerts answered;          // a repeat's earlier answers
    };

    // The status line of a command started with no row selected.
    static QString noSelectionText();
    // The last menu command that was posted: the command, the file chosen in
    // its dialog, its targets (record numbers, display order) and the alert
    // questions it had answered.
    struct LastCommand {
        MaintCommand command = MaintCommand::TermInfo;
        QString chosen;
        std::vector<std::int32_t> targets;
        CommandTargets::AnsweredAlerts answered;
    };
    const std::optional<LastCommand> &lastCommand() const { return m_last; }
    void setLastCommand(LastCommand last) { m_last = std::move(last); }

    // The port when the system settings can't be read.
    static constexpr int FallbackPort = 4000;

    explicit CommandFlow(CommandContext &context) : m_ctx(context) {}

    // A menu command on the selected rows. Answers whether a request was posted.
    bool run(MaintCommand command);

    // Target check, port, main window off, progress window, post. False when
    // the check refused; the main window is then left as it was.
    bool start(const Order &order);

    // "中止": asks the manager to stop handing out terminals.
    void cancel();

    // A posted request awaits its completion.
    bool awaiting() const { return m_awaiting; }
    // Its completion arrived: the progress window goes.
    void completed();

private:
    // The chosen file of a command with a file dialog; empty when cancelled.
    QString chooseFile(const CommandInfo &info);
    bool confirm(const CommandInfo &info);
    int udpPort();

    CommandContext &m_ctx;
    ThreadId m_progress = 0;
    bool m_awaiting = false;
    std::optional<LastCommand> m_last;
};
