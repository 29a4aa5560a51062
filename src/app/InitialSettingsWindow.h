#pragma once
// Initial settings in the running program: opens the dialog "初期設定実行"
// from the terminal list's menu (modal, the main window disabled, the
// dialog the view's hook while it is open), and gives the communication
// side its number assignment and file generation, whose message boxes
// reach the main thread through a relay.

#include "initsettings/BoxRelay.h"
#include "initsettings/InitialSettingsProvider.h"

#include <memory>

class CAutoUpdateDecider;
class CTerminalView;

class InitialSettingsWindow
{
public:
    // Built on the main thread before the communication thread starts.
    InitialSettingsWindow(CTerminalView &view, CAutoUpdateDecider &decider,
                          CInitialSettingsTable &table = CInitialSettingsTable::instance());
    ~InitialSettingsWindow();

    void open();

private:
    CTerminalView &m_view;
    CInitialSettingsTable &m_table;
    std::unique_ptr<CBoxRelay> m_boxes;
    std::unique_ptr<CInitialSettingsProvider> m_provider;
};
