// SIGTERM (a logout, a shutdown) while a window is open or something runs: what
// runs ends as its own cancel would; the program exits with 0 within seconds.
#include "ProgramRunner.h"
#include "TempDir.h"
#include "comm_e2e/CommStack.h"
#include "common/Cp932.h"
#include "schedule/ScheduleFiles.h"
#include "schedule/ScheduleTestData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace
{

constexpr int Port = 43641;
// "A few seconds": the grace for what runs, and the threads' end.
constexpr qint64 ExitWithinMs = 6000;

class Shutdown : public ::testing::Test
{
protected:
    // A fresh program folder on Port with `terminals` simulated terminals
    // (127.0.64.2.., IDs 1001..) that never answer a maintenance session.
    void startProgram(int terminals, const QString &platform = QStringLiteral("offscreen"),
                      const QString &display = QString())
    {
        MakeProgramFolder(dir.path(), OneFtpAccount, Port);
        program = std::make_unique<ProgramRunner>(dir.path(), QStringList{}, platform, display);
        program->setEnv(QStringLiteral("KELMNGPC_TEST_CONTROL"), dir.file("control.sock"));
        program->setEnv(QStringLiteral("KELMNGPC_TEST_SHARED_UDP_PORT"), QStringLiteral("1"));
        program->start();
        ASSERT_TRUE(control.connectTo(dir.file("control.sock")))
            << program->stderrText().toStdString();
        if (terminals == 0)
            return;
        ASSERT_TRUE(WaitFor([&] { return control.ask("state").endsWith("socket 1"); }, 15000));
        QStringList args = simArgs("127.0.64.2", terminals, Port);
        args.removeAll(QStringLiteral("--no-start-notify"));
        ASSERT_TRUE(
            sim.start(args + QStringList{"--root", dir.file("sim"), "--set", "open=silent"}))
            << sim.lastLine().toStdString();
        ASSERT_TRUE(
            WaitFor([&] { return control.ask("rows") == QString::number(terminals); }, 20000));
    }
    bool windowShown(const QString &title)
    {
        return WaitFor([&] { return control.ask("windows").split('|').contains(title); }, 15000);
    }
    void terminateInTime()
    {
        QElapsedTimer t;
        t.start();
        program->terminate();
        EXPECT_EQ(program->finish(15000), 0) << program->stderrText().toStdString();
        EXPECT_LT(t.elapsed(), ExitWithinMs);
    }
    QString log()
    {
        QString all;
        for (const QString &f : QDir(dir.file("Log")).entryList(QDir::Files))
            all += Cp932::decode(dir.read("Log/" + f));
        return all;
    }

    TempDir dir;
    Termsim sim;
    std::unique_ptr<ProgramRunner> program;
    ControlClient control;
};

} // namespace

// Under an X server message boxes really wait for the user.
TEST_F(Shutdown, WithAMessageBoxOpen)
{
    XServer x;
    if (!x.start())
        GTEST_SKIP() << "Xvfb not installed";
    startProgram(0, QStringLiteral("xcb"), x.display());
    ASSERT_TRUE(windowShown(QStringLiteral("クヴァＩＰフォンマネージャ 管理用ツール")));
    EXPECT_EQ(control.ask("open actionExportList"), QStringLiteral("opened"));
    ASSERT_TRUE(windowShown(QStringLiteral("端末一覧テキスト出力確認")));
    terminateInTime();
    EXPECT_FALSE(QFile::exists(dir.file("Data/List.txt"))) << "closed as \"いいえ\"";

    // The box of a UDP port another program holds, shown right after the start.
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, Port));
    program = std::make_unique<ProgramRunner>(dir.path(), QStringList{}, QStringLiteral("xcb"),
                                              x.display());
    program->setEnv(QStringLiteral("KELMNGPC_TEST_CONTROL"), dir.file("control2.sock"));
    program->start();
    ControlClient second;
    ASSERT_TRUE(second.connectTo(dir.file("control2.sock")));
    ASSERT_TRUE(WaitFor(
        [&] { return second.ask("windows").split('|').contains("通信ポートエラー"); }, 15000));
    terminateInTime();
}

