// Maintenance commands end to end: the list window's menus, the real
// communication stack and the terminal simulator.
#include "ViewStack.h"

#include "termlist/CommandFlow.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/ViewCommandHost.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

static QString sha256(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}

TEST(CommandsE2e, SystemSettingsReadOf25TerminalsThenARestartStopped)
{
    ViewStack stack(44802);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.82.2", 25));
    stack.selectAll();
    int redraws = 0; // a refresh empties the list, then fills it
    QObject::connect(stack.view->listModel(), &QAbstractItemModel::modelReset,
                     [&] { redraws += stack.view->listModel()->rowCount() > 0; });
    stack.trigger("actionReadSys");
    ASSERT_TRUE(stack.wait());
    EXPECT_EQ(redraws, 1) << "one redraw at the completion";
    for (int t = 0; t < 25; ++t) {
        const QString id = QString::number(1001 + t);
        const QString local = stack.dir.file("Data/Sys/kel_sys" + id + ".ini");
        ASSERT_TRUE(QFile::exists(local)) << t;
        EXPECT_EQ(sha256(local),
                  sha256(stack.simFile(QString("127.0.82.%1").arg(2 + t), "kel_sys.ini")));
        EXPECT_EQ(stack.resultText(id), QStringLiteral("ｼｽﾃﾑ設定読込 (正常終了)"));
    }
    EXPECT_TRUE(QDir(stack.dir.file("Data/Sys")).entryList({"*.tmp"}).isEmpty());

    // "中止" after part of them was handed out: the rest get result 7.
    sim.cmd("clear");
    sim.cmd("set all reply_delay_ms=150");
    stack.selectAll();
    stack.trigger("actionRestart");
    CProgressDialog *progress = stack.view->commandWindows().progressWindow();
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return progress->bar->value() >= 3; }, 20000));
    EXPECT_EQ(progress->bar->maximum(), 25);
    EXPECT_TRUE(progress->counterLabel->text().endsWith(QStringLiteral(" / 25  処理済み")));
    progress->stopButton->click();
    EXPECT_TRUE(
        progress->textLabel->text().startsWith(QStringLiteral("実行中の処理の完了を待っています")));
    ASSERT_TRUE(stack.wait());
    EXPECT_EQ(stack.view->commandWindows().progressWindow(), nullptr);
    EXPECT_TRUE(stack.bar.isEnabled());
    int cancelled = 0, done = 0;
    for (const TermEntry &e : stack.view->listModel()->entries()) {
        cancelled += e.ResultCode == 7;
        done += e.ResultCode == 0;
    }
    EXPECT_GT(cancelled, 0);
    EXPECT_EQ(cancelled + done, 25);
    EXPECT_EQ(sim.json("received all name=RemoteOpenReq").toArray().size(), done);
}

TEST(CommandsE2e, TerminalInformationWritesRestartAndForcedClose)
{
    ViewStack stack(44803);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.83.2", 3));
    sim.cmd("set 2 notify_on_inforeq=false");
    stack.selectAll();
    stack.trigger("actionTermInfo");
    ASSERT_TRUE(stack.wait());
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(sim.received(t, "TermInfoReq").size(), 1);
    const QString info = QStringLiteral("端末情報取得 (正常終了)");
    // The notices of terminals 0 and 1 may arrive just before or after the redraw.
    EXPECT_TRUE(pumpUntil([&] { return stack.resultText("1001") == info; }, 5000));
    EXPECT_EQ(stack.resultText("1003"), QStringLiteral("端末情報取得中"));
    sim.cmd("notify 2");
    EXPECT_TRUE(pumpUntil([&] { return stack.resultText("1003") == info; }, 5000));

    stack.dir.write("Data/Sys/kel_sys_all.ini", "[Common]\r\nAll=1\r\n");
    stack.dir.write("Boot/boot_v2.s", "S00F0000626F6F745F7632000000000000\r\n");

    // One common file to all, confirmed twice; the second question defaults to "いいえ".
    stack.selectAll();
    stack.prompter.answerFile(stack.dir.file("Data/Sys/kel_sys_all.ini"));
    stack.prompter.answer(6);
    stack.prompter.answer(6);
    stack.trigger("actionWriteCommonSys");
    ASSERT_TRUE(stack.wait());
    EXPECT_EQ(stack.prompter.records.last().type, 0x134u);
    for (int t = 0; t < 3; ++t) {
        const QJsonArray files = sim.json(QString("files %1").arg(t)).toArray();
        ASSERT_FALSE(files.isEmpty());
        EXPECT_EQ(files.last().toObject().value("sha256").toString(),
                  sha256(stack.dir.file("Data/Sys/kel_sys_all.ini")));
    }

    stack.select({"1002"});
    stack.prompter.answerFile(stack.dir.file("Boot/boot_v2.s"));
    stack.trigger("actionWriteBoot");
    ASSERT_TRUE(stack.wait());
    EXPECT_EQ(sim.json("files 1").toArray().last().toObject().value("name").toString(),
              "boot_v2.s");
    EXPECT_EQ(sim.closes(1, 1), 1) << "a written boot program restarts the terminal";
    EXPECT_EQ(stack.resultText("1002"), QStringLiteral("ブート書込　 (正常終了)"));

    // Restart with a silent terminal; a notice during the command changes the
    // register at once and the list at the end.
    sim.cmd("set 2 open=silent");
    sim.cmd("set 0 ver_apli=V9.99");
    stack.selectAll();
    stack.trigger("actionRestart");
    sim.cmd("notify 0");
    ASSERT_TRUE(pumpUntil([&] { return stack.stored("1001").VerApli == "V9.99"; }, 5000));
    EXPECT_TRUE(stack.commandRunning());
    EXPECT_NE(stack.shown("1001")->VerApli, "V9.99") << "not redrawn while the command runs";
    ASSERT_TRUE(stack.wait());
    EXPECT_EQ(stack.shown("1001")->VerApli, "V9.99");
    EXPECT_EQ(sim.closes(0, 1), 1);
    EXPECT_EQ(stack.resultText("1001"), QStringLiteral("端末再起動　 (正常終了)"));
    EXPECT_EQ(stack.shown("1003")->ResultCode, 3);
    EXPECT_EQ(stack.resultText("1003"), QStringLiteral("端末再起動　 (ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)"));

    sim.cmd("set 2 open=ack");
    stack.select({"1003"});
    stack.trigger("actionForceClose");
    ASSERT_TRUE(stack.wait());
    EXPECT_EQ(stack.resultText("1003"), QStringLiteral("保守強制終了 (正常終了)"));
}

