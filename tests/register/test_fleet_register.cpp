// What the register keeps for the state of the fleet: an older register
// upgraded in place, the silence rule, and firmware checks decided by the
// next notice or ended by their wait.
#include "RegisterFixture.h"
#include "register/Schema.h"

#include <QFile>
#include <QSqlError>

namespace
{

// The register of the version before, as the program folder's register.
QString placeOldRegister(const TempDir &dir)
{
    ProcessValues::startupAbort = 0;
    const QString path = dir.file("KELMNGPC_V11.MDB");
    EXPECT_TRUE(QFile::copy(KEL_SOURCE_DIR "/tests/register/data/old_register.mdb", path));
    QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return path;
}

// Runs statements on a register file that no object holds open.
void onFile(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "onFile");
        c.setDatabaseName(path);
        ASSERT_TRUE(c.open());
        QSqlQuery q(c);
        for (const QString &sql : statements)
            ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << q.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase("onFile");
}

int columnCount(const QString &path, const char *table)
{
    int n = 0;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "columns");
        c.setDatabaseName(path);
        c.open();
        QSqlQuery q(c);
        q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
        while (q.next())
            ++n;
    }
    QSqlDatabase::removeDatabase("columns");
    return n;
}

} // namespace

// A register written by the version before the fleet's columns existed.
TEST(RegisterUpgrade, AnOlderRegisterKeepsEveryRowAndGetsTheNewColumnsEmpty)
{
    TempDir dir;
    ScriptedPrompter prompts;
    const QString path = placeOldRegister(dir);
    {
        CTermDatabase db(dir.path());
        ASSERT_TRUE(db.startUp());
        ListCondInfo c = DefaultListCond();
        c.SortColNo = ListColumn::TermID, c.SortDirect = SortDirection::Ascending;
        std::vector<TermEntry> rows;
        ASSERT_EQ(db.readList(c, rows), 0);
        ASSERT_EQ(rows.size(), 4u);
        const struct {
            int id;
            const char *termId, *ip, *boot, *apli, *mac;
            int regist, idAlert, ipAlert, kind, resultKind, resultCode;
            const char *entryDate;
        } expected[] = {
            {1, "1001", "010.000.000.001", "1.00", "2.00", "02:00:0A:00:00:01", 1, 0, 0, 1, 9, 0,
             "2024-05-06 08:10:09"},
            {2, "1002", "010.000.000.002", "1.00", "1.50", "02:00:0A:00:00:02", 2, 0, 1, 1, 8, 6,
             "2024-05-06 08:10:09"},
            {3, "1003", "010.000.000.002", "1.01", "2.00", "02:00:0A:00:00:03", 0, 0, 1, 1, 0, 0,
             "2024-05-06 07:10:09"},
            {4, "2001", "", "", "", "", 0, 0, 0, 0, 0, 0, "2024-05-06 07:10:09"},
        };
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const TermEntry &e = rows[i];
            const auto &x = expected[i];
            SCOPED_TRACE(x.termId);
            EXPECT_EQ(std::tuple(e.ID, e.TermID, e.IPAddr, e.VerBoot, e.VerApli, e.UserInfo1),
                      std::tuple(x.id, QString(x.termId), QString(x.ip), QString(x.boot),
                                 QString(x.apli), QString(x.mac)));
            EXPECT_EQ(
                std::tuple(e.Regist, e.TermIDAlert, e.IPAddrAlert, e.TermEntryType, e.ResultKind,
                           e.ResultCode),
                std::tuple(x.regist, x.idAlert, x.ipAlert, x.kind, x.resultKind, x.resultCode));
            EXPECT_EQ(RegisterSchema::dateText(e.EntryDate), x.entryDate);
            EXPECT_FALSE(e.LastNotice.isValid());
            EXPECT_EQ(e.FirmCheck, FirmCheckState::None);
        }
        TermRecord r;
        ASSERT_EQ(db.getByMac("02:00:0A:00:00:02", r), 0);
        EXPECT_EQ(std::tuple(r.VerInfo1, r.TermTypeInfo1, r.UserInfo2, r.Vendor, r.MachineType),
                  std::tuple(QString("v1"), QString("t1"), QString("受付"), QString("KEL"),
                             QString("IPPHONE")));
        EXPECT_EQ(std::tuple(r.FirmCheckVer, r.FirmCheckKind, r.FirmCheckDate.isValid()),
                  std::tuple(QString(), 0, false));
        SystemSettings s;
        ASSERT_EQ(db.readSystemSettings(s), 0);
        EXPECT_EQ(std::tuple(s.UDPPort, s.FTPMode, s.EntryInt, s.FirmCheckWait),
                  std::tuple(4321, 1, 2, 900));
        ListCondInfo cond;
        ASSERT_EQ(db.readListCond(cond), 0);
        EXPECT_EQ(std::tuple(cond.ColBootVer, cond.FInfoApVer1, cond.FCndApVer1, cond.SortColNo),
                  std::tuple(1, QString("2.00"), 3, 13));
        EXPECT_EQ(std::tuple(cond.ColLastNotice, cond.ColFirmCheck, cond.FCndSilent,
                             cond.FCndFirmCheck, cond.FInfoResultCode),
                  std::tuple(0, 0, 0, 0, 0));
        InitInfo init;
        ASSERT_EQ(db.readInitInfo(init), 0);
        EXPECT_EQ(std::tuple(init.StartNo, init.SetRange), std::tuple(QString("5000"), 10));

        // The upgraded register takes notices like a new one.
        const QDateTime at(QDate(2024, 6, 1), QTime(9, 0));
        db.setClock([&] { return at; });
        RegistrationData d = notice("1001", ip(10, 0, 0, 1), "02:00:0A:00:00:01");
        ASSERT_EQ(db.registerUpdate(d), 0);
        ASSERT_EQ(db.getByMac("02:00:0A:00:00:01", r), 0);
        EXPECT_EQ(r.LastNotice, at);
    }
    EXPECT_TRUE(prompts.records.isEmpty());
    EXPECT_EQ(columnCount(path, "TermInfo"), int(RegisterSchema::tables()[0].columns.size()));
}

