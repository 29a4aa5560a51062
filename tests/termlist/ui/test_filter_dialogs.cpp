// The column filter dialogs and the dialogs around the list, driven through
// their controls, with the message boxes answered by a ScriptedPrompter.
#include "ModalDriver.h"

#include "support/ScriptedPrompter.h"
#include "termlist/ui/FilterDialogs.h"
#include "termlist/ui/ProgressDialog.h"
#include "termlist/ui/SystemSettingsDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace ListFilter;

namespace
{

// Shows the dialog and waits until it is active, so that focus moves are real.
void showActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

template <typename Dialog> std::unique_ptr<Dialog> openDialog(int column, const ListCondInfo &cond)
{
    std::unique_ptr<CFilterDialogBase> base = createFilterDialog(column, cond, nullptr);
    auto *typed = dynamic_cast<Dialog *>(base.get());
    EXPECT_NE(typed, nullptr);
    base.release();
    return std::unique_ptr<Dialog>(typed);
}

} // namespace

TEST(FilterDialogs, TextDialogOpensRefusesWithFocusAndHandsBack)
{
    ListCondInfo cond;
    cond.FInfoIPAddr1 = "192.168.001.*", cond.FCndIPAddr1 = 3;
    cond.FInfoIPAddr2 = "192.168.001.010", cond.FCndIPAddr2 = 6;
    // Reopened and confirmed unchanged, a filter keeps both clauses, either join.
    for (int join : {JoinCode::Or, JoinCode::And}) {
        cond.FJoinIPAddr = join;
        auto dlg = openDialog<CFilterTextDialog>(ListColumn::IPAddr, cond);
        EXPECT_EQ(dlg->joinButtons.orButton->isChecked(), join == JoinCode::Or);
        dlg->okButton()->click();
        ListCondInfo after;
        dlg->storeInto(after);
        EXPECT_EQ(after, cond) << join;
    }
    cond.FInfoTermID1 = "untouched";
    auto dlg = openDialog<CFilterTextDialog>(ListColumn::IPAddr, cond);
    EXPECT_EQ(std::tuple(dlg->valueEdit1->text(), dlg->condCombo1->currentIndex(),
                         dlg->condCombo2->currentIndex()),
              std::tuple(QString("192.168.001.*"), 2, 5));

    ScriptedPrompter prompts;
    showActive(dlg.get());
    dlg->condCombo1->setCurrentIndex(0); // ＜ with a wildcard
    dlg->okButton()->click();
    ASSERT_EQ(prompts.records.size(), 1);
    EXPECT_TRUE(prompts.records[0].type == 0x30u && dlg->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dlg->valueEdit1);
    EXPECT_EQ(dlg->filter(), TextFilter{});

    // First clause fixed, second one refused: focus on the second edit.
    dlg->condCombo1->setCurrentIndex(2);
    dlg->joinButtons.orButton->click();
    dlg->valueEdit2->setText("192-168");
    dlg->okButton()->click();
    ASSERT_EQ(prompts.records.size(), 2);
    EXPECT_TRUE(QApplication::focusWidget() == dlg->valueEdit2 && dlg->isVisible());

    dlg->valueEdit2->setText("10.*");
    dlg->okButton()->click();
    EXPECT_TRUE(prompts.records.size() == 2 && dlg->result() == QDialog::Accepted);
    dlg->storeInto(cond);
    EXPECT_EQ(std::tuple(cond.FInfoIPAddr1, cond.FInfoIPAddr2, cond.FInfoTermID1, cond.FJoinIPAddr,
                         cond.FCndIPAddr2),
              std::tuple(QString("192.168.001.*"), QString("010.*"), QString("untouched"), 1, 6));
}

// Opened from a stored filter: split into numbers; each refusal puts the
// focus on its field; stored at midnight.
TEST(FilterDialogs, DateDialogRefusesWithFocusAndStoresMidnight)
{
    ScriptedPrompter prompts;
    ListCondInfo cond;
    cond.FInfoResultDt1 = QDateTime(QDate(2016, 2, 9), QTime(13, 45));
    cond.FInfoResultDt2 = QDateTime(QDate(2016, 12, 31), QTime(0, 0));
    cond.FCndResultDt1 = cond.FJoinResultDt = 2, cond.FCndResultDt2 = 5;
    auto dlg = openDialog<CFilterDateDialog>(ListColumn::ResultDate, cond);
    EXPECT_EQ(QStringList({dlg->first.year->text(), dlg->first.month->text(), dlg->first.day->text()}),
              QStringList({"2016", "2", "9"}));
    showActive(dlg.get());
    dlg->first.year->setText("0999");
    dlg->okButton()->click();
    EXPECT_EQ(QApplication::focusWidget(), dlg->first.year);
    dlg->first.year->setText("2016");
    dlg->second.month->setText("02");
    dlg->second.day->setText("30");
    dlg->okButton()->click();
    EXPECT_EQ(QApplication::focusWidget(), dlg->second.day);
    EXPECT_TRUE(dlg->isVisible());
    dlg->second.day->setText("29");
    dlg->okButton()->click();
    EXPECT_EQ(std::tuple(dlg->result(), prompts.records.size()), std::tuple(int(QDialog::Accepted), 2));
    dlg->storeInto(cond);
    EXPECT_EQ(std::tuple(cond.FInfoResultDt1, cond.FInfoResultDt2, cond.FJoinResultDt,
                         cond.FCndResultDt2),
              std::tuple(QDateTime(QDate(2016, 2, 9), QTime(0, 0)),
                         QDateTime(QDate(2016, 2, 29), QTime(0, 0)), 2, 5));
}

