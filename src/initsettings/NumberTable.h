#pragma once
// The waiting state of initial settings: the mode flag, the table of the
// range's numbers with their used marks, and the two counters. The dialog
// starts and ends waiting on the main thread; the communication manager
// assigns numbers on its own thread. The table is the one object the two
// threads share, so every access holds its lock: a start, an end and any
// number of assignments can meet at any moment, and no number is ever
// handed out twice.

#include "initsettings/InitRange.h"

#include <QString>

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

class CInitialSettingsTable
{
public:
    // Terminals served at most (the register's terminals plus the numbers
    // handed out while waiting).
    static constexpr int MaxTerminals = 1000;

    struct StartResult {
        bool started = false;
        int freeCount = 0;
        int terminalCount = 0;
    };

    // The table of the program; the dialog and the communication side meet here.
    static CInitialSettingsTable &instance();

    // Builds the table for the range from the register: registerNumbers
    // holds one number per register row (negative: the row's ID gives no
    // number), terminalCount the number of rows. Waiting starts when fewer
    // than MaxTerminals are registered and at least one number is free;
    // otherwise the table is left cleared and the mode off.
    StartResult start(const InitRange &range, const std::vector<std::int64_t> &registerNumbers,
                      int terminalCount);
    // Ends waiting: every entry unset, both counters 0, the mode off.
    void stop();
    bool running() const;

    // The next free number as a terminal ID, marked used; nullopt when the
    // mode is off or nothing can be assigned.
    std::optional<QString> assign();

    int freeCount() const;
    int terminalCount() const;
    // The four-digit numbers marked used, ascending (for checks).
    std::vector<int> usedNumbers() const;

private:
    struct Entry {
        int number = 0; // the last four digits
        bool used = false;
    };

    mutable std::mutex m_lock;
    bool m_running = false;
    InitRange m_range;
    std::vector<Entry> m_entries;
    int m_terminalCount = 0;
    int m_freeCount = 0;
};
