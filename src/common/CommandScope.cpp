#include "common/CommandScope.h"

namespace
{
// Main thread only, like the frame that installs it.
std::function<void(bool)> g_hook;
} // namespace

namespace BusyTimer
{
void setHook(std::function<void(bool)> hook)
{
    g_hook = std::move(hook);
}
void start()
{
    if (g_hook)
        g_hook(true);
}
void stop()
{
    if (g_hook)
        g_hook(false);
}
} // namespace BusyTimer