// The release ends with OK whatever the controls hold; dates stay, only the
// codes go, and other columns keep their filters.
TEST(FilterDialogs, ReleaseEmptiesTheColumnFilterAndEndsWithOk)
{
    const QDateTime d(QDate(2016, 2, 29), QTime(0, 0));
    ListCondInfo cond;
    cond.FInfoTermID1 = cond.FInfoTermID2 = "12*";
    cond.FCndTermID1 = cond.FCndTermID2 = cond.FJoinTermID = 1;
    cond.FInfoEntryDt1 = d, cond.FCndEntryDt1 = 2;
    cond.FCndAlert = cond.FInfoResult = cond.FCndResult = cond.FCndSipEntry = 2;
    for (int column : {ListColumn::TermID, ListColumn::EntryDate, ListColumn::Result}) {
        auto dlg = createFilterDialog(column, cond, nullptr);
        for (QLineEdit *e : dlg->findChildren<QLineEdit *>())
            e->setText("9-9");
        dlg->releaseButton()->click();
        EXPECT_EQ(dlg->result(), QDialog::Accepted) << column;
        dlg->storeInto(cond);
    }
    EXPECT_EQ(cond.FInfoTermID1 + cond.FInfoTermID2, "");
    EXPECT_EQ(cond.FCndTermID1 + cond.FCndTermID2 + cond.FJoinTermID + cond.FCndEntryDt1 +
                  cond.FInfoResult + cond.FCndResult, 0);
    EXPECT_EQ(std::tuple(cond.FInfoEntryDt1, cond.FCndSipEntry, cond.FCndAlert), std::tuple(d, 2, 2));
}

TEST(FilterDialogs, CodePairDialogsNeedBothCombos)
{
    ListCondInfo cond;
    // Result: the kinds in operation-kind order, both combos needed.
    cond.FInfoResult = 5, cond.FCndResult = 2;
    auto result = openDialog<CFilterCodePairDialog>(ListColumn::Result, cond);
    EXPECT_EQ(result->infoCombo->currentIndex(), 4);
    ASSERT_EQ(result->infoCombo->count(), 20);
    result->infoCombo->setCurrentIndex(19);
    result->condCombo->setCurrentIndex(0);
    result->okButton()->click();
    result->storeInto(cond);
    EXPECT_EQ(std::tuple(cond.FInfoResult, cond.FCndResult), std::tuple(20, 1));

    // One alert code stored: neither combo chosen; one combo alone changes nothing.
    cond.FInfoAlert = 2;
    auto alert = openDialog<CFilterCodePairDialog>(ListColumn::Alert, cond);
    EXPECT_EQ(alert->infoCombo->currentIndex(), -1);
    alert->condCombo->setCurrentIndex(0);
    alert->okButton()->click();
    alert->storeInto(cond);
    EXPECT_EQ(std::tuple(cond.FInfoAlert, cond.FCndAlert), std::tuple(2, 0));
}

TEST(DialogsTest, RefusalsKeepTheDialogOpenWithFocusOnTheWrongField)
{
    ScriptedPrompter prompter;
    SystemSettings s;
    s.UDPPort = 4000, s.EditerPath = "/usr/bin/editor";
    CSystemSettingsDialog sys(s);
    sys.show();
    QApplication::setActiveWindow(&sys);
    EXPECT_EQ(sys.historyEdit->text(), "50") << "a register without the setting";
    sys.historyEdit->setText("0");
    sys.onOk();
    EXPECT_TRUE(sys.historyEdit->hasFocus());
    sys.historyEdit->setText("999"), sys.passiveButton->setChecked(true);
    sys.onOk();
    ASSERT_EQ(sys.result(), QDialog::Accepted);
    EXPECT_EQ(std::tuple(sys.settings().FTPMode, sys.settings().HistoryKeep, sys.settings().EditerPath),
              std::tuple(1, 999, QString("/usr/bin/editor")));
    EXPECT_EQ(prompter.records.size(), 1);
}

TEST(DialogsTest, ProgressWindowStopsOnce)
{
    EXPECT_FALSE(CProgressDialog(11).stopButton->isEnabled()); // adding can't be stopped
    CProgressDialog info(0);
    QSignalSpy stop(&info, &CProgressDialog::stopRequested);
    info.stopButton->click();
    EXPECT_TRUE(stop.count() == 1 && !info.stopButton->isEnabled());
}
