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

private:
    CTerminalView &m_view;
    QPointer<QWidget> m_main;
    ScheduleBook &m_book;
    std::unique_ptr<RegisterTerminalLookup> m_lookup;
    QPointer<CScheduleRunWindow> m_run;
};
