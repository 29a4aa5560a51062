// FTP against a real pyftpdlib server on a loopback address: the client's
// transfers, time-outs and temporary files, and the worker's FTP step.
#include "comm/FtpTransfer.h"
#include "comm/TermProcThread.h"

#include "comm/FtpSettings.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{

class FtpServer
{
public:
    FtpServer(const QString &host, const QString &root, const char *fault = "none",
              const QString &log = QString())
        : host(host)
    {
        m_proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_proc.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(KEL_SOURCE_DIR "/tests/comm/ftp_test_server.py"), host, root,
                      QStringLiteral("admin"), QStringLiteral("secret"), QString::fromLatin1(fault),
                      log});
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && !m_proc.canReadLine())
            m_proc.waitForReadyRead(100);
        const QByteArray line = m_proc.readLine().trimmed();
        if (line.startsWith("READY "))
            port = quint16(line.mid(6).toUInt());
    }
    ~FtpServer()
    {
        m_proc.kill();
        m_proc.waitForFinished(3000);
    }
    QString host;
    quint16 port = 0;

private:
    QProcess m_proc;
};

QByteArray bigText(int lines)
{
    QByteArray b;
    for (int i = 0; i < lines; ++i)
        b += "Key" + QByteArray::number(i) + "=value of line " + QByteArray::number(i) + "\r\n";
    return b;
}

struct Ftp : ::testing::Test {
    TempDir local, remote;
    FtpClient client;
    void SetUp() override
    {
        ProcessValues::setProgramFolder(local.path());
        local.mkdir(QStringLiteral("Log"));
        client.setOptions({2000, 3, 3000, 2000, true});
    }
};

} // namespace

TEST_F(Ftp, UploadsGoInAsciiModePassiveAndActive)
{
    const QString log = local.file(QStringLiteral("received.log"));
    FtpServer server(QStringLiteral("127.0.31.1"), remote.path(), "none", log);
    ASSERT_NE(server.port, 0);
    local.write(QStringLiteral("kel_sys1.ini"), "[Sec]\r\nA=1\r\n");
    for (bool passive : {true, false}) {
        client.setOptions({2000, 3, 3000, 2000, passive});
        ASSERT_TRUE(client.connect(server.host, server.port, "admin", "secret"));
        ASSERT_TRUE(
            client.upload(local.file(QStringLiteral("kel_sys1.ini")), passive ? "p.ini" : "a.ini"))
            << client.errorText().toStdString();
        client.close();
    }
    EXPECT_EQ(local.read(QStringLiteral("received.log")), "p.ini a 10\na.ini a 10\n");
}

TEST_F(Ftp, DownloadsReplaceTheLocalFileOverOneLogin)
{
    FtpServer server(QStringLiteral("127.0.31.3"), remote.path());
    ASSERT_NE(server.port, 0);
    const QByteArray content = bigText(5000);
    remote.write(QStringLiteral("kel_sys.ini"), content);
    remote.write(QStringLiteral("unix.txt"), "one\ntwo\n");
    local.write(QStringLiteral("kel_sys7.ini"), "old");
    ASSERT_TRUE(client.connect(server.host, server.port, "admin", "secret"));
    ASSERT_TRUE(
        client.download(QStringLiteral("kel_sys.ini"), local.file(QStringLiteral("kel_sys7.ini"))));
    EXPECT_EQ(local.read(QStringLiteral("kel_sys7.ini")), content);
    // ASCII mode: the server sends CR LF, and it arrives as sent.
    ASSERT_TRUE(client.download(QStringLiteral("unix.txt"), local.file(QStringLiteral("u.txt"))));
    EXPECT_EQ(local.read(QStringLiteral("u.txt")), "one\r\ntwo\r\n");
    EXPECT_FALSE(
        client.download(QStringLiteral("nothing.ini"), local.file(QStringLiteral("x.ini"))));
    EXPECT_FALSE(client.upload(local.file(QStringLiteral("absent.ini")), QStringLiteral("y.ini")));
    for (const char *leftover : {"kel_sys7.ini.tmp", "x.ini", "x.ini.tmp"})
        EXPECT_FALSE(QFile::exists(local.file(QString::fromLatin1(leftover)))) << leftover;
}

