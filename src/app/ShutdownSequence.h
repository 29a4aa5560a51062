#pragma once
// The way out on SIGTERM and SIGINT (a session's logout, a system shutdown):
// what runs is asked to end the way its own cancel would, every dialog and
// message box is closed, and once nothing runs any more -- or after a few
// seconds of grace, whatever still runs -- the program ends with status 0.
// A second signal ends it at once. The steps are the application's; this
// class only keeps their order and the time.

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class ShutdownSequence
{
public:
    struct Steps {
        std::function<void()> cancel;       // once, at the start
        std::function<void()> closeWindows; // at the start and on every look
        std::function<bool()> busy;         // something still runs
        std::function<void()> finish;       // once, at the end: stop and leave
    };
    static constexpr int GraceMs = 3000;
    static constexpr int LookMs = 50;

    explicit ShutdownSequence(Steps steps, int graceMs = GraceMs);

    // A termination signal arrived.
    void begin();
    bool started() const { return m_started; }
    bool finished() const { return m_finished; }

private:
    void look();
    void finish();

    Steps m_steps;
    int m_graceMs;
    QTimer m_timer;
    QElapsedTimer m_since;
    bool m_started = false;
    bool m_finished = false;
};
