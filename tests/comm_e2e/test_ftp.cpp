// The FTP client and the worker's FTP step against termsim.
#include "CommStack.h"

#include "comm/FtpTransfer.h"
#include "comm/TermProcThread.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cstdio>

// Downloads over one login: CR LF arrives as sent; a failed download, one that
// stalls (it ends at the data time-out) or one beyond what the settings-file
// reader takes (a stranger posing as a terminal) leaves nothing. A new file
// lands 0600 (it holds SIP data), an existing one keeps its mode; the verbose
// dialogue never shows the password. Schedule writes send what exists, the
// Japanese remote name as its Shift-JIS bytes in ASCII mode, and log each file.
TEST(Ftp, DownloadsLimitsAndScheduleWritesOfWhatExists)
{
    TempDir local;
    ProcessValues::setProgramFolder(local.path());
    local.mkdir("Log");
    Termsim sim;
    ASSERT_TRUE(sim.start(simArgs("127.0.31.3", 1, 43401))) << sim.lastLine().toStdString();
    const QString folder = sim.json("list").toArray().at(0).toObject().value("folder").toString();
    const QByteArray content = QByteArray("Key=value of a line\r\n").repeated(5000);
    for (const auto &[name, bytes] :
         {std::pair{"/kel_sys.ini", content},
          {"/big.ini", QByteArray(FtpClient::MaxDownloadBytes + 1, 'x')}}) {
        QFile f(folder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    local.write("Dl/kel_sys7.ini", "old");
    const auto groupReadable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(local.file("Dl/kel_sys7.ini"), groupReadable);
    FtpClient client;
    client.setOptions({2000, 3, 3000, 2000, true});
    testing::internal::CaptureStderr();
    qputenv("KEL_CURL_VERBOSE", "1");
    const bool connected = client.connect("127.0.31.3", 21, "kel", "secret");
    qunsetenv("KEL_CURL_VERBOSE");
    std::fflush(stderr);
    const std::string dialogue = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(connected) << client.errorText().toStdString();
    EXPECT_NE(dialogue.find("PASS ****"), std::string::npos) << dialogue;
    EXPECT_EQ(dialogue.find("secret"), std::string::npos);

    ASSERT_TRUE(client.download("kel_sys.ini", local.file("Dl/kel_sys7.ini")));
    EXPECT_EQ(local.read("Dl/kel_sys7.ini"), content);
    ASSERT_TRUE(client.download("kel_sys.ini", local.file("Dl/new.ini")));
    EXPECT_FALSE(client.download("big.ini", local.file("Dl/big.ini")));
    EXPECT_FALSE(client.download("nothing.ini", local.file("Dl/x.ini")));
    sim.cmd("set 0 ftp_fault=stall fault_on=retr fault_after=4096 stall_s=6");
    QElapsedTimer stalled;
    stalled.start();
    EXPECT_TRUE(sim.ok() && !client.download("kel_sys.ini", local.file("Dl/kel_sys7.ini")));
    EXPECT_LT(stalled.elapsed(), 5000);
    EXPECT_EQ(local.read("Dl/kel_sys7.ini"), content);
    EXPECT_EQ(QDir(local.file("Dl")).entryList(QDir::Files),
              (QStringList{"kel_sys7.ini", "new.ini"}));
    const auto mode = [&](const char *name) { // owner, group and other bits
        return QFileInfo(local.file(name)).permissions() & QFile::Permissions(0x7077);
    };
    EXPECT_EQ(mode("Dl/new.ini"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(mode("Dl/kel_sys7.ini"), groupReadable);
    client.close();

    local.write("Apli/apli.s", "S00F000068656C6C6F\r\n");
    TransferJob job;
    job.operation = WorkerMsg::SchedWriteFirmware;
    job.target.address = 0x7F001F03u;
    job.target.termId = "1001";
    job.account = FtpAccount{"KT-100", "kel", "secret"};
    const QString name = QStringLiteral("ファーム＿ﾃｽﾄ_v2.s");
    job.target.files = {
        {"Boot/missing.s", "missing.s"}, {QString(), "skipped.s"}, {"Apli/apli.s", name}};
    FtpStep step(client);
    step.pauseBeforeMs = step.pauseAfterMs = 0;
    EXPECT_EQ(step.run(job, {}), ResultCode::FileMissing);
    const QJsonArray files = sim.json("files 0").toArray();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0]["name_hex"].toString(), QString::fromLatin1(Cp932::encode(name).toHex()));
    EXPECT_EQ(files[0]["type"].toString(), "A");
    job.target.files.clear();
    job.operation = WorkerMsg::SchedReadSettings;
    EXPECT_EQ(step.run(job, {}), ResultCode::FileMissing);
    const QString log = todayLog(local.path());
    // Each file's start line names it, its result line tells how it went.
    const QRegularExpression line("Ope15:\\S+ +端末ID:1001 (.*)\r\n");
    QStringList details;
    for (const auto &m : line.globalMatch(log))
        details << m.captured(1);
    EXPECT_EQ(details, (QStringList{"Boot/missing.s", "Apli/apli.s", "正常終了"}))
        << log.toStdString();
    EXPECT_EQ(log.count("Ope17:"), 1);
    EXPECT_TRUE(log.contains("対象ファイル無し"));
}
