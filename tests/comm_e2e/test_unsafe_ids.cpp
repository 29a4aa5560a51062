// Terminal IDs from the network that could name files elsewhere: their
// requests, commands and deletions touch no file outside nor a common one.
#include "CommStack.h"

#include "comm/UpdateDecider.h"
#include "common/Ipv4.h"
#include "termlist/TerminalFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <map>

namespace
{

// Every file below a folder with its content and last-write time, but the
// register, the log and the simulator's scenario, which are meant to change.
std::map<QString, std::pair<QByteArray, QDateTime>> snapshot(const QString &root)
{
    std::map<QString, std::pair<QByteArray, QDateTime>> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains("/prog/Log/") || path.contains("KELMNGPC_V11.MDB") ||
            path.endsWith("scenario.json"))
            continue;
        QFile f(path);
        out[path] = {f.open(QIODevice::ReadOnly) ? f.readAll() : "?",
                     QFileInfo(path).lastModified()};
    }
    return out;
}

} // namespace

TEST(UnsafeIdE2e, NothingOutsideTheProgramFolderIsReadWrittenOrDeleted)
{
    CAutoUpdateDecider decider;
    CommStack stack({.udpPort = 43604, .decider = &decider, .subfolder = "prog"});
    ASSERT_TRUE(stack.up());
    const QStringList ids{
        "../x", "a/b", "a\\b", "..", QString("ctl") + QChar(1) + "id", "", "/../../../../outside"};
    // Beside the folder, where "/../../../../outside" leads; inside, the common
    // files an empty ID would name and those the others reach via separators.
    for (const char *rel : {"outside.ini", "outside.csv"})
        stack.dir.write(rel, "[Outside]\r\nSecret=1\r\n");
    for (const char *rel :
         {"Data/Sys/kel_sys.ini", "Data/User/kel_user.ini", "Data/Dial/kel_dial.csv",
          "Data/Sys/kel_sysa/b.ini", "Data/Sys/kel_sys../x.ini", "Data/User/kel_usera/b.ini"})
        stack.dir.write(QString("prog/") + rel, "[Common]\r\n");
    for (const char *rel : {"Data/Sys/kel_sys", "Data/User/kel_user", "Data/Dial/kel_dial"})
        stack.dir.mkdir(QString("prog/") + rel);
    stack.dir.write("prog/Config/FirmFilePath.ini", "");
    const auto before = snapshot(stack.dir.path());

    QJsonArray terminals;
    for (const QString &id : ids)
        terminals.append(QJsonObject{{"terminal_id", id}});
    stack.dir.write("scenario.json", QJsonDocument(QJsonObject{{"terminals", terminals}}).toJson());
    Termsim sim;
    ASSERT_TRUE(sim.start(simArgs("127.0.63.2", int(ids.size()), 43604)
                          << "--scenario" << stack.dir.file("scenario.json")))
        << sim.lastLine().toStdString();

    // Registered by their notices, their own requests without stamps (any
    // file the PC held for them would be sent) get "nothing to send".
    sim.cmd("notify all");
    ASSERT_TRUE(pumpUntil([&] { return stack.rows().size() == std::size_t(ids.size()); }, 10000));
    sim.cmd("request all select=4");
    sim.cmd(QString("wait all TermRequestResult count=%1 timeout=10").arg(ids.size()));
    EXPECT_TRUE(sim.ok()) << sim.lastLine().toStdString();
    for (int t = 0; t < ids.size(); ++t)
        EXPECT_EQ(sim.fields(t, "TermRequestResult").value("result").toInt(), 0) << t;
    EXPECT_EQ(sim.json("received all name=TermRequestAccept").toArray().size(), 0);

    // Commands built from the register rows, schedule transfers named after
    // the IDs, and a safe ID whose file climbs out, end with 10 at once.
    const QString climbing = stack.folder() + "/Data/Sys/kel_sys/../../../../outside.ini";
    QList<TerminalEntry> entries{stack.entry("127.0.63.2", "9001", climbing)};
    entries[0].files = {{climbing, "kel_sys.ini"}};
    for (const TermEntry &row : stack.rows()) {
        ASSERT_TRUE(ids.contains(row.TermID)) << row.TermID.toStdString();
        TerminalEntry e = stack.entry(Ipv4::dotted(*Ipv4::parse(row.IPAddr)), row.TermID,
                                      stack.folder() + "/Data/Sys/kel_sys" + row.TermID + ".ini");
        e.files = {{e.file, "kel_sys.ini"},
                   {stack.folder() + "/Data/User/kel_user" + row.TermID + ".ini", "kel_user.ini"}};
        entries << e;
    }
    for (int kind : {RequestKind::ReadSys, RequestKind::WriteSys, RequestKind::ReadUser,
                     RequestKind::WriteDial, RequestKind::ScheduleReadSettings,
                     RequestKind::ScheduleWriteSettings}) {
        SCOPED_TRACE(kind);
        const TaskMessage *done = stack.run(kind, entries);
        ASSERT_NE(done, nullptr);
        for (const TerminalEntry &e : RequestOf(*done)->entries)
            EXPECT_EQ(e.result, ResultCode::FileCreate) << e.termId.toStdString();
    }
    EXPECT_EQ(stack.log().count("Err10:ファイルオープンエラー"), 6 * (ids.size() + 1));
    EXPECT_EQ(sim.json("received all name=RemoteOpenReq").toArray().size(), 0) << "no session";

    // Deleting the terminals deletes none of those files.
    for (const TermEntry &row : stack.rows())
        EXPECT_EQ(TerminalFiles::remove(row.TermID), 0) << row.TermID.toStdString();

    EXPECT_TRUE(snapshot(stack.dir.path()) == before) << "a file outside or common changed";
    EXPECT_EQ(sim.json("files all").toArray().size(), 0) << "nothing was sent to a terminal";
}
