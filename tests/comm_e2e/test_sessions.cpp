// Maintenance sessions end to end: reads into one local file.
// (The open and close outcomes: session table.)
#include "CommStack.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

std::vector<int> results(const TaskMessage *done)
{
    std::vector<int> out;
    for (const TerminalEntry &e : RequestOf(*done)->entries)
        out.push_back(e.result);
    return out;
}

} // namespace

// Two terminals holding the same terminal ID read into the same local file
// at the same time: each download has its own temporary file, and the file
// left in place is one terminal's whole file, never a mix of both. A third
// read cut on the wire keeps the old file.
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
    EXPECT_EQ(results(done), (std::vector<int>{0, 0, 6}));
    const QByteArray got = stack.dir.read("Data/Sys/kel_sys7001.ini");
    EXPECT_TRUE(got == contents[0] || got == contents[1])
        << "a mixed file of " << got.size() << " bytes";
    EXPECT_EQ(stack.dir.read("Data/Sys/kel_sys7002.ini"), old);
    EXPECT_EQ(QDir(stack.dir.file("Data/Sys")).entryList(QDir::Files),
              (QStringList{"kel_sys7001.ini", "kel_sys7002.ini"}))
        << "no temporary file is left behind";
    EXPECT_TRUE(stack.log().contains("Ope01:システム設定読み込み"));
}
