#pragma once
// The communication side of initial settings: for a new terminal whose
// request was accepted for initial settings, assigns the next free number
// of the range as its terminal ID and generates its settings file; the
// request then carries the new ID and the file for the session that writes
// it. Runs on the communication manager's thread.
//
// When it fails, the request carries the result code instead and the
// manager runs no write: the terminal, already told to go ahead, gets its
// session closed without restart (so it never waits for a session that
// won't come) and may ask again. The result code reaches the register with
// the request's end (kind 43), and the log has a line for it:
// - no free number: result 11, error line 11 for the terminal ("ERROR");
// - the description is missing, doubled or has no version: result 12,
//   error line 12 (and the message box), then error line 9;
// - the file could not be written: result 10, error line 9.
// A number assigned before a failed generation stays used until waiting ends.

#include "initsettings/InitialFile.h"
#include "initsettings/NumberTable.h"

struct TermRequestPayload;

class CInitialSettingsProvider
{
public:
    CInitialSettingsProvider(CInitialSettingsTable &table, BoxPoster box);

    // Whether waiting for new terminals is on.
    bool running() const { return m_table.running(); }
    // Assigns and generates; false when no session should write (the
    // request's result is set then).
    bool prepare(TermRequestPayload &request);

private:
    CInitialSettingsTable &m_table;
    BoxPoster m_box;
};
