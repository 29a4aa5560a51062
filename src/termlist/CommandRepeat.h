#pragma once
// "前回の処理を失敗端末に再実行": the last maintenance command of this session
// once more, with the file chosen in its dialog and the answers it had, on
// those of its targets whose last result is now an error. One confirmation
// names the command and the count; the repeat then becomes the last command.
// Schedules never count as a last command.

#include "termlist/CommandFlow.h"

#include <QCoreApplication>

class CommandRepeat
{
    Q_DECLARE_TR_FUNCTIONS(CommandRepeat)

public:
    CommandRepeat(CommandContext &context, CommandFlow &flow) : m_ctx(context), m_flow(flow) {}

    // The last command's targets that failed, as the register has them now,
    // in the command's order. Empty without a last command.
    std::vector<TermEntry> failedTargets();
    // Whether the menu item is usable: a last command, none running, and
    // some of its targets failed.
    bool available();
    // The menu command. Answers whether a request was posted.
    bool run();

    // The command's name in the confirmation.
    static QString commandName(MaintCommand command);

private:
    CommandContext &m_ctx;
    CommandFlow &m_flow;
};
