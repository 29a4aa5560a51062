// Requests end to end: many terminals over ten workers, cancel, refusal,
// the terminal information request, send spacing and a terminal-initiated
// update over a standing worker.
#include "CommStack.h"

#include "comm/RemoteNames.h"
#include "comm/UpdateDecider.h"
#include "common/ProcessValues.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>

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

// When a terminal received the datagram: the kernel's time where there is one.
double at(const QJsonValue &record)
{
    const QJsonObject r = record.toObject();
    return r.value(r.value("t_kernel").isDouble() ? "t_kernel" : "t_mono").toDouble();
}

} // namespace

TEST(RequestE2e, TwentyFiveTerminalsOverTenWorkers)
{
    CommStack stack({.udpPort = 43301});
    ASSERT_TRUE(stack.up());
    Termsim sim;
    ASSERT_TRUE(sim.start(args("127.0.50.2", 25, 43301))) << sim.lastLine().toStdString();
    sim.cmd("set all reply_delay_ms=30");
    const TaskMessage *done = stack.run(RequestKind::Restart, entries(stack, "127.0.50", 25));
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(stack.view->count(CompletionKind::Restart), 1);
    for (const TerminalEntry &e : RequestOf(*done)->entries)
        EXPECT_EQ(e.result, ResultCode::Success);
    EXPECT_EQ(stack.view->progress.front().done, 0);
    EXPECT_EQ(stack.view->progress.back().done, 25);
    EXPECT_EQ(stack.view->progress.back().total, 25);

    // Never more than ten sessions at once; the 11th opens after a first close.
    std::vector<std::pair<double, int>> events;
    double firstClose = 1e18, eleventhOpen = 0;
    for (const QJsonValue &v : sim.json("received all name=RemoteOpenReq").toArray()) {
        events.push_back({at(v), +1});
        if (v.toObject().value("terminal").toInt() == 10)
            eleventhOpen = at(v);
    }
    for (const QJsonValue &v : sim.json("received all name=RemoteCloseReq").toArray()) {
        events.push_back({at(v), -1});
        firstClose = std::min(firstClose, at(v));
    }
    ASSERT_EQ(events.size(), 50u);
    std::sort(events.begin(), events.end());
    int open = 0, most = 0;
    for (const auto &e : events)
        most = std::max(most, open += e.second);
    EXPECT_EQ(most, 10);
    EXPECT_GT(eleventhOpen, firstClose);
}

TEST(RequestE2e, CancelAfterTwelveAndASecondRequestRefused)
{
    CommStack stack({.udpPort = 43302});
    ASSERT_TRUE(stack.up());
    Termsim sim;
    ASSERT_TRUE(sim.start(args("127.0.51.2", 25, 43302))) << sim.lastLine().toStdString();
    for (const char *c :
         {"set all reply_delay_ms=1500", "set 0 reply_delay_ms=0", "set 1 reply_delay_ms=0"})
        sim.cmd(c);
    stack.post(RequestKind::Restart, entries(stack, "127.0.51", 25));
    // Two fast terminals done: twelve handed out.
    ASSERT_TRUE(pumpUntil(
        [&] { return !stack.view->progress.empty() && stack.view->progress.back().done == 2; },
        10000));

    stack.post(RequestKind::ReadSys, entries(stack, "127.0.51", 3));
    ASSERT_TRUE(stack.view->waitFor(TaskKind::RequestEnded, 1, 2000)) << "refused at once";
    EXPECT_EQ(RequestOf(*stack.view->last(TaskKind::RequestEnded))->endFlag, 0);

    PostToThread(ProcessValues::CommThreadId, Msg::Task, 0,
                 std::make_unique<TaskMessage>(ProcessValues::MainThreadId, RequestKind::Cancel));
    ASSERT_TRUE(stack.view->waitFor(CompletionKind::Restart, 1, 20000));
    const auto &done = RequestOf(*stack.view->last(CompletionKind::Restart))->entries;
    EXPECT_EQ(std::count_if(done.begin(), done.end(), [](auto &e) { return e.result == 7; }), 13);
    EXPECT_EQ(sim.json("received all name=RemoteOpenReq").toArray().size(), 12);
    EXPECT_TRUE(stack.log().contains("Ope12:処理キャンセル"));
}

TEST(RequestE2e, TerminalInformationRequestIsPacedAndAnsweredByNotices)
{
    CommStack stack({.udpPort = 43303});
    ASSERT_TRUE(stack.up());
    Termsim sim;
    ASSERT_TRUE(sim.start(args("127.0.52.2", 3, 43303)));
    const TaskMessage *done = stack.run(RequestKind::TermInfo, entries(stack, "127.0.52", 3));
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(RequestOf(*done)->endFlag, 1);
    EXPECT_EQ(stack.view->count(TaskKind::TermInfoSent), 3);
    const QJsonArray reqs = sim.json("received all name=TermInfoReq").toArray();
    ASSERT_EQ(reqs.size(), 3);
    // The 200 ms pause follows the hand-over to the paced sender, so a send
    // held up under load may arrive a little late; allow that jitter.
    EXPECT_GE(at(reqs[1]) - at(reqs[0]), 0.19);
    EXPECT_GE(at(reqs[2]) - at(reqs[1]), 0.19);
    ASSERT_TRUE(pumpUntil([&] { return stack.rows().size() == 3; }, 5000));
    EXPECT_EQ(stack.log().count("Ope09:端末情報取得要求"), 3);
}

