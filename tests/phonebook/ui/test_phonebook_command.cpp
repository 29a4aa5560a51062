// The phone-book menu item opens the selected terminal's model's template.
#include "common/ProcessValues.h"
#include "phonebook/ui/PhoneBookCommand.h"
#include "register/TermDatabase.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "termlist/ui/TerminalView.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

struct RecordingOpener : IDesktopOpener {
    QStringList *opened;
    explicit RecordingOpener(QStringList *out) : opened(out) {}
    bool open(const QString &path) override { return *opened << path, true; }
};

} // namespace

TEST(PhoneBookCommand, OpensTheTemplateOfTheSelectedTerminalsModel)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    ProcessValues::startupAbort = 0;
    dir.write(u"Config/電話帳_KT-100_1.xlt"_s, "xlt");
    {
        CTermDatabase db(dir.path());
        ASSERT_TRUE(db.startUp());
        RegistrationData r;
        r.TermID = r.UserInfo1 = "1001";
        r.IPAddr = 0x0200007Fu;
        r.MachineName = "KT-100";
        ASSERT_EQ(db.registerUpdate(r), 0);
    }
    ScriptedPrompter prompter;
    CTerminalView view;
    view.initialUpdate();
    QMenuBar bar;
    view.buildMenus(&bar);
    QAction *action = view.action("actionEditPhoneBook");
    QStringList opened;
    {
        PhoneBookCommand command(view, std::make_unique<RecordingOpener>(&opened));
        EXPECT_TRUE(action->isEnabled());
        view.selectRow(0);
        action->trigger();
        EXPECT_EQ(opened, QStringList{dir.file(u"Config/電話帳_KT-100_1.xlt"_s)});
        view.selectionModel()->clearSelection();
        action->trigger(); // nothing selected: nothing happens
        EXPECT_EQ(opened.size(), 1);
        EXPECT_TRUE(prompter.records.isEmpty() && view.isMainEnabled());
    }
    EXPECT_FALSE(action->isEnabled());
}
