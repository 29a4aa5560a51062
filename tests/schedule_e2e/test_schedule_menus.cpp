#include "termlist/ui/ModalDriver.h"

#include "app/ScheduleWindows.h"
#include "schedule/ScheduleTestData.h"
#include "schedule/ui/ScheduleListDialog.h"
#include "termlist/ui/TerminalView.h"

#include "termlist/TermListModel.h"
#include "termlist/ui/CondDialog.h"

#include <QAction>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The main window stays off while a schedule window is open. The execution
// window is modeless, so the list's headers stay clickable: sorting works, but
// its end must not give the menus back, nor may the schedule list open under it.
TEST(ScheduleMenus, WindowsKeepTheMainWindowOffUntilTheyClose)
{
    TempDir dir;
    ScriptedPrompter prompter;
    ProcessValues::setProgramFolder(dir.path());
    ProcessValues::startupAbort = 0;
    QMenuBar bar;
    auto view = std::make_unique<CTerminalView>();
    view->initialUpdate();
    view->buildMenus(&bar);
    ScheduleBook book;
    book.init(dir.path());
    ScheduleWindows windows(*view, nullptr, book);
    view->show();
    const QDateTime later = QDateTime::currentDateTime().addSecs(3600);
    ASSERT_TRUE(ScheduleFiles::writeSettings(book.at(1).settingsPath, appointedAt(later), {}));
    ASSERT_TRUE(ScheduleFiles::writeEnabled(book.at(1).settingsPath, true));

    bool listOpened = false;
    const auto openList = [&] {
        ModalDriver driver;
        driver.then<CScheduleListDialog>([&](CScheduleListDialog *d) {
            listOpened = true;
            EXPECT_FALSE(view->isMainEnabled());
            d->closeButton->click();
        });
        view->action("actionScheduleSettings")->trigger();
        QTest::qWait(50);
    };
    openList();
    EXPECT_TRUE(listOpened && view->isMainEnabled());

    view->action("actionScheduleRun")->trigger();
    CScheduleRunWindow *w = windows.runWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(view->isMainEnabled());
    const QDateTime next = book.at(1).nextStart;
    ModalDriver driver;
    driver.then<CCondDialog>([](CCondDialog *d) { d->ascendingButton->click(); });
    QHeaderView *h = view->horizontalHeader();
    const int s = view->listModel()->sectionOf(ViewColumn::TermID);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(s) + 4, h->height() / 2));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return driver.done() && !QApplication::activeModalWidget(); }));
    QTest::qWait(20);
    EXPECT_EQ(view->listCondition().SortDirect, 2) << "the list stays sortable";
    EXPECT_FALSE(bar.isEnabled() || view->isMainEnabled());
    listOpened = false;
    openList();
    EXPECT_FALSE(listOpened);
    EXPECT_EQ(book.at(1).nextStart, next);
    w->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->isMainEnabled() && bar.isEnabled());
    EXPECT_EQ(windows.runWindow(), nullptr);
}