TEST(RequestE2e, DatagramsLeaveAtLeastSendDelayApart)
{
    CommStack stack({.udpPort = 43304, .sendDelayMs = 50});
    ASSERT_TRUE(stack.up());
    Termsim sim;
    // Start notices (acks) and a restart (opens and closes) all at once.
    QStringList a = args("127.0.53.2", 4, 43304);
    a.removeAll("--no-start-notify");
    ASSERT_TRUE(sim.start(a));
    ASSERT_NE(stack.run(RequestKind::Restart, entries(stack, "127.0.53", 4)), nullptr);
    // The acks wait behind the sessions' datagrams; they come last.
    sim.cmd("wait all TermNotifyAck count=4 timeout=10");
    ASSERT_TRUE(sim.ok()) << sim.lastLine().toStdString();
    const QJsonObject pc = sim.json("dump").toObject().value("pc_datagrams").toObject();
    EXPECT_GE(pc.value("count").toInt(), 12);
    EXPECT_GE(pc.value("min_gap_ms").toDouble(), 50.0) << QJsonDocument(pc).toJson().toStdString();
}

TEST(RequestE2e, TerminalInitiatedUpdateRunsOnAStandingWorker)
{
    CAutoUpdateDecider decider;
    CommStack stack({.udpPort = 43305, .decider = &decider});
    ASSERT_TRUE(stack.up());
    stack.dir.write("Config/FirmFilePath.ini", "[None]\r\n");
    stack.dir.write("Data/Sys/kel_sys8001.ini", "[SIP]\r\nSipAddress=8001\r\n");
    stack.dir.write("Data/Sys/kel_sys8002.ini", "[SIP]\r\nSipAddress=8002\r\n");
    const QString stamp =
        RemoteNames::stamp(QFileInfo(stack.dir.file("Data/Sys/kel_sys8001.ini")).lastModified());
    Termsim sim;
    ASSERT_TRUE(sim.start(args("127.0.54.2", 2, 43305)));

    // The terminal's copy is newer: answered at once with "up to date".
    sim.cmd("request 1 seq=41 select=1 stamps=01012099000000,01012099000000,01012099000000");
    sim.cmd("wait 1 TermRequestResult timeout=10");
    ASSERT_TRUE(sim.ok());
    EXPECT_EQ(sim.fields(1, "TermRequestResult").value("seq").toInt(), 41);
    EXPECT_EQ(sim.fields(1, "TermRequestResult").value("result").toInt(), 1);

    // No stamps from terminal 0: its system settings file is sent.
    sim.cmd("request 0 seq=7 select=1");
    ASSERT_TRUE(stack.view->waitFor(TaskKind::RemoteSeriesEnded, 1, 20000));
    EXPECT_EQ(sim.fields(0, "TermRequestAccept").value("seq").toInt(), 7);
    EXPECT_EQ(stack.view->count(TaskKind::TermRequestDecide), 2);
    EXPECT_EQ(stack.view->count(TaskKind::RemoteSeriesBegan), 1);
    EXPECT_EQ(stack.view->queuedSignals, 1);
    ASSERT_EQ(stack.view->count(TaskKind::TermRequestEnded), 1);
    EXPECT_EQ(stack.view->last(TaskKind::TermRequestEnded)->slot<TermRequestPayload>(0)->result, 0);
    EXPECT_EQ(sim.json("files 0").toArray().at(0).toObject().value("name").toString(),
              "kel_sys" + stamp + ".ini");
    EXPECT_EQ(sim.received(0, "RemoteCloseReq").size(), 1);
    EXPECT_EQ(sim.closes(0, 1), 1) << "a new system settings file restarts the terminal";
    EXPECT_EQ(ProcessValues::remoteUpdateCount.load(), 0u);
    EXPECT_GE(stack.log().count("Ope14:リモートファイル書き込み"), 3);
}

// A restart while the acks of a burst of 2,000 notices wait at the default
// SendDelay of 100 ms (200 s of acks): the session's datagrams go first, so
// it ends well inside its time-outs.
TEST(RequestE2e, SessionsGoAheadOfABurstOfAcks)
{
    CommStack stack({.udpPort = 43605, .sendDelayMs = 100});
    ASSERT_TRUE(stack.up());
    Termsim sim;
    ASSERT_TRUE(sim.start(args("127.0.64.2", 1, 43605)));
    sim.cmd("burst count=2000 rate=0 addr_base=127.1.64.0 idle_s=600");
    ASSERT_TRUE(sim.ok()) << sim.lastLine().toStdString();
    ASSERT_TRUE(pumpUntil(
        [&] { return stack.view->applier.applied() + stack.view->applier.pending() >= 2000; },
        20000));
    const TaskMessage *done = stack.run(RequestKind::Restart, entries(stack, "127.0.64", 1));
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(RequestOf(*done)->entries.at(0).result, ResultCode::Success);
    EXPECT_EQ(sim.closes(0, 1), 1);
}