// An upgrade step that fails after others succeeded takes them all back.
TEST(RegisterUpgrade, AFailedStepLeavesTheOlderRegisterAsItWas)
{
    TempDir dir;
    ScriptedPrompter prompts;
    const QString path = placeOldRegister(dir);
    // TermInfo's columns are added first; ConfigInfo, made a view with the
    // same columns, refuses its column.
    onFile(path, {"ALTER TABLE ConfigInfo RENAME TO ConfigRows",
                  "CREATE VIEW ConfigInfo AS SELECT * FROM ConfigRows"});
    {
        CTermDatabase db(dir.path());
        EXPECT_FALSE(db.startUp());
    }
    EXPECT_EQ(ProcessValues::startupAbort.load(), 1u);
    ASSERT_EQ(prompts.records.size(), 1);
    EXPECT_EQ(prompts.records[0].caption, "DB Error");
    EXPECT_EQ(columnCount(path, "TermInfo"), 25);
    ProcessValues::startupAbort = 0;
}

TEST_F(RegisterTest, SilentOnceTheLastNoticeIsOlderThanTwiceTheInterval)
{
    SystemSettings s;
    db->readSystemSettings(s);
    s.EntryInt = 1;
    db->writeSystemSettings(s);
    at(2024, 3, 1, 10, 0);
    ASSERT_EQ(db->registerUpdate(notice("1", ip(10, 0, 0, 1), "A")), 0); // 2 h 1 min before
    at(2024, 3, 1, 10, 2);
    ASSERT_EQ(db->registerUpdate(notice("2", ip(10, 0, 0, 2), "B")), 0); // 1 h 59 min before
    ASSERT_EQ(db->registerUpdate(notice("4", ip(10, 0, 0, 4), "D")), 0);
    std::vector<TermItem> provisional{{0, "3", 0}};
    ASSERT_EQ(db->addTerminals(provisional), 0); // never announced itself
    // A row of an older register has no last notice: its registration date,
    // never earlier than that notice, stands in.
    raw({"UPDATE TermInfo SET LastNotice=NULL, EntryDate='2024-03-01 09:00:00' "
         "WHERE UserInfo1='D'"});
    at(2024, 3, 1, 12, 1);

    auto listed = [&](int silentCond) {
        ListCondInfo c = DefaultListCond();
        c.SortColNo = ListColumn::TermID, c.SortDirect = SortDirection::Ascending;
        c.FCndSilent = silentCond;
        std::vector<TermEntry> rows;
        EXPECT_EQ(db->readList(c, rows), 0);
        QStringList ids;
        for (const TermEntry &e : rows)
            ids << e.TermID;
        return ids;
    };
    qint64 silent = -1;
    ASSERT_EQ(db->countSilent(silent), 0);
    EXPECT_EQ(silent, 2);
    EXPECT_EQ(listed(SilentCond::SilentOnly), QStringList({"1", "4"}));
    EXPECT_EQ(listed(SilentCond::HeardOnly), QStringList({"2"}));

    // Terminals that don't refresh their registration are never silent.
    s.EntryInt = 0;
    db->writeSystemSettings(s);
    ASSERT_EQ(db->countSilent(silent), 0);
    EXPECT_EQ(silent, 0);
    EXPECT_TRUE(listed(SilentCond::SilentOnly).isEmpty());
    EXPECT_EQ(listed(SilentCond::HeardOnly), QStringList({"1", "2", "4"}));
}

