// The dialog "初期設定実行" as a user meets it: opened from the menu as the
// view's hook, the fields checked when the focus leaves them, Enter and
// closing while waiting, and a picture of the waiting dialog.
#include "termlist/ui/ModalDriver.h"

#include "app/InitialSettingsWindow.h"
#include "comm/OpLog.h"
#include "comm/UpdateDecider.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "initsettings/ui/InitSettingsDialog.h"
#include "register/TermDatabase.h"
#include "termlist/ui/TerminalView.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace
{

struct DialogTest : ::testing::Test {
    TempDir dir;
    ScriptedPrompter prompts;
    CInitialSettingsTable table;
    std::unique_ptr<CTermDatabase> db;

    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        ProcessValues::startupAbort = 0;
        dir.mkdir("Log");
    }
    void TearDown() override { ProcessValues::operatorBusy = 0; }
    void openRegister(std::initializer_list<const char *> ids, const QString &startNo, int range)
    {
        db = std::make_unique<CTermDatabase>(dir.path());
        ASSERT_TRUE(db->startUp());
        std::vector<TermItem> items;
        for (const char *id : ids)
            items.push_back({0, id, 0});
        ASSERT_EQ(db->addTerminals(items), 0);
        ASSERT_EQ(db->writeInitInfo(InitInfo{0, startNo, range}), 0);
    }
    QString log() const
    {
        return Cp932::decode(dir.read("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()));
    }
    // Leaves a field the way a user does: type, then tab away.
    static void typeAndLeave(CInitSettingsDialog &d, QLineEdit *edit, const QString &text)
    {
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        (edit == d.startNoEdit ? static_cast<QWidget *>(d.rangeEdit) : d.startNoEdit)
            ->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(DialogTest, MenuOpensTheDialogAsTheViewsHook)
{
    {
        CTermDatabase seed(dir.path());
        ASSERT_TRUE(seed.startUp());
        ASSERT_EQ(seed.writeInitInfo(InitInfo{0, "8100", 10}), 0);
    }
    CTerminalView view;
    QMenuBar bar;
    view.buildMenus(&bar);
    view.initialUpdate();
    CAutoUpdateDecider decider;
    InitialSettingsWindow window(view, decider, table);
    QAction *item = view.action("actionInitialSettings");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(item->text(), "初期設定実行(&U)");

    bool seen = false;
    ModalDriver driver;
    driver.then<CInitSettingsDialog>([&](CInitSettingsDialog *d) {
        seen = view.initialSettingsMode() == d && !view.isMainEnabled();
        EXPECT_EQ(d->windowTitle(), "初期設定実行");
        EXPECT_EQ(d->startNoEdit->text(), "8100");
        EXPECT_EQ(d->rangeEdit->text(), "10");
        EXPECT_TRUE(d->executeButton->isEnabled());
        EXPECT_FALSE(d->endButton->isEnabled());
        // The communication side sees the dialog's waiting.
        EXPECT_FALSE(decider.initialSettingsMode());
        d->executeButton->click();
        EXPECT_TRUE(decider.initialSettingsMode());
        d->endButton->click();
        d->closeButton->click();
    });
    item->trigger();
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(seen);
    EXPECT_EQ(view.initialSettingsMode(), nullptr);
    EXPECT_TRUE(view.isMainEnabled());
}

TEST_F(DialogTest, FieldsAreCheckedWhenTheFocusLeavesThem)
{
    openRegister({"312340100", "312340105", "312340110"}, "500", 10);
    CInitSettingsDialog d(*db, table);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    EXPECT_EQ(d.countLabel->text(), "0件");

    typeAndLeave(d, d.startNoEdit, "00312340100");
    EXPECT_EQ(d.startNoEdit->text(), "312340100");
    EXPECT_EQ(d.idList->topLevelItemCount(), 2);
    EXPECT_EQ(d.idList->topLevelItem(0)->text(0), "312340105");
    EXPECT_EQ(d.countLabel->text(), "2件");

    typeAndLeave(d, d.rangeEdit, "1001");
    EXPECT_EQ(d.rangeEdit->text(), "10");
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.rangeEdit->hasFocus(); })) << "the focus returns";
    EXPECT_TRUE(prompts.records.isEmpty()) << "no message for a field check";

    // Enter does nothing: no default button takes it.
    QTest::keyClick(d.rangeEdit, Qt::Key_Return);
    QTest::keyClick(d.idList, Qt::Key_Enter);
    EXPECT_TRUE(d.isVisible());

    InitInfo stored;
    ASSERT_EQ(db->readInitInfo(stored), 0);
    EXPECT_EQ(std::pair(stored.StartNo, stored.SetRange), std::pair(QString("312340100"), 10));
}

TEST_F(DialogTest, WaitingDialogCantBeClosedUntilEnded)
{
    openRegister({"7000", "7002", "7004"}, "7000", 5);
    CInitSettingsDialog d(*db, table);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.executeButton->click();
    ASSERT_TRUE(d.running());
    EXPECT_EQ(table.freeCount(), 2);
    EXPECT_FALSE(d.closeButton->isEnabled() || d.executeButton->isEnabled() ||
                 d.startNoEdit->isEnabled() || d.rangeEdit->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.endButton->hasFocus(); }));

    QDir().mkpath("/tmp/shots/init");
    EXPECT_TRUE(d.grab().save("/tmp/shots/init/initsettings-waiting.png"));

    QTest::keyClick(&d, Qt::Key_Escape);
    d.close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(d.isVisible()) << "neither Escape nor the title bar closes it";

    d.endButton->click();
    EXPECT_FALSE(d.running());
    EXPECT_TRUE(log().contains("Ope22:初期設定終了"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.executeButton->hasFocus(); }));
    d.close();
    EXPECT_FALSE(d.isVisible());
}
