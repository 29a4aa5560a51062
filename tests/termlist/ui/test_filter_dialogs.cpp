// The column filter dialogs and the display condition dialog, driven through
// their controls with the message boxes answered by a ScriptedPrompter.
#include "support/ScriptedPrompter.h"
#include "termlist/ui/CondDialog.h"
#include "termlist/ui/FilterDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace ListFilter;

namespace
{

const QString inputError = QStringLiteral("入力エラー");

// Runs `act` on the modal dialog once the modal loop has started.
void whenModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

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

TEST(FilterDialogs, FamilyCaptionsLimitsAndButtons)
{
    struct Row {
        int column;
        const char *caption;
        QList<int> editLimits; // maxLength of every line edit, in creation order
        bool release;
    };
    const Row rows[] = {
        {1, "端末ＩＤフィルタ設定", {64, 64}, true},
        {2, "ＩＰアドレスフィルタ設定", {15, 15}, true},
        {10, "MACアドレスフィルタ設定", {17, 17}, true},
        {9, "ｱﾌﾟﾘｹｰｼｮﾝﾌﾟﾛｸﾞﾗﾑﾊﾞｰｼﾞｮﾝﾌｨﾙﾀ設定", {10, 10}, true},
        {8, "ブートプログラムバージョンフィルタ設定", {10, 10}, true},
        {13, "管理ＰＣ登録日付フィルタ設定", {4, 2, 2, 4, 2, 2}, true},
        {16, "処理結果日付フィルタ設定", {4, 2, 2, 4, 2, 2}, true},
        {5, "ベンダ情報フィルタ設定", {20}, true},
        {6, "機器名称フィルタ設定", {20}, true},
        {15, "アラート情報フィルタ設定", {}, true},
        {3, "処理結果フィルタ設定", {}, true},
        {4, "端末登録種別フィルタ設定", {}, false},
        {12, "ＳＩＰサーバ登録状態フィルタ設定", {}, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.column);
        auto dlg = createFilterDialog(r.column, ListCondInfo{}, nullptr);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8(r.caption));
        QList<int> limits;
        for (const QLineEdit *e : dlg->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
            limits << e->maxLength();
        EXPECT_EQ(limits, r.editLimits);
        EXPECT_EQ(dlg->okButton()->text(), "OK");
        EXPECT_EQ(dlg->cancelButton()->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        ASSERT_EQ(dlg->releaseButton() != nullptr, r.release);
        if (r.release) {
            EXPECT_EQ(dlg->releaseButton()->text(), QStringLiteral("解除"));
        }
    }
    for (int column : {7, 11, 14})
        EXPECT_EQ(createFilterDialog(column, ListCondInfo{}, nullptr), nullptr);
}

TEST(FilterDialogs, TextDialogOpensRefusesWithFocusAndHandsBack)
{
    ListCondInfo cond;
    cond.FInfoIPAddr1 = "192.168.001.*";
    cond.FCndIPAddr1 = 3;
    cond.FJoinIPAddr = 2;
    cond.FInfoIPAddr2 = "192.168.001.010";
    cond.FCndIPAddr2 = 6;
    cond.FInfoTermID1 = "untouched";
    auto dlg = openDialog<CFilterTextDialog>(ListColumn::IPAddr, cond);
    EXPECT_EQ(dlg->valueEdit1->text(), "192.168.001.*");
    EXPECT_EQ(dlg->condCombo1->currentIndex(), 2);
    EXPECT_TRUE(dlg->joinButtons.andButton->isChecked());
    EXPECT_EQ(dlg->valueEdit2->text(), "192.168.001.010");
    EXPECT_EQ(dlg->condCombo2->currentIndex(), 5);

    ScriptedPrompter prompts;
    showActive(dlg.get());
    dlg->condCombo1->setCurrentIndex(0); // ＜ with a wildcard
    dlg->okButton()->click();
    ASSERT_EQ(prompts.records.size(), 1);
    EXPECT_EQ(prompts.records[0].text,
              QStringLiteral("IPアドレス指定に *(ワイルドカード)を使用する場合、条件は ＝(と同じ)か"
                             "、≠(と違う)のどちらかを指定してください。"));
    EXPECT_EQ(prompts.records[0].caption, inputError);
    EXPECT_EQ(prompts.records[0].type, 0x30u);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dlg->valueEdit1);
    EXPECT_EQ(dlg->filter(), TextFilter{});

    // First clause fixed, second one refused: focus on the second edit.
    dlg->condCombo1->setCurrentIndex(2);
    dlg->joinButtons.orButton->click();
    dlg->valueEdit2->setText("192-168");
    dlg->okButton()->click();
    ASSERT_EQ(prompts.records.size(), 2);
    EXPECT_TRUE(prompts.records[1].text.startsWith(QStringLiteral("IPアドレスは . で区切った")));
    EXPECT_EQ(QApplication::focusWidget(), dlg->valueEdit2);
    EXPECT_TRUE(dlg->isVisible());

    dlg->valueEdit2->setText("10.*");
    dlg->okButton()->click();
    EXPECT_EQ(prompts.records.size(), 2);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    dlg->storeInto(cond);
    EXPECT_EQ(cond.FInfoIPAddr1, "192.168.001.*");
    EXPECT_EQ(cond.FJoinIPAddr, 1);
    EXPECT_EQ(cond.FInfoIPAddr2, "10.*");
    EXPECT_EQ(cond.FCndIPAddr2, 6);
    EXPECT_EQ(cond.FInfoTermID1, "untouched");
}

TEST(FilterDialogs, DateDialogChecksYearMonthDayAndCalendar)
{
    struct Case {
        const char *y, *m, *d;
        const char *message; // nullptr: accepted
        int field;           // 0 year, 1 month, 2 day
    };
    const Case cases[] = {
        {"2016", "2", "29", nullptr, 0},
        {"2016", "2", "30", "日付が不正です。正しい日付を入力してください。", 2},
        {"0999", "1", "1", "年は西暦を半角数字４桁で1900以上の数値で入力してください。", 0},
        {"2016", "13", "1", "月は半角数字２桁以内で１～１２の範囲で入力してください。", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.y) + "/" + c.m + "/" + c.d);
        ScriptedPrompter prompts;
        CFilterDateDialog dlg(ListColumn::EntryDate);
        showActive(&dlg);
        dlg.first.year->setText(c.y);
        dlg.first.month->setText(c.m);
        dlg.first.day->setText(c.d);
        dlg.first.cond->setCurrentIndex(3);
        dlg.okButton()->click();
        if (!c.message) {
            EXPECT_TRUE(prompts.records.isEmpty());
            EXPECT_EQ(dlg.result(), QDialog::Accepted);
            EXPECT_EQ(dlg.filter().date1, QDateTime(QDate(2016, 2, 29), QTime(0, 0)));
            EXPECT_EQ(dlg.filter().cnd1, 4);
            continue;
        }
        ASSERT_EQ(prompts.records.size(), 1);
        EXPECT_EQ(prompts.records[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(prompts.records[0].caption, inputError);
        EXPECT_EQ(prompts.records[0].type, 0x30u);
        EXPECT_TRUE(dlg.isVisible());
        const QLineEdit *fields[] = {dlg.first.year, dlg.first.month, dlg.first.day};
        EXPECT_EQ(QApplication::focusWidget(), fields[c.field]);
    }

    // Opened from a stored filter: split into numbers; a bad second date
    // puts the focus on the second day.
    ListCondInfo cond;
    cond.FInfoResultDt1 = QDateTime(QDate(2016, 2, 9), QTime(13, 45));
    cond.FCndResultDt1 = 2;
    cond.FJoinResultDt = 2;
    cond.FInfoResultDt2 = QDateTime(QDate(2016, 12, 31), QTime(0, 0));
    cond.FCndResultDt2 = 5;
    auto dlg = openDialog<CFilterDateDialog>(ListColumn::ResultDate, cond);
    EXPECT_EQ(
        QStringList({dlg->first.year->text(), dlg->first.month->text(), dlg->first.day->text()}),
        QStringList({"2016", "2", "9"}));
    EXPECT_TRUE(dlg->joinButtons.andButton->isChecked());
    ScriptedPrompter prompts;
    showActive(dlg.get());
    dlg->second.month->setText("02");
    dlg->second.day->setText("30");
    dlg->okButton()->click();
    ASSERT_EQ(prompts.records.size(), 1);
    EXPECT_EQ(QApplication::focusWidget(), dlg->second.day);
    dlg->second.day->setText("28");
    dlg->okButton()->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    dlg->storeInto(cond);
    // Stored at midnight: the time of the old value is gone.
    EXPECT_EQ(cond.FInfoResultDt1, QDateTime(QDate(2016, 2, 9), QTime(0, 0)));
    EXPECT_EQ(cond.FInfoResultDt2, QDateTime(QDate(2016, 2, 28), QTime(0, 0)));
    EXPECT_EQ(cond.FCndResultDt2, 5);
}

TEST(FilterDialogs, ReleaseEmptiesTheColumnFilterAndEndsWithOk)
{
    const QDateTime d(QDate(2016, 2, 29), QTime(0, 0));
    ListCondInfo cond;
    cond.FInfoTermID1 = cond.FInfoTermID2 = "12*";
    cond.FCndTermID1 = cond.FCndTermID2 = cond.FJoinTermID = 1;
    cond.FInfoEntryDt1 = cond.FInfoEntryDt2 = d;
    cond.FCndEntryDt1 = cond.FCndEntryDt2 = cond.FJoinEntryDt = 2;
    cond.FInfoVendor = "ab*";
    cond.FCndVendor = cond.FInfoAlert = cond.FCndAlert = cond.FCndResult = 2;
    cond.FInfoResult = 20;
    cond.FCndSipEntry = 2;
    for (int column : {ListColumn::TermID, ListColumn::EntryDate, ListColumn::Vendor,
                       ListColumn::Alert, ListColumn::Result}) {
        SCOPED_TRACE(column);
        auto dlg = createFilterDialog(column, cond, nullptr);
        for (QLineEdit *e : dlg->findChildren<QLineEdit *>())
            e->setText("9-9"); // the controls don't matter to the release
        dlg->releaseButton()->click();
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
        dlg->storeInto(cond);
    }
    EXPECT_TRUE(cond.FInfoTermID1.isEmpty() && cond.FInfoTermID2.isEmpty());
    EXPECT_EQ(cond.FCndTermID1 + cond.FCndTermID2 + cond.FJoinTermID, 0);
    // The dates stay, only the codes go.
    EXPECT_EQ(cond.FInfoEntryDt1, d);
    EXPECT_EQ(cond.FInfoEntryDt2, d);
    EXPECT_EQ(cond.FCndEntryDt1 + cond.FCndEntryDt2 + cond.FJoinEntryDt, 0);
    EXPECT_TRUE(cond.FInfoVendor.isEmpty());
    EXPECT_EQ(cond.FCndVendor + cond.FInfoAlert + cond.FCndAlert, 0);
    EXPECT_EQ(cond.FInfoResult + cond.FCndResult, 0);
    EXPECT_EQ(cond.FCndSipEntry, 2);
}

TEST(FilterDialogs, OneValueCodePairAndRadioDialogs)
{
    ListCondInfo cond;
    cond.FInfoMachin = "old";

    // Text typed but no condition chosen: nothing changes.
    auto name = openDialog<CFilterValueDialog>(ListColumn::MachineName, cond);
    EXPECT_TRUE(name->valueEdit->text().isEmpty());
    name->valueEdit->setText("IP-Phone*");
    name->okButton()->click();
    EXPECT_EQ(name->result(), QDialog::Accepted);
    ListCondInfo after = cond;
    name->storeInto(after);
    EXPECT_EQ(after, cond);
    name->condCombo->setCurrentIndex(1);
    name->okButton()->click();
    name->storeInto(cond);
    EXPECT_EQ(cond.FInfoMachin, "IP-Phone*");
    EXPECT_EQ(cond.FCndMachin, 2);

    // Result: the kinds in operation-kind order, both combos needed.
    cond.FInfoResult = 5;
    cond.FCndResult = 2;
    auto result = openDialog<CFilterCodePairDialog>(ListColumn::Result, cond);
    EXPECT_EQ(result->infoCombo->currentIndex(), 4);
    EXPECT_EQ(result->condCombo->currentIndex(), 1);
    ASSERT_EQ(result->infoCombo->count(), 20);
    EXPECT_EQ(result->infoCombo->itemText(12), QStringLiteral(" 端末情報取得中"));
    result->infoCombo->setCurrentIndex(19);
    result->condCombo->setCurrentIndex(0);
    result->okButton()->click();
    result->storeInto(cond);
    EXPECT_EQ(cond.FInfoResult, 20);
    EXPECT_EQ(cond.FCndResult, 1);

    // Alert with only one code stored opens with neither combo chosen, and
    // one combo alone changes nothing.
    cond.FInfoAlert = 2;
    auto alert = openDialog<CFilterCodePairDialog>(ListColumn::Alert, cond);
    EXPECT_EQ(alert->infoCombo->currentIndex(), -1);
    alert->condCombo->setCurrentIndex(0);
    alert->okButton()->click();
    alert->storeInto(cond);
    EXPECT_EQ(cond.FInfoAlert, 2);
    EXPECT_EQ(cond.FCndAlert, 0);

    // Radio buttons: the checked one gives the code, none checked gives 0.
    cond.FCndSipEntry = 3;
    auto sip = openDialog<CFilterRadioDialog>(ListColumn::SipEntry, cond);
    EXPECT_EQ(sip->radioButtons[2]->text(), QStringLiteral("登録済(セカンダリ)だけ表示"));
    EXPECT_TRUE(sip->radioButtons[2]->isChecked());
    sip->radioButtons[3]->click();
    sip->okButton()->click();
    sip->storeInto(cond);
    EXPECT_EQ(cond.FCndSipEntry, 4);
    cond.FCndTermEntry = 7;
    auto kind = openDialog<CFilterRadioDialog>(ListColumn::EntryKind, cond);
    for (const QRadioButton *b : kind->radioButtons)
        EXPECT_FALSE(b->isChecked());
    kind->okButton()->click();
    kind->storeInto(cond);
    EXPECT_EQ(cond.FCndTermEntry, 0);
    kind->setCode(0);
    EXPECT_EQ(kind->radioButtons[2]->text(), QStringLiteral("両方表示"));
    EXPECT_TRUE(kind->radioButtons[2]->isChecked());
}

TEST(FilterDialogs, RunFilterDialogCopiesBackOnlyOnOk)
{
    ScriptedPrompter prompts;
    ListCondInfo cond;
    cond.FInfoTermID1 = "5";
    cond.FCndTermID1 = 3;
    const ListCondInfo before = cond;
    const auto edit = [](const char *text, bool ok) {
        whenModal([=](QWidget *w) {
            auto *dlg = qobject_cast<CFilterTextDialog *>(w);
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(dlg->valueEdit1->text(), "5");
            dlg->valueEdit1->setText(text);
            dlg->condCombo1->setCurrentIndex(5);
            (ok ? dlg->okButton() : dlg->cancelButton())->click();
        });
    };
    edit("7", false);
    EXPECT_FALSE(runFilterDialog(ListColumn::TermID, cond, nullptr));
    EXPECT_EQ(cond, before);
    whenModal([](QWidget *w) { w->close(); });
    EXPECT_FALSE(runFilterDialog(ListColumn::TermID, cond, nullptr));
    EXPECT_EQ(cond, before);
    edit("7*", true);
    EXPECT_TRUE(runFilterDialog(ListColumn::TermID, cond, nullptr));
    EXPECT_EQ(cond.FInfoTermID1, "7*");
    EXPECT_EQ(cond.FCndTermID1, 6);
    EXPECT_TRUE(prompts.records.isEmpty());
    EXPECT_FALSE(runFilterDialog(7, cond, nullptr)); // no filter on that column
}

TEST(CondDialog, ModeEnablesButtonsAndEachButtonGivesItsChoice)
{
    for (const auto &[mode, sort, filter] :
         {std::tuple{1, false, true}, std::tuple{3, true, true}, std::tuple{2, true, false}}) {
        SCOPED_TRACE(mode);
        CCondDialog dlg(mode);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("表示条件設定"));
        EXPECT_EQ(dlg.descendingButton->isEnabled(), sort);
        EXPECT_EQ(dlg.ascendingButton->isEnabled(), sort);
        EXPECT_EQ(dlg.filterButton->isEnabled(), filter);
    }

    using Act = std::function<void(CCondDialog *)>;
    const std::pair<Act, int> runs[] = {
        {[](CCondDialog *d) { d->descendingButton->click(); }, CondChoice::Descending},
        {[](CCondDialog *d) { d->ascendingButton->click(); }, CondChoice::Ascending},
        {[](CCondDialog *d) { d->filterButton->click(); }, CondChoice::Filter},
        {[](CCondDialog *d) { d->close(); }, CondChoice::Cancel},
        {[](CCondDialog *d) { QTest::keyClick(d, Qt::Key_Escape); }, CondChoice::Cancel},
    };
    for (const auto &[act, expected] : runs) {
        SCOPED_TRACE(expected);
        whenModal([&act](QWidget *w) { act(qobject_cast<CCondDialog *>(w)); });
        EXPECT_EQ(runDisplayConditionDialog(3, nullptr), expected);
    }

    // Filter-only mode: a disabled sort button and Enter choose nothing.
    whenModal([](QWidget *w) {
        auto *dlg = qobject_cast<CCondDialog *>(w);
        dlg->descendingButton->click();
        QTest::keyClick(dlg, Qt::Key_Return);
        if (dlg->isVisible())
            dlg->reject();
    });
    EXPECT_EQ(runDisplayConditionDialog(1, nullptr), CondChoice::Cancel);
}
