#pragma once
// What the list records from the manager's notifications: each target's
// result (by MAC address, or by address when the target carries none), the
// result of a terminal-initiated update (a terminal the register lost is
// registered again from what the request knows), and the marking of a
// terminal's request as known or not before the manager answers it.

#include "comm/CommPayloads.h"

class CTermDatabase;

namespace CommandResults
{

// ResultKind written for a notification kind: completions of user and
// schedule requests, 5 (terminal information being fetched) and 43
// (terminal-initiated update, 19 while initial settings run). -1: nothing
// is recorded (kind 4 and everything else).
int resultKindOf(int notificationKind, bool initialSettingsRunning = false);

// Writes every target's result code under the kind, in one transaction.
// Answers how many rows were found; a target whose row is gone is skipped.
int record(CTermDatabase &db, const RequestPayload &request, int resultKind);

// Kind 43: the request's result under the kind. When no row matches, the
// terminal is registered with its terminal ID and address only and the
// result set once more by address. Answers the register's last answer.
int recordTermRequest(CTermDatabase &db, const TermRequestPayload &request, int resultKind);

// Kind 50: marks the request known (1) when the register's row of its MAC
// address holds its terminal ID (and no other row does) and the row's
// address is the one the request came from; otherwise not known (0), with a
// log line. Terminals asking for files get result kind 14, code 0 at once;
// while initial settings run, a terminal without ID ("ERROR") with a MAC
// address keeps its mark. Answers whether a result was written.
bool markTermRequest(CTermDatabase &db, TermRequestPayload &request,
                     bool initialSettingsRunning);

} // namespace CommandResults
