// The dialog "初期設定実行": fields checked on leaving, closing refused while waiting.
#include "common/ProcessValues.h"
#include "initsettings/ui/InitSettingsDialog.h"
#include "register/TermDatabase.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace
{

// Leaves a field the way a user does: type, then tab away.
void typeAndLeave(QLineEdit *edit, QWidget *next, const QString &text)
{
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    next->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}

} // namespace

TEST(DialogTest, FieldsAreCheckedOnLeavingAndTheWaitingDialogStaysOpen)
{
    TempDir dir;
    ScriptedPrompter prompts;
    CInitialSettingsTable table;
    ProcessValues::setProgramFolder(dir.path());
    ProcessValues::startupAbort = 0;
    dir.mkdir("Log");
    CTermDatabase db(dir.path());
    ASSERT_TRUE(db.startUp());
    std::vector<TermItem> ids{{0, "312340100", 0}, {0, "312340102", 0}, {0, "312340110", 0}};
    ASSERT_EQ(db.addTerminals(ids), 0);
    ASSERT_EQ(db.writeInitInfo(InitInfo{0, "500", 5}), 0);
    CInitSettingsDialog d(db, table);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    EXPECT_EQ(d.countLabel->text(), "0件");

    typeAndLeave(d.startNoEdit, d.rangeEdit, "00312340100");
    EXPECT_EQ(d.startNoEdit->text() + d.idList->topLevelItem(0)->text(0) + d.countLabel->text(),
              "312340100" "312340102" "2件");
    typeAndLeave(d.rangeEdit, d.startNoEdit, "1001");
    EXPECT_EQ(d.rangeEdit->text(), "5");
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.rangeEdit->hasFocus(); })) << "the focus returns";
    QTest::keyClick(d.rangeEdit, Qt::Key_Return); // no default button takes it
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(prompts.records.isEmpty());

    ProcessValues::operatorBusy = 1; // as the menu command keeps it
    d.executeButton->click();
    ASSERT_TRUE(d.running());
    EXPECT_EQ(table.freeCount(), 3);
    EXPECT_EQ(ProcessValues::operatorBusy.load(), 0u) << "new terminals would be told busy";
    EXPECT_FALSE(d.closeButton->isEnabled() || d.startNoEdit->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.endButton->hasFocus(); }));
    QTest::keyClick(&d, Qt::Key_Escape);
    d.close();
    EXPECT_TRUE(d.isVisible()) << "neither Escape nor the title bar closes it";

    d.endButton->click();
    EXPECT_TRUE(!d.running() && ProcessValues::operatorBusy.load() == 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.executeButton->hasFocus(); }));
    d.close();
    EXPECT_FALSE(d.isVisible());
    ProcessValues::operatorBusy = 0;
}
