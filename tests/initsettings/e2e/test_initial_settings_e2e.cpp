// Three new terminals ask while two numbers are free: the third gets the error.
#include "cmds_e2e/ViewStack.h"

#include "app/InitialSettingsWindow.h"
#include "common/ProcessValues.h"
#include "editor/DescriptionLoader.h"
#include "initsettings/ui/InitSettingsDialog.h"
#include "register/TermDatabase.h"
#include "support/TodayLog.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(InitialSettingsE2e, TwoFreeNumbersForThreeNewTerminals)
{
    CInitialSettingsTable table;
    ViewStack stack(44111);
    ASSERT_TRUE(stack.up());
    InitialSettingsWindow window(*stack.view, stack.decider, table);
    const QString sample = KEL_SOURCE_DIR "/samples/Config/Sys/sysconfig_KT-100_1.xml";
    stack.dir.mkdir("Config/Sys");
    QFile::copy(sample, stack.dir.file("Config/Sys/sysconfig_KT-100_1.xml"));
    const QByteArray version = ReadDescriptionVersion(sample).version.toLatin1();
    stack.dir.write("Config/FirmFilePath.ini", "[None]\r\n");

    CTermDatabase &db = stack.view->database();
    for (int n : {7100, 7102, 7104}) {
        RegistrationData r;
        r.TermID = QString::number(n), r.UserInfo1 = QString("02:00:00:00:%1").arg(n);
        r.IPAddr = 0x0A000000u + std::uint32_t(n);
        ASSERT_EQ(db.registerUpdate(r), 0);
    }
    ASSERT_EQ(db.writeInitInfo(InitInfo{0, "7100", 5}), 0);
    CInitSettingsDialog dialog(db, table);
    stack.view->setInitialSettingsMode(&dialog);
    dialog.show();
    dialog.executeButton->click();
    ASSERT_TRUE(dialog.running());
    EXPECT_EQ(std::pair(table.freeCount(), dialog.countLabel->text()), std::pair(2, QString("3件")));

    // A restarted terminal announces itself before it answers the close.
    Termsim sim;
    ASSERT_TRUE(
        sim.start(stack.simArgs("127.0.111.2", 3, false) +
                  QStringList{"--set", "terminal_id=ERROR", "--set", "adopt_sip_address=true",
                              "--set", "notify_after_restart_s=0", "--set", "reply_delay_ms=300"}))
        << sim.lastLine().toStdString();
    sim.cmd("request all");
    ASSERT_TRUE(pumpUntil([&] { return !dialog.running(); }, 30000));
    EXPECT_EQ(dialog.countLabel->text(), "5件");
    EXPECT_EQ(stack.prompter.records.back().caption, "SIPアドレス範囲外");

    const QJsonArray terms = sim.json("list").toArray();
    QStringList given;
    for (int t = 0; t < 3; ++t) {
        EXPECT_EQ(sim.received(t, "TermRequestAccept").size(), 1) << t;
        const QJsonArray files = sim.json(QString("files %1").arg(t)).toArray();
        if (files.isEmpty()) {
            // No number: closed without a file and without restart.
            EXPECT_EQ(std::pair(sim.received(t, "RemoteOpenReq").size(), sim.closes(t, 0)),
                      std::pair(qsizetype(0), 1));
            continue;
        }
        QFile f(terms[t].toObject().value("folder").toString() + "/" +
                files[0].toObject().value("name").toString());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray body = f.readAll();
        const QString id = body.contains("7101") ? "7101" : "7103";
        EXPECT_EQ(body, "Version=" + version + "\r\n\r\n[SIP]\r\nSipAddress=" + id.toLatin1() + "\r\n");
        EXPECT_EQ(sim.closes(t, 1), 1) << "a new system settings file restarts the terminal";
        given << id;
    }
    given.sort();
    EXPECT_EQ(given, (QStringList{"7101", "7103"}));

    // The rows; the range can fill up (from notices) before the last request ends.
    const auto done = [&](const QString &id, int code) {
        return stack.stored(id).ResultKind == 19 && stack.stored(id).ResultCode == code;
    };
    EXPECT_TRUE(pumpUntil(
        [&] { return done(given[0], 0) && done(given[1], 0) && done("ERROR", 11); }, 10000));
    for (const QString &id : given)
        EXPECT_FALSE(stack.stored(id).UserInfo1.isEmpty()) << id.toStdString();
    EXPECT_TRUE(pumpUntil([&] { return stack.resultText("7101") == "初期設定実行(正常終了)"; }, 5000));

    // Nothing is left to start with.
    dialog.executeButton->click();
    EXPECT_FALSE(dialog.running());
    const QString log = todayLog(stack.dir.path());
    EXPECT_EQ(log.count("Ope21:初期設定実行"), 3) << "the start and one per written file";
    EXPECT_TRUE(log.contains(QRegularExpression("Ope22:初期設定終了 +端末ID:7101 正常終了")));
    EXPECT_TRUE(log.contains(QRegularExpression("Err11:SIPアドレス設定範囲空きなし +端末ID:ERROR")));
    stack.view->setInitialSettingsMode(nullptr);
    ProcessValues::operatorBusy = 0;
}
