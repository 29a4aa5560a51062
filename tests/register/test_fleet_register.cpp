// What the register keeps for the state of the fleet: an older register
// upgraded in place, and firmware checks decided by a notice or ended by
// their wait.
#include "RegisterFixture.h"
#include "register/Schema.h"

#include <QFile>

// A register of the version before the fleet's columns: a failed step takes
// the others back; then every table's rows keep each value and get the new
// columns empty.
TEST(RegisterUpgrade, AnOlderRegisterKeepsEveryRowAndGetsTheNewColumnsEmpty)
{
    TempDir dir;
    ScriptedPrompter prompts;
    ProcessValues::startupAbort = 0;
    const QString path = dir.file("KELMNGPC_V11.MDB");
    ASSERT_TRUE(QFile::copy(KEL_SOURCE_DIR "/tests/register/data/old_register.mdb", path));
    QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // TermInfo's columns come first; ConfigInfo made a view refuses its column.
    onFile(path, {"ALTER TABLE ConfigInfo RENAME TO ConfigRows",
                  "CREATE VIEW ConfigInfo AS SELECT * FROM ConfigRows"});
    EXPECT_FALSE(CTermDatabase(dir.path()).startUp());
    ASSERT_EQ(prompts.records.size(), 1);
    EXPECT_EQ(prompts.records[0].caption, "DB Error");
    EXPECT_EQ(onFile(path, {"PRAGMA table_info(TermInfo)"}).size(), 25u);
    onFile(path, {"DROP VIEW ConfigInfo", "ALTER TABLE ConfigRows RENAME TO ConfigInfo"});
    ProcessValues::startupAbort = 0;

    const auto select = [](const RegisterSchema::Table &t) {
        return QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(t.name);
    };
    std::vector<std::vector<QVariantList>> before;
    for (const RegisterSchema::Table &t : RegisterSchema::tables())
        before.push_back(onFile(path, {select(t)}));
    ASSERT_EQ(before[0].size(), 4u);
    EXPECT_TRUE(CTermDatabase(dir.path()).startUp());
    std::size_t t = 0;
    for (const RegisterSchema::Table &table : RegisterSchema::tables()) {
        const std::vector<QVariantList> after = onFile(path, {select(table)});
        ASSERT_GE(after.size(), before[t].size());
        for (std::size_t r = 0; r < before[t].size(); ++r) {
            const QVariantList &old = before[t][r];
            ASSERT_EQ(after[r].size(), qsizetype(table.columns.size()));
            EXPECT_EQ(after[r].mid(0, old.size()), old) << table.name << " row " << r;
            for (qsizetype c = old.size(); c < after[r].size(); ++c) {
                const RegisterSchema::Column &col = table.columns[c];
                const QVariant want = col.initial ? QVariant(QString(col.initial))
                                      : col.type == RegisterSchema::ColType::DateTime ? QVariant()
                                      : col.type == RegisterSchema::ColType::Text ? QString("")
                                                                                  : QString("0");
                EXPECT_EQ(std::pair(after[r][c].isNull(), after[r][c].toString()),
                          std::pair(want.isNull(), want.toString()))
                    << col.name;
            }
        }
        ++t;
    }
    EXPECT_EQ(prompts.records.size(), 1);
}

