// A model's phone-book template: exactly one opens, from the menu for the
// selected terminal's model; anything else is told and logged.
#include "common/ProcessValues.h"
#include "phonebook/ui/PhoneBookCommand.h"
#include "register/TermDatabase.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "termlist/ui/TerminalView.h"
#include "support/TodayLog.h"

#include <QAction>
#include <QFile>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

struct RecordingOpener : IDesktopOpener {
    QStringList *opened;
    bool succeed = true;
    explicit RecordingOpener(QStringList *out) : opened(out) {}
    bool open(const QString &path) override
    {
        *opened << path;
        return succeed;
    }
};

} // namespace

TEST(PhoneBookTemplate, OpensTheOneTemplateOfTheModelOrSaysWhy)
{
    using O = PhoneBookOpen;
    const QString kt100 = u"電話帳_KT-100_1.xlt"_s, faulty = u"電話帳テンプレートに異常があります。\n"_s;
    const struct {
        QStringList files;
        QString model;
        O outcome;
        QString text; // the box's text starts with it; empty: no box
    } cases[] = {
        {{kt100, u"電話帳_KT-200_1.xlt"_s}, "KT-100", O::Opened, {}},
        {{kt100, u"電話帳_KT-100_2.xlt"_s}, "KT-100", O::SeveralTemplates, u"電話帳テンプレートが複数存在します。\n"_s},
        {{kt100}, "KT-100", O::NoApplication, u"電話帳テンプレート（"_s + kt100 + u"）を開くアプリケーションがありません。"_s},
        {{kt100}, "KT-100", O::OpenFailed, faulty},
        {{kt100}, "../x", O::NoTemplate, faulty},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.outcome) << c.model.toStdString());
        TempDir dir;
        ProcessValues::setProgramFolder(dir.path());
        for (const char *d : {"Log", "Config"})
            dir.mkdir(d);
        for (const QString &f : c.files) {
            if (c.outcome == O::OpenFailed) // unreadable: a link whose file is gone (root reads any file)
                QFile::link(dir.file("gone.xlt"), dir.file("Config/" + f));
            else
                dir.write("Config/" + f, "xlt");
        }
        ScriptedPrompter prompter;
        QStringList opened;
        RecordingOpener opener(&opened);
        opener.succeed = c.outcome != O::NoApplication;
        EXPECT_EQ(OpenPhoneBookTemplate("1001", c.model, opener, prompter), c.outcome);
        const bool tried = c.outcome == O::Opened || c.outcome == O::NoApplication;
        EXPECT_EQ(opened, tried ? QStringList{dir.file("Config/" + c.files[0])} : QStringList{});
        const QString log = todayLog(dir.path());
        // One error line 13 with the search pattern in place of the terminal ID.
        EXPECT_EQ(log.count(u"\r\n"_s), c.text.isEmpty() ? 0 : 1);
        ASSERT_EQ(prompter.records.size(), c.text.isEmpty() ? 0 : 1);
        if (c.text.isEmpty())
            continue;
        EXPECT_EQ(prompter.records[0].type, 0x10u);
        EXPECT_TRUE(prompter.records[0].text.startsWith(c.text)) << prompter.records[0].text.toStdString();
        EXPECT_TRUE(log.contains(u"Err13:電話帳ファイル異常"_s) && log.contains(u"電話帳_"_s + c.model + u"_*.xlt\r\n"_s))
            << log.toStdString();
    }
}

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
    QStringList opened;
    PhoneBookCommand command(view, std::make_unique<RecordingOpener>(&opened));
    QAction *action = view.action("actionEditPhoneBook");
    view.selectRow(0);
    action->trigger();
    EXPECT_EQ(opened, QStringList{dir.file(u"Config/電話帳_KT-100_1.xlt"_s)});
    view.selectionModel()->clearSelection();
    action->trigger(); // nothing selected: nothing happens
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(prompter.records.isEmpty() && view.isMainEnabled());
}
