// The schedule dialogs and the execution window, driven like a user would.
#include "termlist/ui/ModalDriver.h"

#include "comm/CommPayloads.h"
#include "schedule/ui/ScheduleDetailDialog.h"
#include "schedule/ui/ScheduleListDialog.h"
#include "schedule/ui/ScheduleRunWindow.h"
#include "termlist/ui/TermIdInputDialog.h"

#include "schedule/ScheduleTestData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTableWidget>

using namespace Schedule;

namespace
{

// Stands in for the communication manager: keeps what the window posts.
struct Manager : MessageReceiver {
    Manager() : MessageReceiver(ProcessValues::CommThreadId) {}
    std::vector<std::unique_ptr<TaskMessage>> got;
    void onMessage(std::uint32_t, quintptr, std::unique_ptr<Payload> p) override
    {
        if (dynamic_cast<TaskMessage *>(p.get()))
            got.emplace_back(static_cast<TaskMessage *>(p.release()));
    }
};

void pump() { QTest::qWait(5); }

class ScheduleUiTest : public ScheduleWorld
{
protected:
    // Fills the appointed fields and presses "設定"; answers the code shown (0: none).
    int saveAppointed(CScheduleDetailDialog &d, const char *y, const char *m, const char *day)
    {
        d.timingButtons[0]->setChecked(true);
        d.yearEdit->setText(y);
        d.monthEdit->setText(m);
        d.dayEdit->setText(day);
        d.hourEdit->setText("3");
        d.minuteEdit->setText("0");
        return press(d);
    }
    int press(CScheduleDetailDialog &d)
    {
        const qsizetype before = prompter.records.size();
        d.onSave();
        if (prompter.records.size() == before)
            return 0;
        const QString text = prompter.records.back().text;
        for (int code : {1, 2, 6, 12, 13, 14, 20, 21})
            if (text == formErrorText(code))
                return code;
        if (text.contains(QStringLiteral("スケジュール設定ファイルに保存できない")))
            return FormError::FileName;
        return -1;
    }
};

} // namespace