TEST_F(RegisterTest, TheNextNoticeDecidesAWaitingFirmwareCheck)
{
    const struct {
        const char *name;
        int kind;
        const char *written, *boot, *apli;
        int state;
        const char *logDetail; // null: no line
    } cases[] = {
        {"application came back", FirmKind::Apli, "2.00", "1.00", "2.00", FirmCheckState::Verified,
         nullptr},
        {"application rolled back", FirmKind::Apli, "2.00", "1.00", "1.50",
         FirmCheckState::Mismatch, "書込版数:2.00 報告版数:1.50"},
        {"boot took, blanks aside", FirmKind::Boot, "1.10", "1.10  ", "9.99",
         FirmCheckState::Verified, nullptr},
        {"boot version only in the application", FirmKind::Boot, "1.10", "1.00", "1.10",
         FirmCheckState::Mismatch, "書込版数:1.10 報告版数:1.00"},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        log.lines.clear();
        const QString id = QString::number(++n), mac = "M" + id;
        RegistrationData d = notice(id, ip(10, 0, 1, n), mac);
        ASSERT_EQ(db->registerUpdate(d), 0);
        at(2024, 3, 1, 12, 0);
        // Firmware commands carry no MAC address: the row is found by address.
        ASSERT_EQ(db->startFirmCheck(QString(), ip(10, 0, 1, n), c.kind, c.written), 0);
        TermRecord r;
        db->getByMac(mac, r);
        EXPECT_EQ(std::tuple(r.FirmCheck, r.FirmCheckKind, r.FirmCheckVer, r.FirmCheckDate),
                  std::tuple(FirmCheckState::Waiting, c.kind, QString(c.written), now));
        at(2024, 3, 1, 12, 3);
        d.VerBoot = c.boot, d.VerApli = c.apli;
        ASSERT_EQ(db->registerUpdates({d}), 0);
        db->getByMac(mac, r);
        EXPECT_EQ(std::tuple(r.FirmCheck, r.FirmCheckDate), std::tuple(c.state, now));
        ASSERT_EQ(log.lines.size(), c.logDetail ? 1u : 0u);
        if (c.logDetail) {
            EXPECT_EQ(log.lines[0],
                      std::tuple(int(RegisterLogKind::FirmMismatch), id, QString(c.logDetail)));
        }
        // Later notices leave the outcome as it is.
        at(2024, 3, 1, 13, 0);
        ASSERT_EQ(db->registerUpdate(d), 0);
        db->getByMac(mac, r);
        EXPECT_EQ(std::tuple(r.FirmCheck, r.LastNotice), std::tuple(c.state, now));
        EXPECT_EQ(log.lines.size(), c.logDetail ? 1u : 0u);
    }
    // A file without a version can't be checked: the row waits for nothing.
    ASSERT_EQ(db->startFirmCheck("M1", 0, FirmKind::Apli, "  "), 0);
    EXPECT_EQ(byMac("M1").FirmCheck, FirmCheckState::None);
    EXPECT_EQ(db->startFirmCheck(QString(), ip(10, 9, 9, 9), FirmKind::Apli, "2.00"),
              DbAnswer::NoRow);
}

TEST_F(RegisterTest, WaitsRunOutAcrossAReopenUnlessTheTerminalWentAway)
{
    for (int n = 1; n <= 3; ++n)
        ASSERT_EQ(
            db->registerUpdate(notice(QString::number(n), ip(10, 0, 2, n), QString("W%1").arg(n))),
            0);
    at(2024, 3, 1, 12, 0);
    for (int n = 1; n <= 3; ++n)
        ASSERT_EQ(db->startFirmCheck(QString("W%1").arg(n), 0, FirmKind::Apli, "2.00"), 0);
    // The program ends and starts again ten minutes later.
    at(2024, 3, 1, 12, 10);
    reopen();
    int ended = -1;
    ASSERT_EQ(db->expireFirmChecks(now.addSecs(-900), &ended), 0);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(db->oldestFirmCheck(), QDateTime(QDate(2024, 3, 1), QTime(12, 0)));
    // Terminal 2 is replaced by a phone with another MAC address; terminal 3
    // is deleted: neither wait can end in an answer.
    ASSERT_EQ(db->registerUpdate(notice("2", ip(10, 0, 2, 2), "NEW")), 0);
    std::vector<TermItem> del{{byMac("W3").ID, "3", 0}};
    ASSERT_EQ(db->deleteTerminals(del), 0);
    EXPECT_EQ(byMac("W2").FirmCheck, FirmCheckState::None);

    at(2024, 3, 1, 12, 15);
    log.lines.clear(); // the duplicate terminal ID's line
    ASSERT_EQ(db->expireFirmChecks(now.addSecs(-900), &ended), 0);
    EXPECT_EQ(ended, 1);
    const TermRecord r = [&] {
        TermRecord x;
        db->getByMac("W1", x);
        return x;
    }();
    EXPECT_EQ(std::tuple(r.FirmCheck, r.FirmCheckDate), std::tuple(FirmCheckState::NoAnswer, now));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], std::tuple(int(RegisterLogKind::FirmNoAnswer), QString("1"),
                                       QString("書込版数:2.00")));
    EXPECT_FALSE(db->oldestFirmCheck().isValid());
    // A notice after the wait ran out changes nothing.
    ASSERT_EQ(db->registerUpdate(notice("1", ip(10, 0, 2, 1), "W1")), 0);
    EXPECT_EQ(byMac("W1").FirmCheck, FirmCheckState::NoAnswer);
}

