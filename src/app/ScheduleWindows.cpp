#include "app/ScheduleWindows.h"

#include "common/CommandScope.h"
#include "register/TermDatabase.h"
#include "schedule/ui/ScheduleListDialog.h"
#include "schedule/ui/ScheduleRunWindow.h"
#include "termlist/ui/TerminalView.h"
#include "termlist/ui/ViewCommandHost.h"

ScheduleWindows::ScheduleWindows(CTerminalView &view, QWidget *mainWindow, ScheduleBook &book)
    : m_view(view), m_main(mainWindow), m_book(book),
      m_lookup(std::make_unique<RegisterTerminalLookup>(view.database()))
{
    view.setScheduleOpeners([this] { openSettings(); }, [this] { openRun(); });
}

ScheduleWindows::~ScheduleWindows()
{
    m_view.setScheduleOpeners({}, {});
    if (m_run) {
        m_view.setScheduleSink(nullptr);
        m_view.holdMainDisabled(false);
        delete m_run;
    }
}

void ScheduleWindows::openSettings()
{
    CommandScope scope;
    // The execution window owns the schedules while it is open: reading them
    // here would take its next starts away.
    if (m_run) {
        m_run->raise();
        m_run->activateWindow();
        return;
    }
    m_view.setMainEnabled(false);
    {
        CScheduleListDialog dlg(m_book, *m_lookup, &m_view);
        dlg.exec();
    }
    m_view.setMainEnabled(true);
    m_view.refresh();
}

void ScheduleWindows::openRun()
{
    CommandScope scope;
    if (m_run) {
        m_run->raise();
        m_run->activateWindow();
        return;
    }
    auto *w = new CScheduleRunWindow(m_book, *m_lookup, m_main, {}, &m_view);
    m_run = w;
    m_view.holdMainDisabled(true);
    m_view.setRefreshPending(true);
    // Terminal-initiated updates can still be stopped while the main window is off.
    m_view.commandWindows().enableRemoteWindow();
    m_view.setScheduleSink(w);
    QObject::connect(w, &CScheduleRunWindow::closed, &m_view, [this, w] {
        m_view.setScheduleSink(nullptr);
        m_run = nullptr;
        w->deleteLater();
        m_view.holdMainDisabled(false);
        m_view.setMainEnabled(true);
        m_view.refresh();
    });
    w->show();
    w->start();
}

bool ScheduleWindows::runInProgress() const
{
    return m_run && m_run->runner().running();
}

bool ScheduleWindows::releaseForClose()
{
    if (runInProgress())
        return false;
    if (m_run)
        m_run->close();
    return true;
}

void ScheduleWindows::cancelRun()
{
    if (m_run)
        m_run->close();
}

void ScheduleWindows::abandonRun()
{
    if (runInProgress())
        m_run->runner().abandon();
}
