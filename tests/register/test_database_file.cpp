// The register file: creation, start-up preparation, exclusive opening, the
// "DB Error" reports, and the one-row tables.
#include "RegisterFixture.h"
#include "register/Schema.h"

#include <QFile>
#include <QProcess>

TEST_F(RegisterTest, PrepareDeletesOldFileCompactsAndSwaps)
{
    ASSERT_EQ(db->registerUpdate(notice("7", ip(10, 0, 0, 7), "A")), 0);
    raw({"CREATE TABLE Filler AS SELECT zeroblob(4000000) AS b", "DROP TABLE Filler"});
    db.reset();
    const qint64 before = QFileInfo(dir.file("KELMNGPC_V11.MDB")).size();
    dir.write("KELMNGPC.MDB", "old");
    dir.write("_Comp_KELMNGPC_V11.MDB", "left from a crash");
    reopen();
    EXPECT_FALSE(QFileInfo::exists(dir.file("KELMNGPC.MDB")) ||
                 QFileInfo::exists(dir.file("_Comp_KELMNGPC_V11.MDB")));
    EXPECT_LT(QFileInfo(dir.file("KELMNGPC_V11.MDB")).size(), before);
    EXPECT_TRUE(prompts.records.isEmpty());
    // A compacted copy left alone by a cut swap is taken over.
    db.reset();
    ASSERT_TRUE(QFile::rename(dir.file("KELMNGPC_V11.MDB"), dir.file("_Comp_KELMNGPC_V11.MDB")));
    reopen();
    ASSERT_EQ(all().size(), 1u);
    EXPECT_EQ(all()[0].TermID, "7");
}

// A register that is open elsewhere, or a file that is no register, is
// never touched: "DB Error" and the start-up ends.
TEST_F(RegisterTest, OpenRegisterCannotBeOpenedElsewhere)
{
    TempDir other;
    const QByteArray foreign("Standard Jet DB\0 not ours", 25);
    other.write("KELMNGPC_V11.MDB", foreign);
    EXPECT_FALSE(CTermDatabase(other.path()).startUp());
    ASSERT_EQ(prompts.records.size(), 1);
    const PromptRecord &r = prompts.records[0];
    EXPECT_EQ(std::tuple(r.kind, r.caption, r.type, r.text),
              std::tuple(PromptRecord::SystemBox, QString("DB Error"), 0x30u,
                         QString("データベースを最適化できませんでした。データベースファイルを確認"
                                 "してください。\nプログラムを終了します。")));
    EXPECT_EQ(other.read("KELMNGPC_V11.MDB"), foreign);
    ProcessValues::startupAbort = 0;

    // A second object in this process can't even compact it, and answers
    // "not open" without touching the file...
    CTermDatabase second(dir.path());
    EXPECT_EQ(second.prepare(), 0);
    EXPECT_EQ(ProcessValues::startupAbort.load(), 1u);
    EXPECT_EQ(second.open(), 0);
    EXPECT_EQ(prompts.records.last().caption, "DB Error");
    TermRecord rec;
    EXPECT_EQ(std::tuple(second.setResultByMac("A", 1, 0), second.getByMac("A", rec),
                         second.registerUpdate(notice("1", 1, "A"))),
              std::tuple(DbAnswer::NotOpen, DbAnswer::NotOpen, DbAnswer::NotOpen));
    ProcessValues::startupAbort = 0;

    // ...and another process still can't read it: closing a second descriptor
    // of the file would have dropped this process's locks.
    QProcess p;
    p.start("/usr/bin/python3", {"-c", "import sqlite3,sys; sqlite3.connect(sys.argv[1], timeout=0)"
                                       ".execute('SELECT COUNT(*) FROM TermInfo')", db->filePath()});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_TRUE(p.exitCode() != 0 && p.readAllStandardError().contains("locked"));
    EXPECT_EQ(all().size(), 0u); // still ours
}

TEST_F(RegisterTest, ListConditionAndInitInfoFreshRoundTripAndMissingRow)
{
    ListCondInfo c;
    ASSERT_EQ(db->readListCond(c), 0);
    c.ID = 0;
    EXPECT_EQ(c, DefaultListCond());

    c.ColResultDate = 1, c.SortColNo = 9, c.SortDirect = 2;
    c.FInfoTermID1 = "1'2*", c.FCndTermID1 = 3, c.FJoinTermID = 1;
    c.FInfoMACAddr2 = "AA:*", c.FInfoMachin = "KX ", c.FInfoResult = 20, c.FCndResult = 2;
    c.FInfoEntryDt1 = QDateTime(QDate(2016, 2, 29), QTime(0, 0));
    c.FInfoResultDt2 = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59));
    ASSERT_EQ(db->writeListCond(c), 0);
    reopen();
    ListCondInfo back;
    ASSERT_EQ(db->readListCond(back), 0);
    c.ID = back.ID;
    EXPECT_EQ(back, c);

    raw({"DELETE FROM ListCondInfo"});
    ListCondInfo kept = c;
    EXPECT_EQ(db->readListCond(kept), 0);
    EXPECT_EQ(kept, c); // no row: the copy stays as it was
    EXPECT_EQ(db->writeListCond(c), 0);
    EXPECT_EQ(raw({"SELECT COUNT(*) FROM ListCondInfo"}).at(0).at(0).toInt(), 0);
}

// A register of the version before the fleet's columns: its rows keep every
// value and get the added columns; an upgrade step that fails after others
// succeeded takes them all back, and the program stops with "DB Error".
TEST(RegisterUpgrade, AnOlderRegisterKeepsEveryRowOrStaysAsItWas)
{
    for (const bool failing : {false, true}) {
        TempDir dir;
        ScriptedPrompter prompts;
        ProcessValues::startupAbort = 0;
        const QString path = dir.file("KELMNGPC_V11.MDB");
        ASSERT_TRUE(QFile::copy(KEL_SOURCE_DIR "/tests/register/data/old_register.mdb", path));
        QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (failing) // ConfigInfo as a view refuses its new column, after TermInfo got its own
            onFile(path, {"ALTER TABLE ConfigInfo RENAME TO ConfigRows",
                          "CREATE VIEW ConfigInfo AS SELECT * FROM ConfigRows"});
        const QString rows = "SELECT * FROM TermInfo ORDER BY rowid";
        const std::vector<QVariantList> before = onFile(path, {rows});
        ASSERT_EQ(before.size(), 4u);
        EXPECT_EQ(CTermDatabase(dir.path()).startUp(), !failing);
        const std::vector<QVariantList> after = onFile(path, {rows});
        ASSERT_EQ(after.size(), 4u);
        for (std::size_t r = 0; r < 4; ++r) {
            EXPECT_EQ(after[r].mid(0, before[r].size()), before[r]) << "row " << r;
            const qsizetype width =
                failing ? before[r].size() : qsizetype(RegisterSchema::tables()[0].columns.size());
            ASSERT_EQ(after[r].size(), width);
            for (qsizetype c = before[r].size(); c < width; ++c) // added: empty, or no date
                EXPECT_TRUE(after[r][c].isNull() || after[r][c].toString() == "" ||
                            after[r][c].toString() == "0") << c;
        }
        EXPECT_EQ(std::pair(prompts.records.size(), ProcessValues::startupAbort.load()),
                  failing ? std::pair(qsizetype(1), 1u) : std::pair(qsizetype(0), 0u));
    }
    ProcessValues::startupAbort = 0;
}
