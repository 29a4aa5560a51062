#pragma once
// The list window with the real communication stack, in process on the
// offscreen platform: a program folder, the register, the view with its
// menus, the timer and manager threads (with the update decision), and the
// terminal simulator. Questions are answered by a scripted prompter.

#include "comm_e2e/CommStack.h"
#include "comm/UpdateDecider.h"
#include "support/ScriptedPrompter.h"
#include "termlist/ui/TerminalView.h"

#include <QMenuBar>

class ViewStack
{
public:
    // sendDelayMs: the pause before every datagram; tickMs: the timer tick.
    ViewStack(int udpPort, int sendDelayMs = 1, const char *tickMs = "2");
    ~ViewStack();
    bool up() const { return m_up; }
    // The program ends and starts again on the same folder: threads stopped,
    // the view (and the register) closed, then all of it built anew.
    bool restart();

    // The simulator's options for `count` terminals from `base`, with their
    // folders below the program folder ("sim/<address>/").
    QStringList simArgs(const QString &base, int count, bool startNotices = true) const;
    QString simFile(const QString &address, const QString &name) const;
    // Starts the simulator with `count` terminals that announce themselves
    // and waits until the list shows them.
    bool withTerminals(Termsim &sim, const QString &base, int count, int timeoutMs = 30000);

    // Waits until the list shows `rows` rows and no redraw is pending.
    bool waitRows(int rows, int timeoutMs = 30000);
    void select(const QStringList &termIds);
    void selectAll();
    // Triggers a menu action; wait() then waits for the command's completion.
    void trigger(const char *action);
    bool wait(int timeoutMs = 120000);
    bool commandRunning();

    // The list as shown (not re-read).
    const TermEntry *shown(const QString &termId) const;
    QString resultText(const QString &termId) const;
    // The register now (re-read, not shown).
    TermEntry stored(const QString &termId);

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<CTerminalView> view;
    QMenuBar bar;
    CAutoUpdateDecider decider;
    int port;

private:
    StackThreads m_threads;
    bool m_up = false;
};
