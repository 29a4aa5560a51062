// The program's test-only control socket, which the soak benchmark measures
// through: its notice count must be the register's, and it must start
// nothing but maintenance commands.
#include "ProgramRunner.h"
#include "TempDir.h"
#include "register/TermDatabase.h"

#include <QUdpSocket>
#include <gtest/gtest.h>

namespace
{

constexpr int Port = 43611;

// One notice of terminal "66<n>" from 127.0.66.<n>.
void sendNotice(QUdpSocket &from, int n)
{
    QByteArray notice(326, '\0');
    notice[0] = char(0x80), notice[1] = char(0x10);
    notice.replace(4, 4, QByteArray::number(6600 + n));
    notice[68] = 127, notice[69] = 0, notice[70] = 66, notice[71] = char(n);
    notice.replace(224, 17, QByteArrayLiteral("02:00:00:00:66:0") + QByteArray::number(n));
    from.writeDatagram(notice, QHostAddress(QStringLiteral("127.0.0.1")), quint16(Port));
}

} // namespace

TEST(TestControl, CountsCommittedNoticesAndStartsOnlyMaintenanceCommands)
{
    TempDir dir;
    MakeProgramFolder(dir.path(), "[System]\r\nCount=1\r\n\r\n[ModelSet1]\r\nMODEL=KT-100\r\n"
                                  "ID=kel\r\nPW=secret\r\n");
    {
        CTermDatabase db(dir.path());
        ASSERT_TRUE(db.startUp());
        SystemSettings s;
        ASSERT_EQ(db.readSystemSettings(s), 0);
        s.UDPPort = Port;
        ASSERT_EQ(db.writeSystemSettings(s), 0);
    }
    const QString path = dir.file(QStringLiteral("control.sock"));
    ProgramRunner p(dir.path());
    p.setEnv(QStringLiteral("KELMNGPC_TEST_CONTROL"), path);
    p.start();
    ControlClient c;
    ASSERT_TRUE(c.connectTo(path)) << p.stderrText().toStdString();
    EXPECT_EQ(c.ask(QStringLiteral("ping")), QStringLiteral("pong"));
    ASSERT_TRUE(WaitFor([&] { return c.ask(QStringLiteral("state")) == "running 0 socket 1"; },
                        15000));
    EXPECT_EQ(c.ask(QStringLiteral("notices")), QStringLiteral("applied 0 pending 0 dropped 0"));
    EXPECT_EQ(c.ask(QStringLiteral("results")), QString());

    std::vector<std::unique_ptr<QUdpSocket>> terminals;
    for (int n = 2; n <= 4; ++n) {
        terminals.push_back(std::make_unique<QUdpSocket>());
        ASSERT_TRUE(terminals.back()->bind(QHostAddress(QStringLiteral("127.0.66.%1").arg(n)), 0));
        sendNotice(*terminals.back(), n);
    }
    sendNotice(*terminals.front(), 2); // a terminal's second notice counts as well
    EXPECT_TRUE(WaitFor(
        [&] { return c.ask(QStringLiteral("notices")) == "applied 4 pending 0 dropped 0"; }, 15000))
        << c.ask(QStringLiteral("notices")).toStdString();
    ASSERT_TRUE(WaitFor([&] { return c.ask(QStringLiteral("rows")) == "3"; }, 15000));

    // Only the maintenance commands' actions: not exit, not delete.
    for (const char *other : {"actionExit", "actionDeleteTerminals", "nothing"})
        EXPECT_TRUE(c.ask(QStringLiteral("run ") + QLatin1String(other)).startsWith("ERR")) << other;
    EXPECT_TRUE(p.running());
    EXPECT_EQ(c.ask(QStringLiteral("select 1 5")), QStringLiteral("2"));
    EXPECT_EQ(c.ask(QStringLiteral("run actionTermInfo")), QStringLiteral("posted"));
    EXPECT_EQ(c.ask(QStringLiteral("run actionRestart")), QStringLiteral("refused"));
    EXPECT_TRUE(WaitFor([&] { return c.ask(QStringLiteral("state")) == "running 0 socket 1"; },
                        20000));
    // Both rows show "端末情報取得中" (kind 13) until their terminals answer.
    EXPECT_EQ(c.ask(QStringLiteral("results")), QStringLiteral("13/7:2"));
    EXPECT_EQ(c.ask(QStringLiteral("select 0 0")), QStringLiteral("0"));
    EXPECT_EQ(c.ask(QStringLiteral("run actionRestart")), QStringLiteral("refused"));

    p.terminate();
    EXPECT_TRUE(p.waitForExit());
    EXPECT_EQ(p.exitCode(), 0);
}