TEST_F(Ftp, BrokenStalledOrAbortedDownloadsKeepTheOldFile)
{
    const QByteArray old = "[Old]\r\nKeep=1\r\n";
    for (const char *fault : {"cut", "stall", "abort"}) {
        SCOPED_TRACE(fault);
        const bool abortIt = QByteArray(fault) == "abort";
        FtpServer server(QStringLiteral("127.0.31.4"), remote.path(), abortIt ? "stall" : fault);
        ASSERT_NE(server.port, 0);
        remote.write(QStringLiteral("kel_sys.ini"), bigText(20000));
        local.write(QStringLiteral("kel_sys7.ini"), old);
        std::atomic<bool> abort{false};
        client.setAbortFlag(&abort);
        client.setOptions({2000, 3, 3000, abortIt ? 60000 : 2000, true});
        ASSERT_TRUE(client.connect(server.host, server.port, "admin", "secret"));
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            abort = abortIt;
        });
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(client.download(QStringLiteral("kel_sys.ini"),
                                     local.file(QStringLiteral("kel_sys7.ini"))));
        stopper.join();
        EXPECT_LT(t.elapsed(), 4000) << "a stalled transfer ends after the data time-out";
        EXPECT_EQ(local.read(QStringLiteral("kel_sys7.ini")), old);
        EXPECT_FALSE(QFile::exists(local.file(QStringLiteral("kel_sys7.ini.tmp"))));
        client.close();
    }
}

TEST_F(Ftp, RefusedLoginAndNobodyListening)
{
    FtpServer server(QStringLiteral("127.0.31.6"), remote.path());
    ASSERT_NE(server.port, 0);
    EXPECT_FALSE(client.connect(server.host, server.port, "admin", "wrong"));
    EXPECT_FALSE(client.isConnected());
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(client.connect(QStringLiteral("127.0.31.7"), server.port, "admin", "secret"));
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(FtpClient::remoteFileName(QStringLiteral("C:\\Boot\\boot.s")),
              QStringLiteral("\\boot.s"));
    EXPECT_EQ(FtpClient::remoteFileName(QStringLiteral("kel_sys.ini")),
              QStringLiteral("kel_sys.ini"));
}

TEST_F(Ftp, ScheduleWritesSendWhatExistsAndReportTheMissingFile)
{
    FtpServer server(QStringLiteral("127.0.32.1"), remote.path());
    ASSERT_NE(server.port, 0);
    local.write(QStringLiteral("Apli/apli.s"), "S00F000068656C6C6F\r\n");
    TransferJob job;
    job.operation = WorkerMsg::SchedWriteFirmware;
    job.target.address = 0x7F002001u;
    job.target.termId = QStringLiteral("1001");
    job.account =
        FtpAccount{QStringLiteral("KT-100"), QStringLiteral("admin"), QStringLiteral("secret")};
    job.target.files = {{QStringLiteral("Boot/missing.s"), QStringLiteral("missing.s")},
                        {QString(), QStringLiteral("skipped.s")},
                        {QStringLiteral("Apli/apli.s"), QStringLiteral("apli.s")}};
    FtpStep step(client, server.port);
    step.pauseBeforeMs = step.pauseAfterMs = 0;
    EXPECT_EQ(step.run(job, {}), ResultCode::FileMissing);
    EXPECT_TRUE(QFile::exists(remote.file(QStringLiteral("apli.s"))));
    EXPECT_FALSE(QFile::exists(remote.file(QStringLiteral("skipped.s"))));
    job.target.files.clear();
    job.operation = WorkerMsg::SchedReadSettings;
    EXPECT_EQ(step.run(job, {}), ResultCode::FileMissing);
    const QString log = Cp932::decode(
        local.read(QStringLiteral("Log/") + QFileInfo(OpLog::todayFilePath()).fileName()));
    EXPECT_EQ(log.count(QStringLiteral("Ope15:")), 3) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("Ope17:")), 1);
    EXPECT_TRUE(log.contains(QStringLiteral("対象ファイル無し")));
}