TEST(CommandsE2e, TargetCheckStopsBeforeAnythingIsSent)
{
    ViewStack stack(44804);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.84.2", 2));
    // Terminal 1 moves to terminal 0's address, a third row takes terminal 0's ID.
    sim.cmd("set 1 payload_address=127.0.84.2");
    sim.cmd("notify 1");
    sim.cmd("set 0 mac=02:00:00:00:84:99");
    sim.cmd("notify 0");
    std::vector<TermItem> items{{0, "7777", 0}, {0, "7778", 0}};
    stack.view->database().addTerminals(items);
    stack.view->refresh();
    ASSERT_TRUE(stack.waitRows(5));
    QTest::qWait(100); // the notices' answers are out
    sim.cmd("clear");

    stack.select({"7777", "7778"});
    stack.trigger("actionRestart");
    EXPECT_EQ(stack.prompter.records.last().caption, QStringLiteral("対象端末IPアドレスエラー"));
    // Both alerts: asked twice, "いいえ" on the second stops; on the first, asked once.
    stack.selectAll();
    for (std::vector<int> answers : {std::vector<int>{6, 6, 7}, {6, 7}}) {
        stack.prompter.records.clear();
        for (int a : answers)
            stack.prompter.answer(a);
        stack.trigger("actionRestart");
        EXPECT_EQ(stack.prompter.records.size(), int(answers.size()));
        EXPECT_EQ(stack.prompter.records.last().caption, QStringLiteral("端末情報取得開始確認"));
    }
    EXPECT_FALSE(stack.commandRunning());
    QTest::qWait(300);
    EXPECT_EQ(sim.json("received all").toArray().size(), 0);
}

TEST(CommandsE2e, TerminalRequestsRunDeferAndAreDiscarded)
{
    ViewStack stack(44806);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.86.2", 8));
    for (int id = 1001; id <= 1008; ++id)
        stack.dir.write(QString("Data/Sys/kel_sys%1.ini").arg(id), "[Terminal]\r\nNew=1\r\n");
    const QString old = "stamps='01012001000000  ,01012001000000  ,01012001000000  '";
    sim.cmd("set all reply_delay_ms=250");

    sim.cmd("request 0 select=1 " + old);
    CViewCommandHost &windows = stack.view->commandWindows();
    ASSERT_TRUE(pumpUntil([&] { return windows.remoteWindow() != nullptr; }, 10000));
    ASSERT_TRUE(pumpUntil([&] { return windows.remoteWindow()->lines().join("").contains("1001"); },
                          10000));
    ASSERT_TRUE(pumpUntil([&] { return windows.remoteWindow() == nullptr; }, 20000));
    EXPECT_EQ(stack.resultText("1001"), QStringLiteral("ﾘﾓｰﾄﾌｧｲﾙ書込 (正常終了)"));
    const QJsonObject file = sim.json("files 0").toArray().at(0).toObject();
    EXPECT_TRUE(file.value("name").toString().startsWith("kel_sys"));
    EXPECT_EQ(file.value("sha256").toString(), sha256(stack.dir.file("Data/Sys/kel_sys1001.ini")));

    // While a user command runs every terminal request is answered "busy" (2).
    stack.select({"1002"});
    stack.trigger("actionRestart");
    sim.cmd("request 2 select=1 " + old);
    sim.cmd("wait 2 TermRequestResult");
    EXPECT_EQ(sim.fields(2, "TermRequestResult").value("result").toInt(), 2);
    ASSERT_TRUE(stack.wait());

    // Seven at once: five run, two are stored; "中止" and "はい" drop those two.
    sim.cmd("clear");
    sim.cmd("set all reply_delay_ms=700");
    sim.cmd("request 1 select=1 " + old);
    for (int t = 3; t < 8; ++t)
        sim.cmd(QString("request %1 select=1 ").arg(t) + old);
    sim.cmd("request 2 select=1 " + old);
    ASSERT_TRUE(pumpUntil([&] { return windows.remoteWindow() != nullptr; }, 10000));
    ASSERT_TRUE(pumpUntil(
        [&] { return sim.json("received all name=TermRequestAccept").toArray().size() == 7; },
        10000));
    windows.remoteWindow()->stopButton->click();
    ASSERT_TRUE(pumpUntil([&] { return windows.remoteWindow() == nullptr; }, 30000));
    EXPECT_EQ(stack.prompter.records.last().caption, QStringLiteral("リモート設定要求の破棄確認"));
    QTest::qWait(300);
    EXPECT_EQ(sim.json("received all name=RemoteOpenReq").toArray().size(), 5);
    EXPECT_TRUE(stack.bar.isEnabled());
}
