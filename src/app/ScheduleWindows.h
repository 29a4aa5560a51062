#pragma once
// Opens the schedule windows from the terminal list's menu: the schedule list
// (modal) and the execution window (modeless, one at a time). The main window
// stays disabled while either is open, and the list is reloaded when they close.

#include "schedule/ScheduleRunner.h"
#include "schedule/ui/ScheduleRunWindow.h"

#include <QPointer>

#include <memory>

class CTerminalView;

class ScheduleWindows
{
public:
    ScheduleWindows(CTerminalView &view, QWidget *mainWindow, ScheduleBook &book);
    ~ScheduleWindows();

    void openSettings();
    void openRun();
    CScheduleRunWindow *runWindow() const { return m_run; }

    // A schedule runs in the execution window.
    bool runInProgress() const;
    // The main window's close button: refused while a run is in progress,
    // else the execution window closes with it.
    bool releaseForClose();
    // The program ends: the run is cancelled as by the window's own close;
    // abandonRun() then ends one still going, with its result written.
    void cancelRun();
    void abandonRun();

private:
    CTerminalView &m_view;
    QPointer<QWidget> m_main;
    ScheduleBook &m_book;
    std::unique_ptr<RegisterTerminalLookup> m_lookup;
    QPointer<CScheduleRunWindow> m_run;
};
