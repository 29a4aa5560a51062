#pragma once
// The list window as the maintenance commands see it: its selection, its
// enabled state and redraw, the progress window of a request and the
// terminal-update window.

#include "termlist/CommandHost.h"
#include "termlist/ui/ProgressDialog.h"
#include "termlist/ui/RemoteUpdateDialog.h"

#include <QPointer>

#include <memory>

class CTerminalView;
class ProgressEndpoint;

class CViewCommandHost : public ICommandHost
{
public:
    explicit CViewCommandHost(CTerminalView &view);
    ~CViewCommandHost() override;

    std::vector<TermEntry> selectedEntries() const override;
    bool mainEnabled() const override;
    void setMainEnabled(bool enabled) override;
    bool refreshPending() const override;
    void setRefreshPending() override;
    void refreshList() override;
    void showStatusNote(const QString &text) override;
    ThreadId openProgress(int operation, std::function<void()> onStop) override;
    void closeProgress() override;
    void showRemoteWindow() override;
    void closeRemoteWindow() override;
    void setRemoteLines(const QStringList &lines) override;
    void enableRemoteStop() override;
    void enableRemoteWindow() override;

    CProgressDialog *progressWindow() const { return m_progress; }
    CRemoteUpdateDialog *remoteWindow() const { return m_remote; }

private:
    CTerminalView &m_view;
    QPointer<CProgressDialog> m_progress;
    std::unique_ptr<ProgressEndpoint> m_endpoint;
    QPointer<CRemoteUpdateDialog> m_remote;
};
