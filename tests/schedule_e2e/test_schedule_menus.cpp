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
#include "termlist/TermListModel.h"
#include "termlist/ui/CondDialog.h"

#include <QAction>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// The list window with its menus and the schedule windows on a fresh folder.
class ScheduleMenus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        ProcessValues::startupAbort = 0;
        view = std::make_unique<CTerminalView>();
        view->initialUpdate();
        view->buildMenus(&bar);
        book.init(dir.path());
        windows = std::make_unique<ScheduleWindows>(*view, nullptr, book);
    }
    void TearDown() override
    {
        windows.reset();
        view.reset();
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<CTerminalView> view;
    QMenuBar bar;
    ScheduleBook book;
    std::unique_ptr<ScheduleWindows> windows;
};

} // namespace

// The execution window is modeless, so the list's headers stay clickable:
// sorting works, but its end must not give the menus back, and the schedule
// list must not read the schedules from under the open window.
TEST_F(ScheduleMenus, WindowsKeepTheMainWindowOffUntilTheyClose)
{
    view->show();
    const QDateTime later = QDateTime::currentDateTime().addSecs(3600);
    ASSERT_TRUE(ScheduleFiles::writeSettings(book.at(1).settingsPath, appointedAt(later), {}));
    ASSERT_TRUE(ScheduleFiles::writeEnabled(book.at(1).settingsPath, true));
    QAction *settings = view->action("actionScheduleSettings");
    QAction *run = view->action("actionScheduleRun");
    ASSERT_TRUE(settings && run);
    EXPECT_TRUE(settings->isEnabled() && run->isEnabled());

    bool listOpened = false;
    const auto openList = [&] {
        ModalDriver driver;
        driver.then<CScheduleListDialog>([&](CScheduleListDialog *d) {
            listOpened = true;
            EXPECT_FALSE(view->isMainEnabled());
            EXPECT_EQ(d->groups[0].edit->text(), QStringLiteral("変更"));
            d->closeButton->click();
        });
        settings->trigger();
        QTest::qWait(50);
    };
    openList();
    EXPECT_TRUE(listOpened);
    EXPECT_TRUE(view->isMainEnabled());

    for (bool byButton : {true, false}) {
        run->trigger();
        CScheduleRunWindow *w = windows->runWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(view->isMainEnabled());
        if (byButton) {
            const QDateTime next = book.at(1).nextStart;
            ASSERT_TRUE(next.isValid());
            ModalDriver driver;
            driver.then<CCondDialog>([](CCondDialog *d) { d->ascendingButton->click(); });
            QHeaderView *h = view->horizontalHeader();
            const int s = view->listModel()->sectionOf(ViewColumn::TermID);
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                              QPoint(h->sectionViewportPosition(s) + 4, h->height() / 2));
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return driver.done() && !QApplication::activeModalWidget(); }));
            QTest::qWait(20);
            EXPECT_EQ(view->listCondition().SortDirect, 2) << "the list stays sortable";
            EXPECT_FALSE(bar.isEnabled());
            EXPECT_FALSE(view->isMainEnabled());
            listOpened = false;
            openList();
            EXPECT_FALSE(listOpened);
            EXPECT_EQ(book.at(1).nextStart, next);
            w->cancelButton->click();
        } else {
            w->close();
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(view->isMainEnabled() && bar.isEnabled());
        EXPECT_EQ(windows->runWindow(), nullptr);
    }
}
