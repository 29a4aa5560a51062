// Maintenance sessions end to end: the outcomes of FTP writes and reads, and
// the log lines they leave. (The open and close outcomes: session table.)
#include "CommStack.h"

#include "common/Cp932.h"

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

// Boot writes: sent, cut on the wire, no local file, no FTP account. The
// Japanese file name leaves as its Shift-JIS bytes, percent-encoded byte
// for byte in the FTP address.
TEST(SessionE2e, BootWriteOutcomesAndAJapaneseFileName)
{
    CommStack stack({.udpPort = 43201});
    ASSERT_TRUE(stack.up());
    const QString name = QStringLiteral("ファーム＿ﾃｽﾄ_v2.s");
    stack.dir.write("Boot/" + name, "S00F0000626F6F745F7632000000000000\r\n");
    const QString boot = stack.dir.file("Boot/" + name);
    Termsim sim;
    ASSERT_TRUE(sim.start(simArgs("127.0.46.2", 4, 43201))) << sim.lastLine().toStdString();
    sim.cmd("set 1 ftp_fault=cut fault_on=stor fault_after=4");
    sim.cmd("set 3 machine_name=KT-999");
    const TaskMessage *done =
        stack.run(RequestKind::WriteBoot,
                  {stack.entry("127.0.46.2", "7001", boot), stack.entry("127.0.46.3", "7002", boot),
                   stack.entry("127.0.46.4", "7003", stack.dir.file("Boot/none.s")),
                   stack.entry("127.0.46.5", "7004", boot, "KT-999")});
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(results(done), (std::vector<int>{0, 6, 8, 5}));
    EXPECT_EQ(RequestOf(*done)->endFlag, 1);
    EXPECT_EQ(sim.closes(0, 1), 1) << "a successful boot write restarts the terminal";
    EXPECT_EQ(sim.closes(1, 0), 1) << "a failed one does not";
    EXPECT_EQ(sim.json("received 2").toArray().size(), 0) << "a missing file sends nothing";
    EXPECT_EQ(sim.closes(3, 0), 1) << "no account: the session is closed normally";
    const QJsonObject file = sim.json("files 0").toArray().at(0).toObject();
    EXPECT_EQ(file.value("name_hex").toString(), QString::fromLatin1(Cp932::encode(name).toHex()));
    EXPECT_EQ(file.value("type").toString(), "A");
    EXPECT_TRUE(file.value("complete").toBool());
    EXPECT_TRUE(stack.log().contains("端末ID:7004 FTP接続エラー"));
}

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