// A check starts after the notice of 12:00:00. A notice since the session
// ended (a terminal of a long request back early) decides it at once; else
// the next notice does, and later ones leave the outcome as it is.
TEST_F(RegisterTest, TheNextNoticeDecidesAWaitingFirmwareCheck)
{
    const QDateTime before(QDate(2024, 3, 1), QTime(11, 59, 59, 500));
    const QDateTime sameSecond(QDate(2024, 3, 1), QTime(12, 0, 0, 200));
    namespace F = FirmCheckState;
    const struct {
        int kind;
        const char *written, *boot, *apli;
        QDateTime ended;
        int atStart, decided;
    } cases[] = {
        {FirmKind::Apli, "2.00", "1.00", "2.00", before, F::Verified, F::Verified},
        {FirmKind::Apli, "2.00", "1.00", "1.00", before, F::Mismatch, F::Mismatch},
        {FirmKind::Apli, "2.00", "1.00", "2.00", sameSecond, F::Waiting, F::Verified},
        {FirmKind::Apli, "2.00", "1.00", "1.50", QDateTime(), F::Waiting, F::Mismatch},
        {FirmKind::Boot, "1.10", "1.10  ", "9.99", QDateTime(), F::Waiting, F::Verified},
        {FirmKind::Boot, "1.10", "1.00", "1.10", QDateTime(), F::Waiting, F::Mismatch},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(++n);
        const QString id = QString::number(n), mac = "M" + id;
        RegistrationData d = notice(id, ip(10, 0, 1, n), mac);
        d.VerBoot = c.boot, d.VerApli = c.apli;
        at(2024, 3, 1, 12, 0);
        ASSERT_EQ(db->registerUpdate(d), 0);
        // Firmware commands carry no MAC address: the row is found by address.
        ASSERT_EQ(db->startFirmCheck(QString(), ip(10, 0, 1, n), c.kind, c.written, c.ended), 0);
        TermRecord r;
        db->getByMac(mac, r);
        EXPECT_EQ(std::tuple(r.FirmCheck, r.FirmCheckKind, r.FirmCheckVer),
                  std::tuple(c.atStart, c.kind, QString(c.written)));
        for (int minute : {3, 30}) {
            at(2024, 3, 1, 12, minute);
            ASSERT_EQ(db->registerUpdates({d}), 0);
            db->getByMac(mac, r);
            EXPECT_EQ(std::tuple(r.FirmCheck, r.LastNotice), std::tuple(c.decided, now));
        }
        EXPECT_EQ(r.FirmCheckDate.time().minute(), c.atStart == F::Waiting ? 3 : 0);
    }
    using Log = std::tuple<int, QString, QString>;
    const int mismatch = int(RegisterLogKind::FirmMismatch);
    EXPECT_EQ(log.lines, (std::vector<Log>{{mismatch, "2", "書込版数:2.00 報告版数:1.00"},
                                          {mismatch, "4", "書込版数:2.00 報告版数:1.50"},
                                          {mismatch, "6", "書込版数:1.10 報告版数:1.00"}}));
    // A file without a version can't be checked: the row waits for nothing.
    ASSERT_EQ(db->startFirmCheck("M3", 0, FirmKind::Apli, "  "), 0);
    EXPECT_EQ(byMac("M3").FirmCheck, F::None);
    EXPECT_EQ(db->startFirmCheck(QString(), ip(10, 9, 9, 9), FirmKind::Apli, "2.00"),
              DbAnswer::NoRow);
}

// Across a reopen, a wait runs out without answer unless its terminal was
// replaced (another MAC address) or deleted.
TEST_F(RegisterTest, WaitsRunOutAcrossAReopenUnlessTheTerminalWentAway)
{
    for (int n = 1; n <= 3; ++n) {
        const QString mac = QString("W%1").arg(n);
        ASSERT_EQ(db->registerUpdate(notice(QString::number(n), ip(10, 0, 2, n), mac)), 0);
        ASSERT_EQ(db->startFirmCheck(mac, 0, FirmKind::Apli, "2.00"), 0);
    }
    at(2024, 3, 1, 12, 10);
    reopen();
    ASSERT_EQ(db->registerUpdate(notice("2", ip(10, 0, 2, 2), "NEW")), 0);
    std::vector<TermItem> del{{byMac("W3").ID, "3", 0}};
    ASSERT_EQ(db->deleteTerminals(del), 0);
    EXPECT_EQ(byMac("W2").FirmCheck, FirmCheckState::None);
    int ended = -1;
    EXPECT_EQ(db->oldestFirmCheck(), QDateTime(QDate(2024, 3, 1), QTime(12, 0)));
    at(2024, 3, 1, 12, 15);
    log.lines.clear(); // the duplicate terminal ID's line
    ASSERT_EQ(db->expireFirmChecks(now.addSecs(-900), &ended), 0);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(std::pair(byMac("W1").FirmCheck, byMac("W1").FirmCheckDate),
              std::pair(FirmCheckState::NoAnswer, now));
    EXPECT_EQ(log.lines, (std::vector<std::tuple<int, QString, QString>>{
                             {int(RegisterLogKind::FirmNoAnswer), "1", "書込版数:2.00"}}));
    EXPECT_FALSE(db->oldestFirmCheck().isValid());
}
