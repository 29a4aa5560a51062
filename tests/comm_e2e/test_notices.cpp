// Terminal notices end to end: the acknowledgement on the wire and the
// register update, a refused MAC address finding its row again.
#include "CommStack.h"

#include <gtest/gtest.h>

TEST(NoticeE2e, AnsweredWithTheTimeAndIntervalAndRegistered)
{
    CommStack stack({.udpPort = 43101, .entryInt = 7});
    ASSERT_TRUE(stack.up());
    // Terminal 0 sends from a second port; terminal 2 names terminal 3's
    // address inside its notice, and 3 holds 2's ID.
    stack.dir.write("scenario.json", R"({"terminals": [{"source_port": 0}, {}, {}, {}]})");
    Termsim sim;
    ASSERT_TRUE(sim.start(simArgs("127.0.43.2", 4, 43101)
                          << "--no-ftp"
                          << "--scenario" << stack.dir.file("scenario.json")))
        << sim.lastLine().toStdString();
    sim.cmd(R"(set 0 mac=' 00:1a:2B:3c:4D:5e ' terminal_id='"5001"' ver_apli='"3.10"' regist=3)");
    sim.cmd(R"(set 1 terminal_id='"5002"' mac=001A2B3C4D5F)");
    sim.cmd(R"(set 2 payload_address=127.0.43.5 terminal_id='"5003"' mac=00:00:00:00:00:03)");
    sim.cmd(R"(set 3 terminal_id='"5003"' mac=00:00:00:00:00:04)");
    sim.cmd("notify all");
    sim.cmd("wait 3 TermNotifyAck count=2 timeout=10");
    sim.cmd("wait 0 TermNotifyAck timeout=10");
    ASSERT_TRUE(sim.ok()) << sim.lastLine().toStdString();

    const QJsonObject ack = sim.received(0, "TermNotifyAck").at(0).toObject();
    EXPECT_EQ(ack.value("size").toInt(), 12);
    EXPECT_TRUE(ack["fields"]["bcd_ok"].toBool());
    EXPECT_EQ(ack["fields"]["entry_int"].toInt(), 7);
    EXPECT_FALSE(ack.value("local").toString().endsWith(":43101")) << "answered to the source port";
    EXPECT_EQ(sim.received(2, "TermNotifyAck").size(), 0) << "answered to the address inside";

    ASSERT_TRUE(pumpUntil([&] { return stack.rows().size() == 4; }, 5000));
    for (const TermEntry &r : stack.rows()) {
        if (r.TermID == QLatin1String("5001")) {
            EXPECT_EQ(QStringList({r.UserInfo1, r.IPAddr, r.VerApli, r.MachineName}),
                      QStringList({"00:1A:2B:3C:4D:5E", "127.000.043.002", "3.10", "KT-100"}));
        }
        EXPECT_EQ(r.Regist, r.TermID == QLatin1String("5001") ? 3 : 1);
        EXPECT_EQ(r.TermIDAlert + r.IPAddrAlert, r.TermID == QLatin1String("5003") ? 2 : 0);
    }
    // Its MAC refused, terminal 1 keeps its one row however often it
    // announces itself, one by one or in one burst.
    for (int i = 0; i < 3; ++i)
        sim.cmd("notify 1");
    ASSERT_TRUE(pumpUntil(
        [&] { return stack.view->applier.applied() + stack.view->applier.pending() == 7; }, 5000));
    EXPECT_EQ(stack.rows().size(), 4u);
}
