#pragma once
// The targets of a maintenance command: the check over the selected rows
// (addresses, alerts) and one terminal entry per row that has an address.

#include "comm/CommPayloads.h"
#include "common/Prompter.h"
#include "register/RegisterTypes.h"
#include "termlist/MaintenanceCommands.h"

#include <QList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace CommandTargets
{

// The row's address in host order; nullopt when its text is no reachable
// IPv4 address (empty, or the "USB(...)" form).
std::optional<std::uint32_t> addressOf(const TermEntry &row);

// Alert questions a repeated command already had answered with "はい".
struct AnsweredAlerts {
    bool termId = false;
    bool address = false;
};

// The check before every maintenance command (and the edit flows): no row
// with an address refuses with "対象端末IPアドレスエラー"; an ID alert, then an
// address alert, each ask whether to go on (unless answered). True: go on.
bool check(const std::vector<TermEntry> &rows, IPrompter &prompter,
           AnsweredAlerts answered = {});
// Whether any row has a terminal-ID alert / an address alert.
AnsweredAlerts alertsOf(const std::vector<TermEntry> &rows);

// The local file of a row for the command's file rule; `chosen` for Chosen.
// Empty for a terminal ID that can't name a file.
QString localFile(TargetFile rule, const TermEntry &row, const QString &chosen);

// The record numbers of the rows with an address, in the rows' order.
std::vector<std::int32_t> targetIds(const std::vector<TermEntry> &rows);

// One entry per row with an address, in the rows' order.
QList<TerminalEntry> build(const std::vector<TermEntry> &rows, int udpPort, bool withMac,
                           const std::function<QString(const TermEntry &)> &fileOf);

} // namespace CommandTargets
