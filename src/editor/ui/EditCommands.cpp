#include "editor/ui/EditCommands.h"

#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "editor/ui/SettingsEditorDialog.h"
#include "register/TermDatabase.h"
#include "termlist/CommandFlow.h"
#include "termlist/ExternalProgram.h"
#include "termlist/ui/TerminalView.h"

#include <QAction>

EditCommands::EditCommands(CTerminalView &view) : m_view(view), m_flow(*this)
{
    const std::pair<const char *, EditKind> items[] = {
        {"actionEditTermSys", EditKind::TerminalSystem},
        {"actionEditTermUser", EditKind::TerminalUser},
        {"actionEditCommonSys", EditKind::CommonSystem},
        {"actionEditCommonUser", EditKind::CommonUser},
        {"actionFirmRegister", EditKind::FirmRegistration},
    };
    for (const auto &[name, kind] : items) {
        QAction *a = view.action(QString::fromLatin1(name));
        if (!a)
            continue;
        a->setEnabled(true);
        m_actions << a->objectName();
        m_connections.push_back(
            QObject::connect(a, &QAction::triggered, [this, k = kind] { m_flow.run(k); }));
    }
}

EditCommands::~EditCommands()
{
    for (const QMetaObject::Connection &c : m_connections)
        QObject::disconnect(c);
    for (const QString &name : m_actions)
        if (QAction *a = m_view.action(name))
            a->setEnabled(false);
    // A read still on its way finds no flow any more.
    if (m_flow.waiting())
        m_view.setTerminalFileWaiter(nullptr);
}

std::vector<TermEntry> EditCommands::selectedEntries() const
{
    return m_view.selectedEntries();
}

void EditCommands::setMainEnabled(bool enabled)
{
    m_view.setMainEnabled(enabled);
}

void EditCommands::refreshIfPending()
{
    if (m_view.refreshPending() && m_view.isMainEnabled())
        m_view.refresh();
}

bool EditCommands::postRequest(int requestKind, int progressOp, const TermEntry &row,
                               const QString &file, ITerminalFileWaiter *waiter)
{
    CommandFlow::Order order;
    order.requestKind = requestKind;
    order.progressOp = progressOp;
    order.rows = {row};
    order.fileOf = [file](const TermEntry &) { return file; };
    if (waiter)
        m_view.setTerminalFileWaiter(waiter);
    if (m_view.commands().start(order))
        return true;
    if (waiter)
        m_view.setTerminalFileWaiter(nullptr);
    return false;
}

QString EditCommands::editorPath()
{
    SystemSettings settings;
    if (m_view.database().readSystemSettings(settings) == DbAnswer::Done &&
        !settings.EditerPath.isEmpty())
        return settings.EditerPath;
    return QString::fromUtf8(DefaultEditorPath);
}

bool EditCommands::startDetached(const QString &program, const QStringList &arguments)
{
    return ExternalProgram::start(program, arguments, prompter());
}

EditorOutcome EditCommands::runEditor(DescriptionLoader &loader)
{
    SettingsEditorDialog dialog(&loader.description(), loader.inputs(), m_view.window());
    dialog.run();
    return EditorOutcome{dialog.saved(), dialog.writeToTerminal()};
}
