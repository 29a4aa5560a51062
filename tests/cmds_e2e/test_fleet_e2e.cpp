// Firmware checked after a restart against terminals that come back with the new
// version, the old one or not at all, across a restart of the program.
#include "ViewStack.h"

#include "comm/RegisterLogWriter.h"
#include "termlist/FirmChecks.h"
#include "termlist/ListColumns.h"
#include "support/TodayLog.h"

#include <gtest/gtest.h>

TEST(FleetE2e, FirmwareIsCheckedByTheNoticeAfterTheRestartEvenAcrossAProgramRestart)
{
    ViewStack stack(44820);
    RegisterLogWriter logWriter;
    stack.view->database().setLogWriter(&logWriter);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.87.2", 3));
    SystemSettings s;
    stack.view->database().readSystemSettings(s);
    s.FirmCheckWait = 12;
    stack.view->database().writeSystemSettings(s);
    stack.view->firmChecks().setWait(12);
    const auto firm = [&](const char *id) {
        return ListColumns::firmCheckText(stack.stored(id).FirmCheck);
    };
    const auto log = [&] { return todayLog(stack.dir.path()); };
    // 1001 takes the new version, 1002 rolls back, 1003 stays dead; their
    // notices may come after the request's end, in a later second.
    sim.cmd("set 0 restart_ver_apli=2.00 notify_after_restart_s=1.2");
    sim.cmd("set 1 notify_after_restart_s=1.2");
    sim.cmd("set 2 silent_after_restart=true");
    stack.dir.write("Apli/apli_v2.s",
                    "S0" + QByteArray(36, '0') +
                        QByteArray("2.00").leftJustified(10, '\0').toHex().toUpper() +
                        "00\r\nS9030000FC\r\n");
    stack.selectAll();
    stack.prompter.answerFile(stack.dir.file("Apli/apli_v2.s"));
    stack.trigger("actionWriteApli");
    ASSERT_TRUE(stack.wait());
    EXPECT_TRUE(pumpUntil([&] { return firm("1001") == "確認済み"; }, 5000));
    EXPECT_TRUE(pumpUntil([&] { return firm("1002") == "版数不一致"; }, 5000));
    // The log's text column is 32 bytes wide, then two blanks.
    EXPECT_TRUE(log().contains("Err14:ファーム版数不一致" + QString(14 + 2, ' ') +
                               "端末ID:1002 書込版数:2.00 報告版数:1.00\r\n"));

    // The program ends while the wait of 1003 runs; it goes on after.
    ASSERT_TRUE(stack.restart());
    stack.view->database().setLogWriter(&logWriter);
    EXPECT_EQ(firm("1003"), "確認待ち");
    sim.cmd("notify 2"); // a dead terminal says nothing
    EXPECT_TRUE(pumpUntil([&] { return firm("1003") == "応答なし"; }, 20000));
    ASSERT_NE(stack.shown("1003"), nullptr);
    EXPECT_EQ(stack.shown("1003")->FirmCheck, FirmCheckState::NoAnswer) << "the list was redrawn";
    EXPECT_TRUE(log().contains("Err15:ファーム確認応答なし" + QString(12 + 2, ' ') +
                               "端末ID:1003 書込版数:2.00\r\n"));
    EXPECT_EQ(log().count("Err14"), 1);
}
