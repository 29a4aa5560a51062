#include "phonebook/ui/PhoneBookCommand.h"

#include "common/CommandScope.h"
#include "common/Prompter.h"
#include "phonebook/ui/DesktopOpener.h"
#include "termlist/ui/TerminalView.h"

#include <QAction>

PhoneBookCommand::PhoneBookCommand(CTerminalView &view, std::unique_ptr<IDesktopOpener> opener)
    : m_view(view), m_opener(opener ? std::move(opener) : std::make_unique<DesktopOpener>()),
      m_action(view.action(QStringLiteral("actionEditPhoneBook")))
{
    if (m_action) {
        m_action->setEnabled(true);
        m_connection = QObject::connect(m_action, &QAction::triggered, [this] { run(); });
    }
}

PhoneBookCommand::~PhoneBookCommand()
{
    QObject::disconnect(m_connection);
    if (m_action)
        m_action->setEnabled(false);
}

void PhoneBookCommand::run()
{
    CommandScope scope;
    const std::vector<TermEntry> rows = m_view.selectedEntries();
    if (rows.empty())
        return;
    m_view.setMainEnabled(false);
    OpenPhoneBookTemplate(rows.front().TermID, rows.front().MachineName, *m_opener, prompter());
    m_view.setMainEnabled(true);
    if (m_view.refreshPending())
        m_view.refresh();
}