TEST_F(ScheduleUiTest, DetailDialogRefusesWithTheCodeOfTheFieldAndSavesWhatPasses)
{
    ScheduleSettings chained;
    chained.OperatTiming = Timing::AfterOther;
    chained.OtherSchedule = 3;
    chained.WaitTime = 5;
    save(1, chained);
    ScheduleSettings weekly;
    weekly.OperatTiming = Timing::Weekly;
    weekly.EveryWeekCheck = {0, 1, 0, 0, 0, 0, 1};
    save(3, weekly);
    book.loadAll();
    {
        CScheduleDetailDialog shown(book, 3, reg);
        for (int day = 0; day < 7; ++day)
            EXPECT_EQ(shown.weekdayBoxes[day]->isChecked(), day == 1 || day == 6) << day;
    }

    CScheduleDetailDialog d(book, 2, reg);
    d.show();
    QApplication::setActiveWindow(&d);
    EXPECT_EQ(d.otherCombo->findData(2), -1) << "the schedule itself is not offered";

    EXPECT_EQ(saveAppointed(d, "2015", "2", "29"), FormError::Date);
    EXPECT_TRUE(d.monthEdit->hasFocus());
    EXPECT_EQ(saveAppointed(d, "1899", "1", "1"), FormError::Year);

    d.timingButtons[1]->setChecked(true);
    d.weekHourEdit->setText("9");
    d.weekMinuteEdit->setText("0");
    EXPECT_EQ(press(d), FormError::Weekday);
    d.weekdayBoxes[1]->setChecked(true);
    d.beginCombo->setCurrentIndex(Begin::WithinPermitted);
    d.permEdit->setText("241");
    EXPECT_EQ(press(d), FormError::PermTime);
    d.timingButtons[2]->setChecked(true);
    d.monthDayEdit->setText("31");
    d.monthHourEdit->setText("0");
    d.monthMinuteEdit->setText("0");
    EXPECT_EQ(press(d), FormError::PermTime) << "hour 0 of a monthly schedule passes";

    d.timingButtons[3]->setChecked(true);
    d.otherCombo->setCurrentIndex(d.otherCombo->findData(3));
    d.waitEdit->setText("5");
    EXPECT_EQ(press(d), FormError::OtherTaken) << "schedule 1 follows 3 already";
    d.otherCombo->setCurrentIndex(d.otherCombo->findData(4));
    d.waitEdit->setText("11");
    EXPECT_EQ(press(d), FormError::WaitTime) << "perm time is not checked after another";

    // Adding targets: bad characters, unknown ID, then a known one.
    ModalDriver driver;
    for (const char *id : {"10 01", "1001", "3001"})
        driver.then<CTermIdInputDialog>([id](CTermIdInputDialog *t) {
            t->idEdit->setText(id);
            t->accept();
        });
    d.onAddTarget();
    EXPECT_EQ(prompter.records.back().text, formErrorText(FormError::TermIdChars));
    d.onAddTarget();
    EXPECT_EQ(prompter.records.back().text, formErrorText(FormError::UnknownTerminal));
    EXPECT_EQ(d.targetList->rowCount(), 0);
    d.onAddTarget();
    EXPECT_EQ(d.targetList->item(0, 1)->text(), "127.000.091.002");

    // 2016-02-29 passes; the result goes back to "not run since the change".
    ScheduleResult old;
    old.Status = 1;
    old.SuccessTermNum = 4;
    old.BeginDate = "2016/01/01 00:00";
    ASSERT_TRUE(ScheduleFiles::writeResult(book.at(2).resultPath, old));
    d.processButtons[Process::SettingsRead]->click();
    d.sysRead->setChecked(true);
    EXPECT_EQ(saveAppointed(d, "2016", "2", "29"), FormError::PermTime) << "late start still 241";
    d.permEdit->setText("30");
    EXPECT_EQ(saveAppointed(d, "2016", "2", "29"), 0);
    const ScheduleRecord &r = book.at(2);
    EXPECT_EQ(ScheduleTiming::timingText(r), QStringLiteral("2016/02/29 03:00"));
    EXPECT_EQ(r.settings.SysSetupFileRead, 1);
    EXPECT_EQ(r.targets.size(), 1);
    EXPECT_EQ(std::pair(r.result.Status, r.result.SuccessTermNum), std::pair(0, 4))
        << "not run since, counts stay";
}

// The schedule file keeps names in CP932: a name it can't hold would come
// back corrupted and every run would miss the file.
TEST_F(ScheduleUiTest, FileNamesTheScheduleFileCantHoldAreRefusedByName)
{
    CScheduleDetailDialog d(book, 1, reg);
    d.show();
    QApplication::setActiveWindow(&d);
    const QString foreign = QStringLiteral("/home/müller/Apli/app_v2.s");
    const QString japanese = QStringLiteral("/home/共有/Apli/app_v2.s");
    const auto buttons = d.findChildren<QPushButton *>();
    QPushButton *bootBrowse = *std::find_if(buttons.begin(), buttons.end(), [&](QPushButton *b) {
        return b->text() == "..." && b->parentWidget() == d.firmBootFile->parentWidget();
    });
    prompter.answerFile(foreign);
    bootBrowse->click();
    EXPECT_TRUE(d.firmBootFile->text().isEmpty());
    EXPECT_TRUE(prompter.records.back().text.contains(foreign));
    prompter.answerFile(japanese);
    bootBrowse->click();
    EXPECT_EQ(d.firmBootFile->text(), japanese);

    // Typed by hand, "設定" refuses it with the same message and writes nothing.
    d.processButtons[Process::SettingsWrite]->click();
    d.otherWrite->setChecked(true);
    d.otherFile2->setText(foreign);
    EXPECT_EQ(saveAppointed(d, "2030", "1", "30"), FormError::FileName);
    EXPECT_TRUE(prompter.records.back().text.contains(foreign));
    EXPECT_TRUE(d.otherFile2->hasFocus());
    EXPECT_FALSE(QFile::exists(book.at(1).settingsPath));
    d.otherFile2->setText(japanese);
    EXPECT_EQ(saveAppointed(d, "2030", "1", "30"), 0);
    ScheduleSettings stored;
    ASSERT_TRUE(ScheduleFiles::readSettings(book.at(1).settingsPath, stored));
    EXPECT_EQ(stored.OtherSetupFile2Name, japanese);
}

