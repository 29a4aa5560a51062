#pragma once
// The few process-wide values: set during start-up and read everywhere.
// The words shared between threads are atomics, written by one side and read
// by the other.

#include "common/ThreadMessage.h"

#include <QString>

#include <atomic>
#include <cstdint>

namespace ProcessValues
{

// The program folder, always ending in '/'. Every file of the program is
// named relative to it.
QString programFolder();
void setProgramFolder(const QString &dir);
// programFolder() + relative path ("Config/FTPauth.ini").
QString programPath(const QString &relative);

// Milliseconds slept before every UDP send ("/wait=", default 100).
inline std::atomic<std::int32_t> sendDelay{100};

// Versions kept per settings file in the settings history (a system
// setting; the main thread sets it, the threads that replace files read it).
inline std::atomic<std::int32_t> historyKeep{50};

// Bit 0 set while a menu is open or a menu command runs.
inline std::atomic<std::uint32_t> operatorBusy{0};
// Terminal-initiated updates in progress (0..5); closing is refused while non-zero.
inline std::atomic<std::uint32_t> remoteUpdateCount{0};
// Set when the register can't be compacted or opened.
inline std::atomic<std::uint32_t> startupAbort{0};

// Well-known ids of the long-lived threads. The view registers under the
// main thread's id, so messages for the user interface reach it.
constexpr ThreadId MainThreadId = 1;
constexpr ThreadId CommThreadId = 2;
constexpr ThreadId TimerThreadId = 3;

// Timer tick of the timer service in milliseconds: 100, or KELMNGPC_TICK_MS
// when set (end-to-end tests shorten it).
int timerTickMs();

} // namespace ProcessValues

// Parses the "/wait=" option out of a command line: found regardless of case,
// the value ends at the first blank; 0 or non-numeric text gives 100.
std::int32_t ParseSendDelay(const QString &commandLine);
