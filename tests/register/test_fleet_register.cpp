// What the register keeps for the state of the fleet: an older register
// upgraded in place, the silence rule, and firmware checks decided by the
// next notice or ended by their wait.
#include "RegisterFixture.h"
#include "register/Schema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlRecord>

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

// Runs statements on a register file that no object holds open; answers
// the rows of the last one.
std::vector<QVariantList> onFile(const QString &path, const QStringList &statements)
{
    std::vector<QVariantList> rows;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "onFile");
        c.setDatabaseName(path);
        EXPECT_TRUE(c.open());
        QSqlQuery q(c);
        for (const QString &sql : statements) {
            EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << q.lastError().text().toStdString();
            rows.clear();
            while (q.next()) {
                QVariantList &r = rows.emplace_back();
                for (int i = 0; i < q.record().count(); ++i)
                    r << q.value(i);
            }
        }
    }
    QSqlDatabase::removeDatabase("onFile");
    return rows;
}

// What an added column holds in a row that was there before it.
QVariant addedValue(const RegisterSchema::Column &c)
{
    if (c.initial)
        return QString(c.initial);
    return c.type == RegisterSchema::ColType::DateTime ? QVariant()
           : c.type == RegisterSchema::ColType::Text   ? QVariant(QString(""))
                                                       : QVariant(QString("0"));
}

} // namespace

// A register written by the version before the fleet's columns existed:
// every table's rows, read from the file before and after, keep each value.
TEST(RegisterUpgrade, AnOlderRegisterKeepsEveryRowAndGetsTheNewColumnsEmpty)
{
    TempDir dir;
    ScriptedPrompter prompts;
    const QString path = placeOldRegister(dir);
    const auto select = [](const RegisterSchema::Table &t) {
        return QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(t.name);
    };
    std::vector<std::vector<QVariantList>> before;
    for (const RegisterSchema::Table &t : RegisterSchema::tables())
        before.push_back(onFile(path, {select(t)}));
    ASSERT_EQ(before[0].size(), 4u);
    {
        CTermDatabase db(dir.path());
        ASSERT_TRUE(db.startUp());
    }
    EXPECT_TRUE(prompts.records.isEmpty());
    std::size_t t = 0;
    for (const RegisterSchema::Table &table : RegisterSchema::tables()) {
        SCOPED_TRACE(table.name);
        const std::vector<QVariantList> after = onFile(path, {select(table)});
        ASSERT_GE(after.size(), before[t].size());
        for (std::size_t r = 0; r < before[t].size(); ++r) {
            const QVariantList &old = before[t][r];
            ASSERT_EQ(after[r].size(), qsizetype(table.columns.size()));
            EXPECT_EQ(after[r].mid(0, old.size()), old) << "row " << r;
            for (qsizetype c = old.size(); c < after[r].size(); ++c) {
                const QVariant want = addedValue(table.columns[c]);
                EXPECT_EQ(std::tuple(after[r][c].isNull(), after[r][c].toString()),
                          std::tuple(want.isNull(), want.toString()))
                    << table.columns[c].name;
            }
        }
        ++t;
    }
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
    EXPECT_EQ(onFile(path, {"PRAGMA table_info(TermInfo)"}).size(), 25u);
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
    TermRecord r;
    db->getByMac("W1", r);
    EXPECT_EQ(std::tuple(r.FirmCheck, r.FirmCheckDate), std::tuple(FirmCheckState::NoAnswer, now));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], std::tuple(int(RegisterLogKind::FirmNoAnswer), QString("1"),
                                       QString("書込版数:2.00")));
    EXPECT_FALSE(db->oldestFirmCheck().isValid());
    // A notice after the wait ran out changes nothing.
    ASSERT_EQ(db->registerUpdate(notice("1", ip(10, 0, 2, 1), "W1")), 0);
    EXPECT_EQ(byMac("W1").FirmCheck, FirmCheckState::NoAnswer);
}

// Of a request for many terminals the first ones announce themselves after
// their restart before the request ends: that notice decides at the start.
TEST_F(RegisterTest, ANoticeSinceTheSessionEndedDecidesTheCheckAtOnce)
{
    const QDateTime before(QDate(2024, 3, 1), QTime(11, 59, 59, 500));
    const QDateTime sameSecond(QDate(2024, 3, 1), QTime(12, 0, 0, 200));
    const struct {
        const char *reported;
        QDateTime ended;
        int state;
    } cases[] = {{"2.00", before, FirmCheckState::Verified},
                 {"1.00", before, FirmCheckState::Mismatch},
                 {"2.00", sameSecond, FirmCheckState::Waiting},
                 {"2.00", QDateTime(), FirmCheckState::Waiting}};
    int n = 0;
    for (const auto &c : cases) {
        const QString id = QString::number(++n), mac = "E" + id;
        RegistrationData d = notice(id, ip(10, 0, 3, n), mac);
        d.VerApli = c.reported;
        ASSERT_EQ(db->registerUpdate(d), 0); // at 12:00:00
        ASSERT_EQ(db->startFirmCheck(mac, 0, FirmKind::Apli, "2.00", c.ended), 0);
        EXPECT_EQ(byMac(mac).FirmCheck, c.state) << id.toStdString();
    }
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], std::tuple(int(RegisterLogKind::FirmMismatch), QString("2"),
                                       QString("書込版数:2.00 報告版数:1.00")));
}

// Releasing a column's filter, or hiding the column, drops the new filters.
TEST(ListQueryText, FleetFiltersGoWithTheirColumn)
{
    const struct {
        std::function<void(ListCondInfo &)> set;
        int column;
    } cases[] = {
        {[](ListCondInfo &c) { c.FCndSilent = SilentCond::HeardOnly; }, ListColumn::LastNotice},
        {[](ListCondInfo &c) { c.FInfoFirmCheck = 4, c.FCndFirmCheck = 1; }, ListColumn::FirmCheck},
        {[](ListCondInfo &c) { c.FInfoResult = 20, c.FCndResult = 2, c.FInfoResultCode = 10; },
         ListColumn::Result},
        {[](ListCondInfo &c) { c.FCndSipEntry = SipCond::Neither; }, ListColumn::SipEntry},
    };
    const QDateTime since(QDate(2024, 3, 1), QTime(10, 0));
    const QString none = ListQueryText(DefaultListCond(), since);
    for (const auto &c : cases) {
        ListCondInfo cond = DefaultListCond();
        c.set(cond);
        EXPECT_NE(ListQueryText(cond, since), none) << c.column;
        ClearColumnFilter(cond, c.column);
        EXPECT_EQ(ListQueryText(cond, since), none) << c.column;
    }
    ListCondInfo cond = DefaultListCond();
    cond.FCndSilent = SilentCond::SilentOnly, cond.ColLastNotice = 1;
    ListColumnFlags flags = GetColumnFlags(cond);
    flags[15] = 0;
    ASSERT_TRUE(ApplyColumnSelection(cond, flags));
    EXPECT_EQ(cond.FCndSilent, 0);
    EXPECT_EQ(ColumnNumberFromHeader("ファーム確認◇"), ListColumn::FirmCheck);
}