TEST_F(ScheduleUiTest, ListButtonStatesDeleteAndTheBoxesSavedOnTheCloseButton)
{
    save(1, appointedAt(QDateTime(QDate(2024, 5, 1), QTime(3, 0))), {{"3001", "", "", ""}});
    ASSERT_TRUE(ScheduleFiles::writeResult(book.at(1).resultPath, ScheduleResult{}));
    CScheduleListDialog list(book, reg);
    list.show();
    const auto &g1 = list.groups[0];
    EXPECT_TRUE(g1.remove->isEnabled() && g1.enabled->isChecked() && g1.result->isEnabled());
    EXPECT_FALSE(list.groups[1].remove->isEnabled() || list.groups[1].result->isEnabled());
    prompter.answer(MsgResult::Yes);
    list.onClear(1);
    EXPECT_FALSE(g1.result->isEnabled() || list.clearAllButton->isEnabled());

    g1.enabled->setChecked(false);
    list.close(); // the window's close button
    CScheduleListDialog again(book, reg);
    EXPECT_FALSE(again.groups[0].enabled->isChecked());
    prompter.answer(MsgResult::No);
    again.onDelete(1);
    EXPECT_TRUE(QFile::exists(book.at(1).settingsPath));
    prompter.answer(MsgResult::Yes);
    again.onDelete(1);
    EXPECT_FALSE(QFile::exists(book.at(1).settingsPath));
    EXPECT_EQ(again.groups[0].edit->text(), QStringLiteral("追加"));
}

TEST_F(ScheduleUiTest, ClosingDuringARunWithTheBoxClearedCancelsAndStaysOpen)
{
    Manager manager;
    QWidget main;
    main.show();
    QDateTime now(QDate(2024, 1, 15), QTime(9, 0));
    save(1, appointedAt(now),
         {{"3001", "", "", ""}, {"3002", "127.0.91.3", "m", "KT-100"}, {"9", "", "", ""}});
    CScheduleRunWindow w(book, reg, &main, [&] { return now; });
    w.show();
    w.start();
    EXPECT_TRUE(w.closeAfterCancel->isChecked()) << "ScheduleMng.ini created with 1";
    w.closeAfterCancel->click();
    EXPECT_FALSE(ScheduleFiles::readCancelClose(book.mngPath())) << "written at once";

    w.runner().tick();
    pump();
    ASSERT_EQ(manager.got.size(), 1u);
    EXPECT_EQ(RequestOf(*manager.got[0])->progressTarget, w.messageId());

    w.close();
    pump();
    EXPECT_TRUE(w.isVisible() && !w.cancelButton->isEnabled());
    ASSERT_EQ(manager.got.size(), 2u);
    EXPECT_EQ(manager.got[1]->kind, TaskKind::Cancel);

    auto done = std::move(manager.got[0]);
    RequestOf(*done)->entries[0].result = 0;
    done->kind = CompletionKind::ScheduleRestart;
    RequestOf(*done)->endFlag = 1;
    now = now.addSecs(30);
    w.scheduleStepComplete(std::move(done));
    EXPECT_TRUE(w.isVisible() && w.cancelButton->isEnabled());
    ScheduleResult r;
    ASSERT_TRUE(ScheduleFiles::readResult(book.at(1).resultPath, r));
    EXPECT_EQ(std::tuple(r.SuccessTermNum, r.ErrorTermNum, r.CancelTermCount), std::tuple(1, 0, 1));
    EXPECT_EQ(w.rows[0].state->text(), QStringLiteral("2024/01/15 09:00 実施済み"));

    // Minimised, the main window goes; restored, it comes back.
    w.showMinimized();
    pump();
    EXPECT_FALSE(main.isVisible());
    w.showNormal();
    pump();
    EXPECT_TRUE(main.isVisible());

    // Nothing runs now: closing closes.
    QSignalSpy closed(&w, &CScheduleRunWindow::closed);
    w.cancelButton->click();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(w.timer.isActive());
}
