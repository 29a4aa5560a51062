// The state of the fleet end to end: firmware checked after restart against
// terminals that come back with the new version, the old one or not at all,
// across a restart of the program; and silent terminals by the injected clock.
#include "ViewStack.h"

#include "comm/OpLog.h"
#include "comm/RegisterLogWriter.h"
#include "common/Cp932.h"
#include "termlist/FirmChecks.h"
#include "termlist/ListColumns.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/FilterDialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// An S-record file whose header carries `version`.
QByteArray firmware(const QByteArray &version)
{
    return "S0" + QByteArray(36, '0') + version.leftJustified(10, '\0').toHex().toUpper() +
           "00\r\nS9030000FC\r\n";
}

QString firmText(ViewStack &stack, const QString &termId)
{
    return ListColumns::firmCheckText(stack.stored(termId).FirmCheck);
}

QString todayLog(ViewStack &stack)
{
    QFile f(stack.dir.file("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()));
    f.open(QIODevice::ReadOnly);
    return Cp932::decode(f.readAll());
}

void setWait(ViewStack &stack, int seconds)
{
    SystemSettings s;
    stack.view->database().readSystemSettings(s);
    s.FirmCheckWait = seconds;
    stack.view->database().writeSystemSettings(s);
    stack.view->firmChecks().setWait(seconds);
}

} // namespace

TEST(FleetE2e, FirmwareIsCheckedByTheNoticeAfterTheRestartEvenAcrossAProgramRestart)
{
    ViewStack stack(44820);
    RegisterLogWriter logWriter;
    stack.view->database().setLogWriter(&logWriter);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.84.2", 4));
    setWait(stack, 12);
    // 1001 takes the new version, 1002 rolls back, 1003 stays dead, 1004
    // comes back only once the program has been restarted.
    // Their notices may come before the request's end, in a later second.
    sim.cmd("set 0 restart_ver_apli=2.00 notify_after_restart_s=1.2");
    sim.cmd("set 1 notify_after_restart_s=1.2");
    sim.cmd("set 2 silent_after_restart=true");
    sim.cmd("set 3 restart_ver_apli=2.00");
    stack.dir.write("Apli/apli_v2.s", firmware("2.00"));

    stack.selectAll();
    stack.prompter.answerFile(stack.dir.file("Apli/apli_v2.s"));
    stack.trigger("actionWriteApli");
    ASSERT_TRUE(stack.wait());
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(sim.closes(t, 1), 1) << t;
    EXPECT_TRUE(pumpUntil([&] { return firmText(stack, "1001") == "確認済み"; }, 5000));
    EXPECT_TRUE(pumpUntil([&] { return firmText(stack, "1002") == "版数不一致"; }, 5000));
    EXPECT_EQ(firmText(stack, "1003"), "確認待ち");
    EXPECT_EQ(firmText(stack, "1004"), "確認待ち");
    // The log's text column is 32 bytes wide, then two blanks.
    EXPECT_TRUE(todayLog(stack).contains("Err14:ファーム版数不一致" + QString(14 + 2, ' ') +
                                         "端末ID:1002 書込版数:2.00 報告版数:1.00\r\n"));

    // The program ends while the waits of 1003 and 1004 run.
    ASSERT_TRUE(stack.restart());
    stack.view->database().setLogWriter(&logWriter);
    EXPECT_EQ(firmText(stack, "1004"), "確認待ち");
    ASSERT_TRUE(stack.view->firmChecks().nextCheck().isValid()) << "the wait goes on";
    sim.cmd("notify 3");
    EXPECT_TRUE(pumpUntil([&] { return firmText(stack, "1004") == "確認済み"; }, 5000));
    sim.cmd("notify 2"); // a dead terminal says nothing
    EXPECT_TRUE(pumpUntil([&] { return firmText(stack, "1003") == "応答なし"; }, 20000));
    const TermEntry *shown = stack.shown("1003");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->FirmCheck, FirmCheckState::NoAnswer) << "the list was redrawn";
    EXPECT_TRUE(todayLog(stack).contains("Err15:ファーム確認応答なし" + QString(12 + 2, ' ') +
                                         "端末ID:1003 書込版数:2.00\r\n"));
    EXPECT_EQ(todayLog(stack).count("Err14"), 1);
    EXPECT_EQ(todayLog(stack).count("Err15"), 1);

}

TEST(FleetE2e, ATerminalNotHeardForTwiceTheIntervalIsCountedAndFiltered)
{
    ViewStack stack(44821);
    QDateTime now(QDate(2024, 9, 2), QTime(8, 0));
    stack.view->database().setClock([&] { return now; });
    Termsim sim;
    QStringList args = stack.simArgs("127.0.85.2", 2, false);
    ASSERT_TRUE(sim.start(args));
    sim.cmd("notify 0");
    ASSERT_TRUE(pumpUntil([&] { return stack.stored("1001").LastNotice == now; }, 5000));
    now = now.addSecs(120);
    sim.cmd("notify 1");
    ASSERT_TRUE(pumpUntil([&] { return stack.stored("1002").LastNotice == now; }, 5000));
    // EntryInt is 1: silent after two hours.
    now = QDateTime(QDate(2024, 9, 2), QTime(10, 1));
    ASSERT_TRUE(stack.view->refresh());
    EXPECT_EQ(stack.view->silentText(), "応答なし端末 1 台");

    ListCondInfo cond = stack.view->listCondition();
    cond.ColLastNotice = 1;
    stack.view->database().writeListCond(cond);
    stack.view->rebuildColumns();
    QTimer::singleShot(50, [] {
        if (auto *d = qobject_cast<CFilterRadioDialog *>(QApplication::activeModalWidget())) {
            EXPECT_EQ(d->radioButtons[0]->text(), "応答なし端末のみ");
            d->radioButtons[0]->setChecked(true);
            d->okButton()->click();
        }
    });
    ASSERT_TRUE(runFilterDialog(ListColumn::LastNotice, cond, stack.view.get()));
    std::vector<TermEntry> rows;
    ASSERT_EQ(stack.view->database().readList(cond, rows), 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].TermID, "1001");
    EXPECT_EQ(ListColumns::cellText(ViewColumn::LastNotice, rows[0]), " 2024/09/02 08:00");
}
