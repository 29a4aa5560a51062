#include "termlist/ui/ViewCommandHost.h"

#include "termlist/ProgressEndpoint.h"
#include "termlist/ui/ProgressDialog.h"
#include "termlist/ui/RemoteUpdateDialog.h"
#include "termlist/ui/TerminalView.h"

#include <QPushButton>

CViewCommandHost::CViewCommandHost(CTerminalView &view) : m_view(view) {}

CViewCommandHost::~CViewCommandHost()
{
    closeProgress();
    closeRemoteWindow();
}

std::vector<TermEntry> CViewCommandHost::selectedEntries() const
{
    return m_view.selectedEntries();
}

bool CViewCommandHost::mainEnabled() const
{
    return m_view.isMainEnabled();
}

void CViewCommandHost::setMainEnabled(bool enabled)
{
    m_view.setMainEnabled(enabled);
}

bool CViewCommandHost::refreshPending() const
{
    return m_view.refreshPending();
}

void CViewCommandHost::setRefreshPending()
{
    m_view.setRefreshPending(true);
}

void CViewCommandHost::refreshList()
{
    m_view.refresh();
}

void CViewCommandHost::showStatusNote(const QString &text)
{
    m_view.showStatusNote(text);
}

ThreadId CViewCommandHost::openProgress(int operation, std::function<void()> onStop)
{
    closeProgress();
    m_progress = new CProgressDialog(operation, &m_view);
    QObject::connect(m_progress, &CProgressDialog::stopRequested, m_progress,
                     [stop = std::move(onStop)] {
                         if (stop)
                             stop();
                     });
    m_endpoint = std::make_unique<ProgressEndpoint>(*m_progress);
    m_progress->show();
    return m_endpoint->threadId();
}

void CViewCommandHost::closeProgress()
{
    // Progress still on its way goes nowhere once the endpoint is gone.
    m_endpoint.reset();
    // The windows refuse to be closed by the user, so they are taken down.
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    m_progress = nullptr;
}

void CViewCommandHost::showRemoteWindow()
{
    if (!m_remote) {
        m_remote = new CRemoteUpdateDialog(&m_view);
    }
    m_remote->show();
}

void CViewCommandHost::closeRemoteWindow()
{
    if (m_remote) {
        m_remote->hide();
        m_remote->deleteLater();
    }
    m_remote = nullptr;
}

void CViewCommandHost::setRemoteLines(const QStringList &lines)
{
    if (m_remote)
        m_remote->setLines(lines);
}

void CViewCommandHost::enableRemoteStop()
{
    if (m_remote)
        m_remote->stopButton->setEnabled(true);
}

void CViewCommandHost::enableRemoteWindow()
{
    if (m_remote)
        m_remote->setEnabled(true);
}
