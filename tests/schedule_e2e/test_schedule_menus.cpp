// The schedule menu items of the terminal list view: the execution window
// gets the completions and refusals the view receives, the main window stays
// disabled while a schedule window is open, and comes back when it closes.
#include "termlist/ui/ModalDriver.h"

#include "app/ScheduleWindows.h"
#include "comm/CommPayloads.h"
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

namespace
{

struct Manager : MessageReceiver {
    Manager() : MessageReceiver(ProcessValues::CommThreadId) {}
    std::vector<std::unique_ptr<TaskMessage>> got;
    void onMessage(std::uint32_t, quintptr, std::unique_ptr<Payload> p) override
    {
        if (auto *t = dynamic_cast<TaskMessage *>(p.get())) {
            p.release();
            got.emplace_back(t);
        }
    }
};

void pump()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

TEST(ScheduleMenus, ViewHandsCompletionsAndRefusalsToTheOpenExecutionWindow)
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
                                             appointedAt(QDateTime::currentDateTime()),
                                             {{"1001", "127.0.0.2", "m", "KT-100"}}));
    ASSERT_TRUE(ScheduleFiles::writeEnabled(book.at(1).settingsPath, true));
    Manager manager;

    QAction *settings = view.action("actionScheduleSettings");
    QAction *run = view.action("actionScheduleRun");
    ASSERT_TRUE(settings && run);
    EXPECT_TRUE(settings->isEnabled() && run->isEnabled());

    ModalDriver driver;
    driver.then<CScheduleListDialog>([](CScheduleListDialog *d) {
        EXPECT_EQ(d->groups[0].edit->text(), QStringLiteral("変更"));
        d->closeButton->click();
    });
    settings->trigger();
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(view.isMainEnabled());

    const auto completeThroughView = [&](int kind, int endFlag) {
        ASSERT_FALSE(manager.got.empty());
        auto m = std::move(manager.got.back());
        manager.got.pop_back();
        m->kind = kind;
        RequestOf(*m)->endFlag = endFlag;
        if (endFlag)
            RequestOf(*m)->entries[0].result = ResultCode::Success;
        PostToThread(ProcessValues::MainThreadId, Msg::Task, 0, std::move(m));
        pump();
    };

    run->trigger();
    CScheduleRunWindow *w = windows.runWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(view.isMainEnabled());
    w->runner().tick();
    pump();
    ASSERT_TRUE(w->runner().running());
    completeThroughView(CompletionKind::ScheduleRestart, 1);
    EXPECT_FALSE(w->runner().running());
    EXPECT_EQ(book.at(1).result.SuccessTermNum, 1);

    w->cancelButton->click();
    pump();
    EXPECT_TRUE(view.isMainEnabled());
    EXPECT_EQ(windows.runWindow(), nullptr);

    // Opened again, the appointed schedule runs again; the manager refuses it.
    run->trigger();
    w = windows.runWindow();
    ASSERT_NE(w, nullptr);
    w->runner().tick();
    pump();
    ASSERT_TRUE(w->runner().running());
    completeThroughView(TaskKind::RequestEnded, 0);
    EXPECT_FALSE(w->runner().running());
    EXPECT_EQ(book.at(1).result.CancelTermCount, 1);
    w->close();
    pump();
    EXPECT_TRUE(view.isMainEnabled());
}
