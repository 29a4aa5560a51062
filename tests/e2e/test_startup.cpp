// The real program started, refused, and ended.
#include "ProgramRunner.h"
#include "TempDir.h"
#include "comm/UdpMessages.h"

#include <QFile>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

// Whether a terminal's notice from 127.0.65.2 to the port gets its ack in time.
static bool answersNotice(int port, int ms)
{
    QUdpSocket sock;
    Udp::TermNotify n;
    n.termId = QStringLiteral("6501");
    n.address = 0x7F004102u;
    n.macAddress = QStringLiteral("02:00:00:00:65:02");
    return sock.bind(QHostAddress(QStringLiteral("127.0.65.2")), 0) &&
           WaitFor(
               [&] {
                   sock.writeDatagram(Udp::buildTermNotify(n), QHostAddress::LocalHost,
                                      quint16(port));
                   return sock.waitForReadyRead(200) &&
                          Udp::messageCode(sock.receiveDatagram().data()) ==
                              Udp::Code::TermNotifyAck;
               },
               ms);
}

// One copy per folder and per UDP port, even where the socket could be shared;
// SIGTERM ends it with 0, freeing both. A port held elsewhere is shown; it stays up.
TEST(Startup, OneCopyPerFolderAndPortEndsOnSigterm)
{
    TempDir one, two;
    MakeProgramFolder(one.path(), OneFtpAccount, 43606);
    MakeProgramFolder(two.path(), OneFtpAccount, 43606);
    const QString lock = one.file(QStringLiteral("QUVAIPPHONEMANAGER.lock"));
    const QString busy =
        QStringLiteral("クヴァＩＰフォンマネージャ管理用ツールは既に起動しているか､"
                       "現在使用不能な状態にあります｡");
    ProgramRunner first(one.path());
    first.setEnv("KELMNGPC_TEST_SHARED_UDP_PORT", "1");
    first.start();
    ASSERT_TRUE(answersNotice(43606, 15000)) << first.stderrText().toStdString();
    EXPECT_TRUE(QFile::exists(lock));
    for (const TempDir *folder : {&one, &two}) {
        ProgramRunner second(folder->path());
        second.setEnv("KELMNGPC_TEST_SHARED_UDP_PORT", "1");
        second.start();
        EXPECT_GT(second.finish(), 0) << "a second copy runs beside the first";
        EXPECT_TRUE(second.stderrText().contains(busy)) << second.stderrText().toStdString();
    }
    EXPECT_TRUE(answersNotice(43606, 5000)) << "the first copy still hears its terminals";

    first.terminate();
    EXPECT_EQ(first.finish(), 0) << first.stderrText().toStdString();
    EXPECT_FALSE(QFile::exists(lock));
    {
        ProgramRunner again(two.path());
        again.start();
        EXPECT_TRUE(answersNotice(43606, 15000)) << again.stderrText().toStdString();
        again.terminate();
        ASSERT_TRUE(again.waitForExit());
    }

    QUdpSocket holder; // another program's socket on the port
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 43606));
    ProgramRunner held(one.path());
    held.start();
    // The offscreen program writes its message boxes to stderr.
    EXPECT_TRUE(WaitFor(
        [&] {
            return held.stderrText().contains(
                QStringLiteral("通信ポート番号 43606 を使用できません。"));
        },
        15000))
        << held.stderrText().toStdString();
    EXPECT_TRUE(held.running()) << "the user can change the port";
    held.terminate();
    EXPECT_EQ(held.finish(), 0);
}

// Refused before any window, in the saved language over the locale's (the
// option: the window walk; which wins: the unit tests).
TEST(Startup, RefusedForTheFtpAccountsBeforeAnyWindow)
{
    const struct {
        QByteArray accounts;
        const char *saved, *text;
    } cases[] = {
        {"[System]\r\nCount=2\r\n[ModelSet1]\r\nMODEL=A\r\nID=a\r\nPW=a\r\n"
         "[ModelSet2]\r\nMODEL=Supervisor\r\nID=s\r\nPW=s\r\n",
         nullptr, "複数機種のFTPアカウントを設定している場合、スーパーバイザ設定はできません。"},
        {QByteArray(), "en", "Start Error\nNo FTP account is set up."},
    };
    for (const auto &c : cases) {
        TempDir dir;
        MakeProgramFolder(dir.path(), c.accounts);
        if (c.saved)
            dir.write(QStringLiteral(".userconfig/KelMngPC/KelMngPC.conf"),
                      QByteArray("[ui]\nlanguage=") + c.saved + "\n");
        ProgramRunner p(dir.path());
        p.setEnv(QStringLiteral("LANG"), QStringLiteral("ja_JP.UTF-8"));
        p.start();
        EXPECT_GT(p.finish(), 0) << c.text;
        EXPECT_TRUE(p.stderrText().contains(QString::fromUtf8(c.text)))
            << p.stderrText().toStdString();
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("KELMNGPC_V11.MDB"))));
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("QUVAIPPHONEMANAGER.lock"))));
    }
}
