#pragma once
// Menu command handlers keep the operator-busy flag set while they run: on
// entry they stop the frame's busy timer (which would clear the flag), on
// exit they start it again. The frame installs the hooks; without a frame
// (tests) the scope does nothing.

#include <functional>

namespace BusyTimer
{
// Installed by the main frame: start(true) / stop(false) of its busy timer.
void setHook(std::function<void(bool start)> hook);
void start();
void stop();
} // namespace BusyTimer

class CommandScope
{
public:
    CommandScope() { BusyTimer::stop(); }
    ~CommandScope() { BusyTimer::start(); }
    CommandScope(const CommandScope &) = delete;
    CommandScope &operator=(const CommandScope &) = delete;
};
