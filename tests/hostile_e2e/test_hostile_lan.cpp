// A stranger on the office LAN (simulated terminals or a plain socket of his
// own) against the list window and the real communication stack.
#include "cmds_e2e/ViewStack.h"

#include "app/InitialSettingsWindow.h"
#include "comm/UdpMessages.h"
#include "initsettings/ui/InitSettingsDialog.h"
#include "support/TodayLog.h"

#include <QNetworkDatagram>
#include <QPushButton>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace
{

// A plain socket on a loopback address of the stranger's own.
struct Stranger {
    QUdpSocket socket;
    int port;
    Stranger(const QString &address, int pcPort) : port(pcPort)
    {
        socket.bind(QHostAddress(address), 0);
    }
    void send(const QByteArray &d)
    {
        socket.writeDatagram(d, QHostAddress(QStringLiteral("127.0.0.1")), quint16(port));
    }
    // Datagrams with this code received within the time (or once some came).
    int answers(std::uint16_t code, int timeoutMs)
    {
        int n = 0;
        pumpUntil(
            [&] {
                while (socket.hasPendingDatagrams())
                    n += Udp::messageCode(socket.receiveDatagram().data()) == code;
                return n > 0 && !socket.waitForReadyRead(0);
            },
            timeoutMs);
        return n;
    }
};

Udp::TermNotify forged(const QString &id, std::uint32_t address, int mac)
{
    Udp::TermNotify n;
    n.termId = id;
    n.address = address;
    n.machineName = QStringLiteral("KT-100");
    n.macAddress = QString::asprintf("02:66:00:00:%02X:%02X", mac / 256, mac % 256);
    return n;
}

QByteArray request(const Udp::TermNotify &n, std::uint16_t seq)
{
    Udp::TermRequest r;
    r.notify = n;
    r.sequence = seq;
    r.fileSelect = Udp::FileSelect::All;
    return Udp::buildTermRequest(r);
}

} // namespace

// 1001's settings (with its SIP password) and the model's FTP account reach
// 1001 alone: not a stranger with a MAC of his own, 1001's ID with a new MAC, or
// 1001's MAC from his address; nor does an ID with a line break forge a log line.
TEST(HostileLan, SettingsAndThePasswordGoOnlyToTheTerminalTheRegisterKnows)
{
    ViewStack stack(44121);
    ASSERT_TRUE(stack.up());
    stack.dir.write("Data/Sys/kel_sys1001.ini", "[SIP]\r\nSipPassword=pw1001\r\n");
    stack.dir.write("Data/User/kel_user1001.ini", "[User]\r\nName=1001\r\n");
    Termsim phone, thief;
    ASSERT_TRUE(stack.withTerminals(phone, "127.0.121.2", 1));
    ASSERT_TRUE(
        thief.start(stack.simArgs("127.0.121.66", 1) +
                    QStringList{"--set", "terminal_id=6666", "--set", "mac=02:66:00:00:00:01"}));
    ASSERT_TRUE(stack.waitRows(2));

    // Answered as unknown (3), no session, nothing uploaded to him.
    const auto refused = [&](const QStringList &steps) {
        thief.cmd("clear 0");
        for (const QString &step : steps)
            thief.cmd(step);
        thief.cmd("wait 0 TermRequestResult timeout=10");
        EXPECT_TRUE(thief.ok() && thief.fields(0, "TermRequestResult")["result"].toInt() == 3 &&
                    thief.json("files 0").toArray().isEmpty() &&
                    thief.received(0, "RemoteOpenReq").isEmpty())
            << steps.join(';').toStdString();
    };
    const QString crlf = "1\r\n1999/12/07 09:00  Ope99:FORGED LINE";
    refused({"send 0 hex=" + request(forged(crlf, 0x7F007942u, 1), 77).toHex()});
    refused({"set 0 terminal_id=1001", "request 0 stamps=',,'"});       // with his own MAC
    refused({"set 0 mac=02:00:7F:00:79:02 payload_address=127.0.121.2", // with 1001's MAC
             "request 0 stamps=',,'"});

    phone.cmd("request 0 stamps=',,'"); // the terminal itself still gets its files
    phone.cmd("wait 0 RemoteCloseReq timeout=20");
    EXPECT_EQ(phone.json("files 0").toArray().size(), 2);

    // 1001's ID with a new MAC of his, at his address: the ID is held twice
    // now, and the register vouches for neither; no session comes later.
    refused({"set 0 mac=02:66:00:00:00:02 payload_address=127.0.121.66", "notify 0",
             "request 0 stamps=',,'"});
    EXPECT_FALSE(pumpUntil([&] { return !thief.received(0, "RemoteOpenReq").isEmpty(); }, 1000));

    OpLog::flushRepeated();
    const QString log = todayLog(stack.dir.path());
    EXPECT_FALSE(log.contains("\r\n1999/12/07")) << "no forged line";
    EXPECT_TRUE(log.contains(QStringLiteral("端末ID:1??1999/12/07 09:00  Ope99:FORGED LINE "
                                            "IPアドレス:127.0.121.66")));
    EXPECT_EQ(log.count("Err07:ファイル無し"), 1) << "no Config/FirmFilePath.ini: once a minute";
}

// While initial settings run, strangers ask for them: a new terminal needs
// a MAC address of its own, and five at once for a model without
// description get one box at a time, the rest counted. (Once per address
// is the manager's test.)
TEST(HostileLan, InitialSettingsRequestsShowOneBoxAtATime)
{
    ViewStack stack(44124, 1);
    ASSERT_TRUE(stack.up());
    CInitialSettingsTable table;
    InitialSettingsWindow window(*stack.view, stack.decider, table);
    ASSERT_EQ(stack.view->database().writeInitInfo(InitInfo{0, "7100", 500}), 0);
    CInitSettingsDialog dialog(stack.view->database(), table);
    stack.view->setInitialSettingsMode(&dialog);
    dialog.show();
    dialog.executeButton->click();
    ASSERT_TRUE(dialog.running());
    struct Boxes : ScriptedPrompter {
        int depth = 0, deepest = 0;
        int systemMessageBox(const QString &t, const QString &c, unsigned type) override
        {
            deepest = std::max(deepest, ++depth);
            pumpUntil([] { return false; }, 300); // a modal box runs the event loop
            --depth;
            return ScriptedPrompter::systemMessageBox(t, c, type);
        }
    } boxes;

    Stranger odd("127.0.124.80", stack.port);
    Udp::TermNotify ask = forged("ERROR", 0, 0);
    ask.macAddress = QStringLiteral("02:66:00:00:00");
    odd.send(request(ask, 1));
    EXPECT_EQ(odd.answers(Udp::Code::TermRequestResult, 5000), 1) << "five bytes: not accepted";

    std::vector<std::unique_ptr<Stranger>> five;
    ask.machineName = QStringLiteral("KT-999");
    for (int n = 0; n < 5; ++n) {
        five.push_back(std::make_unique<Stranger>(QString("127.0.124.%1").arg(70 + n), stack.port));
        ask.macAddress = QString::asprintf("02:66:00:00:01:%02X", n);
        five.back()->send(request(ask, quint16(n)));
    }
    ASSERT_TRUE(pumpUntil([&] { return boxes.records.size() >= 2 && boxes.depth == 0; }, 10000));
    pumpUntil([] { return false; }, 500);
    EXPECT_EQ(boxes.deepest, 1);
    EXPECT_LT(boxes.records.size(), 5) << boxes.texts().join('|').toStdString();
    EXPECT_TRUE(boxes.records.last().text.contains(QStringLiteral("ほかに")));
    dialog.endButton->click();
}
