// One copy per UDP port on the machine; a port another program holds is shown
// to the user.
#include "ProgramRunner.h"
#include "TempDir.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace
{

const char *const kTestShare = "KELMNGPC_TEST_SHARED_UDP_PORT";

// Sends a terminal's notice from 127.0.65.2 to the port; true when a
// TermNotifyAck comes back within the time.
bool answersNotice(int port, int ms)
{
    QUdpSocket sock;
    if (!sock.bind(QHostAddress(QStringLiteral("127.0.65.2")), 0))
        return false;
    QByteArray notice(326, '\0');
    notice[0] = char(0x80), notice[1] = char(0x10);
    notice.replace(4, 4, "6501");
    notice[68] = 127, notice[69] = 0, notice[70] = 65, notice[71] = 2;
    notice.replace(224, 17, "02:00:00:00:65:02");
    return WaitFor(
        [&] {
            sock.writeDatagram(notice, QHostAddress(QStringLiteral("127.0.0.1")), quint16(port));
            if (!sock.waitForReadyRead(200))
                return false;
            const QByteArray ack = sock.receiveDatagram().data();
            return ack.size() == 12 && ack[0] == 0 && ack[1] == 0x10;
        },
        ms);
}

} // namespace

TEST(UdpPort, SecondCopyOnAnotherFolderWithTheSamePortIsRefused)
{
    TempDir one, two;
    MakeProgramFolder(one.path(), OneFtpAccount, 43606);
    MakeProgramFolder(two.path(), OneFtpAccount, 43606);
    // Even where the socket itself could be shared, the second copy must not start.
    ProgramRunner first(one.path());
    first.setEnv(kTestShare, "1");
    first.start();
    ASSERT_TRUE(answersNotice(43606, 15000)) << first.stderrText().toStdString();

    ProgramRunner second(two.path());
    second.setEnv(kTestShare, "1");
    second.start();
    EXPECT_GT(second.finish(), 0) << "the second copy runs beside the first";
    const QString err = second.stderrText();
    EXPECT_TRUE(err.contains(QStringLiteral("重複起動エラー"))) << err.toStdString();
    EXPECT_TRUE(
        err.contains(QStringLiteral("クヴァＩＰフォンマネージャ管理用ツールは既に起動しているか､"
                                    "現在使用不能な状態にあります｡")));
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(answersNotice(43606, 5000)) << "the first copy still hears its terminals";

    // Once the first has ended, the port is free for the other folder.
    first.terminate();
    EXPECT_EQ(first.finish(), 0);
    ProgramRunner again(two.path());
    again.start();
    EXPECT_TRUE(answersNotice(43606, 15000)) << again.stderrText().toStdString();
    again.terminate();
    ASSERT_TRUE(again.waitForExit());
}

TEST(UdpPort, PortHeldByAnotherProgramIsShownInTheMessageBox)
{
    TempDir dir;
    MakeProgramFolder(dir.path(), OneFtpAccount, 43607);
    QUdpSocket holder; // another program's socket on the port
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 43607));
    ProgramRunner p(dir.path());
    p.start();
    // The offscreen program writes its message boxes to stderr.
    const QString text = QStringLiteral("通信ポート番号 43607 を使用できません。");
    EXPECT_TRUE(WaitFor([&] { return p.stderrText().contains(text); }, 15000))
        << p.stderrText().toStdString();
    EXPECT_TRUE(p.stderrText().contains(QStringLiteral("通信ポートエラー")));
    EXPECT_TRUE(p.running()) << "the program stays up; the user can change the port";
    p.terminate();
    EXPECT_EQ(p.finish(), 0);
}
