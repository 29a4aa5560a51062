#include "app/InitialSettingsWindow.h"

#include "comm/UpdateDecider.h"
#include "common/CommandScope.h"
#include "initsettings/ui/InitSettingsDialog.h"
#include "termlist/ui/TerminalView.h"

InitialSettingsWindow::InitialSettingsWindow(CTerminalView &view, CAutoUpdateDecider &decider,
                                             CInitialSettingsTable &table)
    : m_view(view), m_table(table), m_boxes(std::make_unique<CBoxRelay>())
{
    CBoxRelay *boxes = m_boxes.get();
    m_provider = std::make_unique<CInitialSettingsProvider>(
        table, [boxes](const QString &text, const QString &caption, unsigned type) {
            boxes->post(text, caption, type);
        });
    CInitialSettingsProvider *provider = m_provider.get();
    decider.initialSettingsMode = [provider] { return provider->running(); };
    decider.initialSettings = [provider](TermRequestPayload &r) { return provider->prepare(r); };
    view.setInitialSettingsOpener([this] { open(); });
}

InitialSettingsWindow::~InitialSettingsWindow()
{
    m_view.setInitialSettingsOpener({});
}

void InitialSettingsWindow::open()
{
    CommandScope scope;
    m_view.setMainEnabled(false);
    {
        CInitSettingsDialog dlg(m_view.database(), m_table, &m_view);
        m_view.setInitialSettingsMode(&dlg);
        dlg.exec();
        m_view.setInitialSettingsMode(nullptr);
    }
    m_view.setMainEnabled(true);
    if (m_view.refreshPending())
        m_view.refresh();
}
