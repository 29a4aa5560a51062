// The schedule menu items of the terminal list view: the main window stays
// disabled while a schedule window is open and comes back when it closes.
#include "termlist/ui/ModalDriver.h"

#include "app/ScheduleWindows.h"
#include "common/ProcessValues.h"
#include "schedule/ScheduleFiles.h"
#include "schedule/ScheduleTestData.h"
#include "schedule/ui/ScheduleListDialog.h"
#include "termlist/ui/TerminalView.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(ScheduleMenus, WindowsOpenFromTheMenuAndGiveTheMainWindowBack)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    ProcessValues::startupAbort = 0;
    ScriptedPrompter prompter;
    CTerminalView view;
    view.initialUpdate();
    QMenuBar bar;
    view.buildMenus(&bar);
    ScheduleBook book;
    book.init(dir.path());
    ScheduleWindows windows(view, nullptr, book);
    ASSERT_TRUE(ScheduleFiles::writeSettings(book.at(1).settingsPath,
                                             appointedAt(QDateTime::currentDateTime()), {}));
    QAction *settings = view.action("actionScheduleSettings");
    QAction *run = view.action("actionScheduleRun");
    ASSERT_TRUE(settings && run);
    EXPECT_TRUE(settings->isEnabled() && run->isEnabled());

    ModalDriver driver;
    driver.then<CScheduleListDialog>([&](CScheduleListDialog *d) {
        EXPECT_FALSE(view.isMainEnabled());
        EXPECT_EQ(d->groups[0].edit->text(), QStringLiteral("変更"));
        d->closeButton->click();
    });
    settings->trigger();
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(view.isMainEnabled());

    for (bool byButton : {true, false}) {
        run->trigger();
        CScheduleRunWindow *w = windows.runWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(view.isMainEnabled());
        if (byButton)
            w->cancelButton->click();
        else
            w->close();
        QCoreApplication::processEvents();
        EXPECT_TRUE(view.isMainEnabled());
        EXPECT_EQ(windows.runWindow(), nullptr);
    }
}
