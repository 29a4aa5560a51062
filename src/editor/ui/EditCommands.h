#pragma once
// Binds the five edit commands to the list window: their menu items, the
// selection, the main window, the request road of the maintenance commands
// (the read before editing hands its completion to the flow), the system
// settings' text editor and the editor dialog.

#include "editor/EditFlow.h"

#include <QMetaObject>

#include <vector>

class CTerminalView;

class EditCommands : public IEditHost
{
public:
    // Enables and connects the menu items of the view (built already).
    explicit EditCommands(CTerminalView &view);
    ~EditCommands() override;

    EditFlow &flow() { return m_flow; }

    std::vector<TermEntry> selectedEntries() const override;
    void setMainEnabled(bool enabled) override;
    void refreshIfPending() override;
    bool postRequest(int requestKind, int progressOp, const TermEntry &row, const QString &file,
                     ITerminalFileWaiter *waiter) override;
    QString editorPath() override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
    EditorOutcome runEditor(DescriptionLoader &loader) override;

private:
    CTerminalView &m_view;
    EditFlow m_flow;
    std::vector<QMetaObject::Connection> m_connections;
    QStringList m_actions;
};
