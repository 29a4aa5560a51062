// The execution window end to end against simulated terminals: schedule 1
// writes the system settings file and a file from a share outside the program
// folder, then restarts; schedule 2 follows it on the terminals that succeeded.
#include "cmds_e2e/ViewStack.h"

#include "schedule/ScheduleFiles.h"
#include "schedule/ScheduleTestData.h"
#include "schedule/ui/ScheduleRunWindow.h"
#include "support/TodayLog.h"

#include <gtest/gtest.h>

using namespace Schedule;

TEST(ScheduleE2e, AppointedRunThenChainOnTheTerminalsThatSucceeded)
{
    ViewStack stack(43901);
    Termsim sim;
    // The notices register all four; 1003 is then a target known to the register only.
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.90.2", 4));
    sim.cmd("set 3 open=nak0"); // 1004 refuses the session
    for (int id : {1001, 1002, 1003, 1004})
        stack.dir.write(QStringLiteral("Data/Sys/kel_sys%1.ini").arg(id), "[Sys]\r\nId=1\r\n");
    TempDir share;
    share.write(QStringLiteral("common/app_common.ini"), "[Common]\r\nA=1\r\n");

    ScheduleBook book;
    book.init(stack.dir.path());
    const QDateTime base = QDateTime::currentDateTime();
    const QDateTime at =
        QDateTime(base.date(), QTime(base.time().hour(), base.time().minute())).addSecs(120);
    ScheduleSettings first = appointedAt(at, Process::SettingsWrite);
    first.SysSetupFileWrite = 1;
    first.OtherSetupFileWrite = 1;
    first.OtherSetupFile1Name = share.file(QStringLiteral("common/app_common.ini"));
    first.TermReboot = 1;
    const auto target = [](int id) {
        return ScheduleTarget{QString::number(id), QStringLiteral("127.0.90.%1").arg(id - 999),
                              QStringLiteral("02:00:7f:00:5a:%1").arg(id - 999, 2, 10, QChar('0')),
                              "KT-100"};
    };
    ASSERT_TRUE(ScheduleFiles::writeSettings(
        book.at(1).settingsPath, first,
        {target(1001), target(1002), {"1003", "", "", ""}, target(1004), {"1099", "", "", ""}}));
    ScheduleSettings chain;
    chain.OperatTiming = Timing::AfterOther;
    chain.OtherSchedule = 1;
    chain.AfterOtherMode = AfterOther::SucceededOnly;
    chain.WaitTime = 5;
    chain.ProcessKind = Process::Restart;
    ASSERT_TRUE(ScheduleFiles::writeSettings(book.at(2).settingsPath, chain, {}));
    for (int n : {1, 2})
        ASSERT_TRUE(ScheduleFiles::writeEnabled(book.at(n).settingsPath, true));

    qint64 offset = base.secsTo(at) - 2;
    RegisterTerminalLookup lookup(stack.view->database());
    CScheduleRunWindow window(book, lookup, nullptr,
                              [&] { return QDateTime::currentDateTime().addSecs(offset); });
    stack.view->setScheduleSink(&window);
    window.show();
    window.start();

    ASSERT_TRUE(pumpUntil([&] { return window.runner().running(); }, 10000));
    ASSERT_TRUE(
        pumpUntil([&] { return book.at(1).hasResult && !window.runner().running(); }, 60000));
    ScheduleResult r;
    ASSERT_TRUE(ScheduleFiles::readResult(book.at(1).resultPath, r));
    EXPECT_EQ(std::tuple(r.SuccessTermNum, r.ErrorTermNum, r.CancelTermCount), std::tuple(3, 1, 0));
    const QString minute = ScheduleTiming::minuteText(at);
    EXPECT_EQ(r.BeginDate, minute);
    ASSERT_EQ(r.terminals.size(), 5);
    EXPECT_EQ(r.terminals[0], (ScheduleResultTerm{Outcome::NotExecuted, {"1099", "", "", ""}}));
    EXPECT_EQ(r.terminals[3],
              (ScheduleResultTerm{Outcome::Success,
                                  {"1003", "127.000.090.004", "02:00:7F:00:5A:04", "KT-100"}}));
    EXPECT_EQ(r.terminals[4].outcome, Outcome::Error);
    for (int t = 0; t < 3; ++t) {
        QStringList names;
        for (const QJsonValue &f : sim.json(QString("files %1").arg(t)).toArray())
            if (f.toObject().value("complete").toBool())
                names << f.toObject().value("name").toString().left(7);
        names.sort();
        EXPECT_EQ(names, (QStringList{"app_com", "kel_sys"})) << t;
        EXPECT_EQ(sim.closes(t, 1), 1) << "restarted after the write: " << t;
    }
    EXPECT_TRUE(todayLog(stack.dir.path()).contains(minute + QStringLiteral(" スケジュール1実行開始")));

    // Five minutes on (by the clock, not by waiting): the chain restarts the
    // three that succeeded, and only them.
    offset += 5 * 60;
    ASSERT_TRUE(
        pumpUntil([&] { return book.at(2).hasResult && !window.runner().running(); }, 60000));
    ScheduleResult c;
    ASSERT_TRUE(ScheduleFiles::readResult(book.at(2).resultPath, c));
    EXPECT_EQ(std::tuple(c.SuccessTermNum, c.ErrorTermNum, c.CancelTermCount), std::tuple(3, 0, 0));
    EXPECT_EQ(c.ScheduleDate, QStringLiteral("スケジュール1終了後"));
    ASSERT_EQ(c.terminals.size(), 5);
    EXPECT_EQ(c.terminals[0], (ScheduleResultTerm{Outcome::NotExecuted, target(1004)}));
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(sim.closes(t, 1), 2) << t;
    EXPECT_EQ(sim.received(3, "RemoteOpenReq").size(), 1);

    stack.view->setScheduleSink(nullptr);
    window.timer.stop();
}