// The control socket, which the soak benchmark measures through too, counts
// the notices it applied and starts nothing but maintenance commands.
TEST_F(Shutdown, WithTheProgressWindowOfACommand)
{
    startProgram(1);
    EXPECT_EQ(control.ask("notices"), QStringLiteral("applied 1 pending 0 dropped 0"));
    EXPECT_TRUE(control.ask("run actionDeleteTerminals").startsWith("ERR"));
    EXPECT_EQ(control.ask("select 0 1"), QStringLiteral("1"));
    EXPECT_EQ(control.ask("run actionRestart"), QStringLiteral("posted"));
    EXPECT_EQ(control.ask("run actionTermInfo"), QStringLiteral("refused"));
    ASSERT_TRUE(windowShown(QStringLiteral("端末再起動")));
    sim.cmd("wait 0 RemoteOpenReq");
    terminateInTime();
}

// The run ends as cancelled, with its result and end line written. The close
// button is refused while it runs.
TEST_F(Shutdown, WithTheScheduleExecutionWindowDuringARun)
{
    const ScheduleSettings s = appointedAt(QDateTime::currentDateTime());
    const QString settings = ScheduleFiles::settingsPath(dir.path() + '/', 1);
    QDir().mkpath(QFileInfo(settings).absolutePath());
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, s, {{"1001", "127.0.64.2", "", "KT-100"}}));
    ASSERT_TRUE(ScheduleFiles::writeEnabled(settings, true));
    startProgram(1);
    EXPECT_EQ(control.ask("open actionScheduleRun"), QStringLiteral("opened"));
    ASSERT_TRUE(WaitFor([&] { return log().contains("スケジュール1実行開始"); }, 15000));
    sim.cmd("wait 0 RemoteOpenReq");

    EXPECT_EQ(control.ask("close"), QStringLiteral("closing"));
    QThread::msleep(300);
    const QStringList windows = control.ask("windows").split('|');
    EXPECT_TRUE(windows.contains("スケジュール実行") &&
                windows.contains("クヴァＩＰフォンマネージャ 管理用ツール"))
        << windows.join(" / ").toStdString();

    terminateInTime();
    ScheduleResult r;
    ASSERT_TRUE(ScheduleFiles::readResult(ScheduleFiles::resultPath(dir.path() + '/', 1), r));
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(std::tuple(r.SuccessTermNum, r.ErrorTermNum, r.CancelTermCount), std::tuple(0, 0, 1));
    EXPECT_TRUE(log().contains("スケジュール1実行終了"));
}

// The editor's and the initial settings' windows, and the idle execution
// window: each ends with the program, as a user has them under X.
TEST_F(Shutdown, WithTheSettingsEditorTheInitialSettingsOrTheExecutionWindowOpen)
{
    for (const char *file : {"FirmConfig.xml", "FirmFilePath.ini"}) {
        QFile sample(QStringLiteral(KEL_SOURCE_DIR "/samples/Config/") + file);
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
        dir.write(QStringLiteral("Config/") + file, sample.readAll());
    }
    XServer x;
    const bool real = x.start();
    for (const auto &[action, title] : {std::pair{"actionFirmRegister", "自動更新ファームウェア登録"},
                                        {"actionInitialSettings", "初期設定実行"},
                                        {"actionScheduleRun", "スケジュール実行"}}) {
        SCOPED_TRACE(title);
        startProgram(0, real ? QStringLiteral("xcb") : QStringLiteral("offscreen"),
                     real ? x.display() : QString());
        EXPECT_EQ(control.ask(QStringLiteral("open ") + action), QStringLiteral("opened"));
        ASSERT_TRUE(windowShown(QString::fromUtf8(title)))
            << control.ask("windows").toStdString() << program->stderrText().toStdString();
        terminateInTime();
    }
}

// 50 accepted terminal-initiated updates whose sessions are never answered:
// the close button is refused while they count; SIGTERM ends all the same.
TEST_F(Shutdown, WithFiftyAcceptedUpdateRequestsNeverAnswered)
{
    constexpr int Requests = 50;
    for (int i = 0; i < Requests; ++i)
        dir.write(QString("Data/Sys/kel_sys%1.ini").arg(1001 + i), "[Terminal]\r\nNew=1\r\n");
    startProgram(Requests);
    sim.cmd("request all select=1 stamps='01012001000000  ,01012001000000  ,01012001000000  '");
    // Sessions are opened (and never answered) for the first of them.
    sim.cmd("wait 0 RemoteOpenReq timeout=20");
    ASSERT_TRUE(sim.ok());
    EXPECT_EQ(control.ask("close"), QStringLiteral("closing"));
    QThread::msleep(300);
    EXPECT_TRUE(control.ask("windows").contains("クヴァＩＰフォンマネージャ 管理用ツール"))
        << "the close button is refused while they run";
    terminateInTime();
}
