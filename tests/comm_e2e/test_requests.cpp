// Requests end to end: send spacing, sessions ahead of a burst of acks, a
// terminal's own update, two reads into one local file.
#include "CommStack.h"

#include "comm/UpdateDecider.h"
#include "common/ProcessValues.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

// Terminal n has the ID 8001 + n.
QStringList args(const QString &base, int count, int port)
{
    return simArgs(base, count, port) + QStringList{"--id-start", "8001"};
}

QList<TerminalEntry> entries(const CommStack &stack, const char *net, int count)
{
    QList<TerminalEntry> out;
    for (int i = 0; i < count; ++i)
        out << stack.entry(QString("%1.%2").arg(net).arg(2 + i), QString::number(8001 + i));
    return out;
}

} // namespace

// Start notices (acks), terminal information requests (200 ms apart) and a
// restart (opens and closes) at once: no two datagrams closer than SendDelay.
TEST(RequestE2e, DatagramsArePaced)
{
    CommStack stack({.udpPort = 43304, .sendDelayMs = 50});
    ASSERT_TRUE(stack.up());
    Termsim sim;
    QStringList a = args("127.0.53.2", 4, 43304);
    a.removeAll("--no-start-notify");
    ASSERT_TRUE(sim.start(a));
    const TaskMessage *info = stack.run(RequestKind::TermInfo, entries(stack, "127.0.53", 3));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(RequestOf(*info)->endFlag, 1);
    EXPECT_EQ(stack.view->count(TaskKind::TermInfoSent), 3);
    const QJsonArray reqs = sim.json("received all name=TermInfoReq").toArray();
    ASSERT_EQ(reqs.size(), 3);
    const auto at = [](const QJsonValue &r) { // the kernel's time where there is one
        return r[r["t_kernel"].isDouble() ? "t_kernel" : "t_mono"].toDouble();
    };
    // 200 ms after the hand-over to the paced sender, with some jitter under load.
    EXPECT_GE(at(reqs[1]) - at(reqs[0]), 0.19);
    EXPECT_GE(at(reqs[2]) - at(reqs[1]), 0.19);
    EXPECT_EQ(stack.log().count("Ope09:端末情報取得要求"), 3);

    ASSERT_NE(stack.run(RequestKind::Restart, entries(stack, "127.0.53", 4)), nullptr);
    sim.cmd("wait all TermNotifyAck count=4 timeout=10");
    ASSERT_TRUE(sim.ok()) << sim.lastLine().toStdString();
    const QJsonObject pc = sim.json("dump").toObject().value("pc_datagrams").toObject();
    EXPECT_GE(pc.value("count").toInt(), 15);
    EXPECT_GE(pc.value("min_gap_ms").toDouble(), 50.0) << QJsonDocument(pc).toJson().toStdString();
}

// A restart while the acks of 2,000 notices wait at SendDelay 100 ms (200 s
// of acks): the session's datagrams go first, so it ends inside its time-outs.
TEST(RequestE2e, SessionsGoAheadOfABurstOfAcks)
{
    CommStack stack({.udpPort = 43605, .sendDelayMs = 100});
    ASSERT_TRUE(stack.up());
    Termsim sim;
    ASSERT_TRUE(sim.start(args("127.0.66.2", 1, 43605)));
    sim.cmd("burst count=2000 rate=0 addr_base=127.1.64.0 idle_s=600");
    ASSERT_TRUE(sim.ok()) << sim.lastLine().toStdString();
    ASSERT_TRUE(pumpUntil(
        [&] { return stack.view->applier.applied() + stack.view->applier.pending() >= 2000; },
        20000));
    const TaskMessage *done = stack.run(RequestKind::Restart, entries(stack, "127.0.66", 1));
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(RequestOf(*done)->entries.at(0).result, ResultCode::Success);
    EXPECT_EQ(sim.closes(0, 1), 1);
}