// The pieces the new filters add to the list query.
TEST(ListQueryText, FleetFiltersAndTheirRelease)
{
    const QDateTime since(QDate(2024, 3, 1), QTime(10, 0, 30));
    const QString silent = "(TermEntryType<>0 AND (LastNotice<'2024-03-01 10:00:30' OR "
                           "(LastNotice IS NULL AND EntryDate<'2024-03-01 10:00:30')))";
    const struct {
        std::function<void(ListCondInfo &)> set;
        int column;
        QString piece;
    } cases[] = {
        {[](ListCondInfo &c) { c.FCndSilent = 1; }, ListColumn::LastNotice, " AND " + silent},
        {[](ListCondInfo &c) { c.FCndSilent = 2; }, ListColumn::LastNotice,
         " AND (TermEntryType<>0 AND NOT " + silent + ")"},
        {[](ListCondInfo &c) { c.FInfoFirmCheck = 4, c.FCndFirmCheck = 1; }, ListColumn::FirmCheck,
         " AND (FirmCheck=3)"},
        {[](ListCondInfo &c) { c.FInfoFirmCheck = 1, c.FCndFirmCheck = 2; }, ListColumn::FirmCheck,
         " AND (FirmCheck<>0)"},
        {[](ListCondInfo &c) { c.FInfoResult = 20, c.FCndResult = 3; }, ListColumn::Result,
         " AND (ResultKind <= 0)"},
        {[](ListCondInfo &c) { c.FInfoResult = 8, c.FCndResult = 2, c.FInfoResultCode = 6; },
         ListColumn::Result, " AND (ResultKind=8 AND ResultCode<>0 AND ResultCode=6)"},
        {[](ListCondInfo &c) { c.FInfoResult = 20, c.FCndResult = 2, c.FInfoResultCode = 10; },
         ListColumn::Result,
         " AND (ResultKind > 0 AND ResultCode<>0 AND NOT (ResultCode BETWEEN 1 AND 9))"},
        {[](ListCondInfo &c) { c.FInfoResult = 20, c.FCndResult = 1, c.FInfoResultCode = 6; },
         ListColumn::Result, " AND (ResultKind > 0 AND ResultCode=0)"},
        {[](ListCondInfo &c) { c.FCndSipEntry = SipCond::Neither; }, ListColumn::SipEntry,
         " AND NOT (Regist=1 OR Regist=2)"},
    };
    const QString head = "SELECT * FROM TermInfo WHERE ID IS NOT NULL ";
    const QString order = " ORDER BY EntryDate DESC,TermID ASC,ID ASC";
    for (const auto &c : cases) {
        ListCondInfo cond = DefaultListCond();
        c.set(cond);
        EXPECT_EQ(ListQueryText(cond, since), head + c.piece + order);
        ClearColumnFilter(cond, c.column);
        EXPECT_EQ(ListQueryText(cond, since), head + order) << c.column;
    }
    // Without an interval nobody is silent; hiding the column drops its filter.
    ListCondInfo cond = DefaultListCond();
    cond.FCndSilent = 1;
    cond.ColLastNotice = 1;
    EXPECT_EQ(ListQueryText(cond), head + " AND (1=0)" + order);
    ListColumnFlags flags = GetColumnFlags(cond);
    flags[15] = 0;
    ASSERT_TRUE(ApplyColumnSelection(cond, flags));
    EXPECT_EQ(cond.FCndSilent, 0);
    EXPECT_EQ(ColumnNumberFromHeader("ファーム確認◇"), ListColumn::FirmCheck);
    EXPECT_EQ(HeaderClickMode(ListColumn::LastNotice), 1);
}
