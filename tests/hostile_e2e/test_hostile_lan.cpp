// A stranger on the office LAN, sending what an attacker sends over UDP
// (from the simulator's terminals or a plain socket on an address of its
// own) against the list window with the real communication stack: no
// settings file or FTP password for him, no list kept busy, no register or
// log grown without end, one box at a time. (Sessions and acks ahead of his
// floods are the send queue's tests.)
#include "cmds_e2e/ViewStack.h"

#include "app/InitialSettingsWindow.h"
#include "comm/RegisterLogWriter.h"
#include "comm/UdpMessages.h"
#include "common/Cp932.h"
#include "initsettings/ui/InitSettingsDialog.h"
#include "register/TermDatabase.h"
#include "termlist/NoticeApplier.h"
#include "termlist/TermListModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
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
    // Datagrams with this code received within the time.
    int answers(std::uint16_t code, int timeoutMs)
    {
        int n = 0;
        QElapsedTimer t;
        t.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            while (socket.hasPendingDatagrams())
                n += Udp::messageCode(socket.receiveDatagram().data()) == code;
        } while (t.elapsed() < timeoutMs && (n == 0 || socket.waitForReadyRead(0)));
        return n;
    }
};

Udp::TermNotify forged(const QString &id, std::uint32_t address, int mac)
{
    Udp::TermNotify n;
    n.termId = id;
    n.address = address;
    n.machineName = QStringLiteral("KT-100");
    n.macAddress = QStringLiteral("02:66:00:00:%1:%2")
                       .arg(mac / 256, 2, 16, QLatin1Char('0'))
                       .arg(mac % 256, 2, 16, QLatin1Char('0'))
                       .toUpper();
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

QString todaysLog(const ViewStack &stack)
{
    OpLog::flushRepeated();
    return Cp932::decode(stack.dir.read("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()));
}

} // namespace

// Terminal 1001's settings (with its SIP password) and the model's FTP
// account reach terminal 1001 alone: not a stranger who registered a MAC
// of his own, copied 1001's ID with a new MAC, or uses 1001's MAC from his
// address; nor does a terminal ID with a line break forge a log line.
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
    // now, and the register vouches for neither (the list shows the alert).
    refused({"set 0 mac=02:66:00:00:00:02 payload_address=127.0.121.66", "notify 0",
             "request 0 stamps=',,'"});
    pumpUntil([] { return false; }, 1000); // no session comes later either
    EXPECT_TRUE(thief.received(0, "RemoteOpenReq").isEmpty());

    const QString log = todaysLog(stack);
    EXPECT_FALSE(log.contains("\r\n1999/12/07")) << "no forged line";
    EXPECT_TRUE(log.contains(QStringLiteral("端末ID:1??1999/12/07 09:00  Ope99:FORGED LINE "
                                            "IPアドレス:127.0.121.66")));
    EXPECT_EQ(log.count("Err07:ファイル無し"), 1) << "no Config/FirmFilePath.ini: once a minute";
}

// Notices from a stranger, each with a new MAC, each followed by a request:
// the list is not re-read for every request (the redraw timer, 10 s here,
// redraws), and new rows from his address come at the set rate only, with
// a note in the status line and one log line for the lot.
TEST(HostileLan, ForgedNoticesAndRequestsNeitherGrowTheRegisterNorKeepTheListBusy)
{
    // Two minutes on: what the other tests of this process logged is out of
    // the once-a-minute count.
    OpLog::setClock([] { return QDateTime::currentDateTime().addSecs(120); });
    const std::shared_ptr<void> realClock(nullptr, [](void *) { OpLog::setClock({}); });
    ViewStack stack(44123, 1, "100");
    ASSERT_TRUE(stack.up());
    CTermDatabase &db = stack.view->database();
    SystemSettings s;
    ASSERT_EQ(db.readSystemSettings(s), 0);
    s.NewTermRate = 20;
    db.writeSystemSettings(s);
    stack.view->applyStoredSettings();
    stack.view->noticeApplier().setClock([] { return qint64(0); }); // no refill meanwhile
    RegisterLogWriter registerLog;
    db.setLogWriter(&registerLog);
    int reads = 0;
    QObject::connect(stack.view->listModel(), &QAbstractItemModel::modelReset, [&] { ++reads; });

    Stranger stranger("127.0.123.66", stack.port);
    for (int i = 0; i < 40; ++i) {
        const Udp::TermNotify n = forged(QString::number(9000 + i), 0x7F007B42u, i);
        stranger.send(Udp::buildTermNotify(n));
        stranger.send(request(n, quint16(i)));
        ASSERT_EQ(stranger.answers(Udp::Code::TermRequestResult, 5000), 1) << i;
    }
    EXPECT_LE(reads, 1) << "only the redraw timer redraws";
    for (int i = 40; i < 2000; ++i)
        stranger.send(Udp::buildTermNotify(forged(QString::number(9000 + i), 0x7F007B42u, i)));
    ASSERT_TRUE(pumpUntil([&] { return stack.view->noticeApplier().applied() >= 2000; }, 20000));
    stack.view->refresh();
    EXPECT_EQ(stack.view->listModel()->rowCount(), 20);
    EXPECT_TRUE(stack.view->statusText().contains(QStringLiteral("1980 件は登録していません")))
        << stack.view->statusText().toStdString();
    const QString log = todaysLog(stack);
    // One for the 20 rows that hold one address, one for the requests of
    // the terminals that got no row.
    EXPECT_EQ(log.count("Err02:端末ID不一致"), 2) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("新規端末登録見送り")), 1);
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
    Udp::TermNotify noMac = forged("ERROR", 0, 0);
    noMac.macAddress = QStringLiteral("02:66:00:00:00");
    odd.send(request(noMac, 1));
    EXPECT_EQ(odd.answers(Udp::Code::TermRequestResult, 5000), 1) << "five bytes: not accepted";

    std::vector<std::unique_ptr<Stranger>> five;
    for (int n = 0; n < 5; ++n) {
        five.push_back(
            std::make_unique<Stranger>(QStringLiteral("127.0.124.%1").arg(70 + n), stack.port));
        Udp::TermNotify ask = forged("ERROR", 0, 100 + n);
        ask.machineName = QStringLiteral("KT-999");
        five.back()->send(request(ask, quint16(n)));
    }
    ASSERT_TRUE(pumpUntil([&] { return boxes.records.size() >= 2 && boxes.depth == 0; }, 10000));
    pumpUntil([] { return false; }, 500);
    EXPECT_EQ(boxes.deepest, 1);
    EXPECT_LT(boxes.records.size(), 5) << boxes.texts().join('|').toStdString();
    EXPECT_TRUE(boxes.records.last().text.contains(QStringLiteral("ほかに")));
    dialog.endButton->click();
}