// A terminal asking without stamps gets its settings file; while the update
// runs the program knows it (and refuses to close), then the count is 0 again.
TEST(RequestE2e, ARunningTerminalUpdateIsCountedUntilItEnds)
{
    CAutoUpdateDecider decider;
    CommStack stack({.udpPort = 43306, .decider = &decider});
    ASSERT_TRUE(stack.up());
    stack.dir.write("Data/Sys/kel_sys8001.ini", "[S]\r\nA=1\r\n");
    stack.dir.write("Config/FirmFilePath.ini", "");
    Termsim sim;
    ASSERT_TRUE(sim.start(args("127.0.55.2", 1, 43306)));
    sim.cmd("set 0 reply_delay_ms=400");
    sim.cmd("request 0 select=1");
    ASSERT_TRUE(pumpUntil([] { return ProcessValues::remoteUpdateCount == 1; }, 10000));
    ASSERT_TRUE(stack.view->waitFor(TaskKind::TermRequestEnded));
    EXPECT_TRUE(pumpUntil([] { return ProcessValues::remoteUpdateCount == 0; }, 2000));
    EXPECT_EQ(stack.view->last(TaskKind::TermRequestEnded)->slot<TermRequestPayload>(0)->result, 0);
    EXPECT_EQ(sim.json("files 0").toArray().size(), 1);
}

// Two terminals with one ID read into one local file at once: each download
// has its own temporary file, the file left is one terminal's whole file.
// A third read cut on the wire keeps the old file.
TEST(SessionE2e, TwoReadsIntoOneLocalFileNeverMix)
{
    CommStack stack({.udpPort = 43603, .ftpMode = 0});
    ASSERT_TRUE(stack.up());
    Termsim sim;
    ASSERT_TRUE(sim.start(simArgs("127.0.62.2", 3, 43603))) << sim.lastLine().toStdString();
    QByteArray contents[2];
    for (int t = 0; t < 2; ++t) {
        for (int i = 0; i < 4000; ++i)
            contents[t] +=
                QByteArray("Terminal") + char('A' + t) + "Line" + QByteArray::number(i) + "\r\n";
        QFile f(sim.json("list").toArray().at(t).toObject().value("folder").toString() +
                "/kel_sys.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(contents[t]) == contents[t].size());
    }
    // Both transfers pause half-way, long enough for the other to write.
    sim.cmd("set 0 ftp_fault=stall fault_on=retr stall_s=0.6");
    sim.cmd("set 1 ftp_fault=stall fault_on=retr fault_after=20000 stall_s=0.3");
    sim.cmd("set 2 ftp_fault=cut fault_on=retr");
    ASSERT_TRUE(sim.ok());
    const QString local = stack.dir.file("Data/Sys/kel_sys7001.ini");
    const QByteArray old = "[Old]\r\nKeep=1\r\n";
    stack.dir.write("Data/Sys/kel_sys7001.ini", old);
    stack.dir.write("Data/Sys/kel_sys7002.ini", old);
    const TaskMessage *done = stack.run(
        RequestKind::ReadSys,
        {stack.entry("127.0.62.2", "7001", local), stack.entry("127.0.62.3", "7001", local),
         stack.entry("127.0.62.4", "7002", stack.dir.file("Data/Sys/kel_sys7002.ini"))});
    ASSERT_NE(done, nullptr);
    std::vector<int> results;
    for (const TerminalEntry &e : RequestOf(*done)->entries)
        results.push_back(e.result);
    EXPECT_EQ(results, (std::vector<int>{0, 0, 6}));
    const QByteArray got = stack.dir.read("Data/Sys/kel_sys7001.ini");
    EXPECT_TRUE(got == contents[0] || got == contents[1])
        << "a mixed file of " << got.size() << " bytes";
    EXPECT_EQ(stack.dir.read("Data/Sys/kel_sys7002.ini"), old);
    EXPECT_EQ(QDir(stack.dir.file("Data/Sys")).entryList(QDir::Files),
              (QStringList{"kel_sys7001.ini", "kel_sys7002.ini"}))
        << "no temporary file is left behind";
    EXPECT_TRUE(stack.log().contains("Ope01:システム設定読み込み"));
}
