// Register updates, results, firmware checks, look-ups, add and delete with
// their progress, terminal-ID numbers, and the forms of an IPv4 address.
#include "RegisterFixture.h"
#include "common/Ipv4.h"

using Log = std::tuple<int, QString, QString>;

TEST_F(RegisterTest, SetResultDateRulesAndAddressVariantWritesIdOnSuccessOnly)
{
    at(2024, 1, 1);
    ASSERT_EQ(db->registerUpdate(notice("5", ip(10, 0, 0, 5), "A")), 0);
    const QDateTime registered = now;
    at(2024, 2, 2);
    ASSERT_EQ(db->setResultByMac("A", 1, 0), 0);
    EXPECT_EQ(std::tuple(byMac("A").EntryDate, byMac("A").ResultDate, byMac("A").ResultKind),
              std::tuple(registered, registered, 1));

    int day = 3;
    for (const auto &[kind, code, datesSet, termId] : {std::tuple{1, 3, true, "5"}, {2, 0, true, "77"},
                                                       {1, 0, false, "78"}, {9, 6, true, "78"}}) {
        at(2024, 2, day++);
        const QDateTime before = byMac("A").ResultDate;
        ASSERT_EQ(db->setResultByAddress(termId, ip(10, 0, 0, 5), kind, code), 0);
        const TermEntry e = byMac("A");
        EXPECT_EQ(std::pair(e.ResultKind, e.ResultCode), std::pair(kind, code));
        EXPECT_EQ(e.ResultDate, datesSet ? now : before) << kind << "/" << code;
        EXPECT_EQ(e.EntryDate, e.ResultDate);
        EXPECT_EQ(e.TermID, code == 0 ? QString(termId) : e.TermID);
    }
    EXPECT_EQ(byMac("A").TermID, "78");
    // A registration leaves a result as it is but completes a pending
    // terminal information (13).
    ASSERT_EQ(db->registerUpdate(notice("78", ip(10, 0, 0, 5), "A")), 0);
    EXPECT_EQ(std::pair(byMac("A").ResultKind, byMac("A").ResultCode), std::pair(9, 6));
    ASSERT_EQ(db->setResultByMac("A", 13, 0), 0);
    at(2024, 3, 1);
    ASSERT_EQ(db->registerUpdate(notice("78", ip(10, 0, 0, 5), "A")), 0);
    const TermEntry e = byMac("A");
    EXPECT_EQ(std::tuple(e.ResultKind, e.ResultCode, e.ResultDate), std::tuple(1, 0, now));
    EXPECT_EQ(db->setResultByAddress("5", ip(1, 2, 3, 4), 1, 0), DbAnswer::NoRow);
    EXPECT_EQ(db->setResultByMac("nobody", 1, 0), DbAnswer::NoRow);
}

TEST_F(RegisterTest, LookUps)
{
    RegistrationData d = notice("42", ip(10, 0, 0, 42), "MAC42");
    d.VerInfo1 = "v1";
    ASSERT_EQ(db->registerUpdate(d), 0);
    TermRecord r;
    ASSERT_EQ(db->getByTermId("42", r), 0);
    EXPECT_EQ(std::tuple(r.IPAddr, r.UserInfo1, r.VerInfo1), // no versions from this look-up
              std::tuple(QString("010.000.000.042"), QString("MAC42"), QString()));
    ASSERT_EQ(db->getByMac("mac42", r), 0); // text compares without case
    EXPECT_EQ(r.VerInfo1, "v1");
    // The known MAC reported in another case keeps its row, stored as reported.
    ASSERT_EQ(db->registerUpdate(notice("42", ip(10, 0, 0, 42), "mac42")), 0);
    ASSERT_EQ(all().size(), 1u);
    EXPECT_EQ(all()[0].UserInfo1, "mac42");
}

TEST_F(RegisterTest, AddSkipsExistingAndEmptyIdsDeleteReportsVanishedRows)
{
    ASSERT_EQ(db->registerUpdate(notice("2", ip(10, 0, 0, 2), "A")), 0);
    std::vector<TermItem> add{{0, "1", 0}, {0, "2", 0}, {0, "", 0}, {0, "3", 0}, {0, "1", 0}};
    ASSERT_EQ(db->addTerminals(add), 0);
    EXPECT_EQ(std::tuple(add[0].result, add[1].result, add[2].result, add[3].result, add[4].result),
              std::tuple(0, 3, 2, 0, 3));
    auto rows = all();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(std::tuple(rows[0].TermID, rows[0].TermEntryType, rows[0].IPAddr),
              std::tuple(QString("1"), TermEntryKind::Provisional, QString()));
    EXPECT_EQ(std::pair(rows[0].EntryDate, rows[0].ResultDate), std::pair(now, now));

    std::vector<TermItem> del{{rows[0].ID, "1", -1}, {9999, "x", -1}, {rows[2].ID, "3", -1}};
    EXPECT_EQ(db->deleteTerminals(del), DbAnswer::NoRow);
    EXPECT_EQ(std::tuple(del[0].result, del[1].result, del[2].result), std::tuple(0, 2, 0));
    rows = all();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].TermID, "2");
}

TEST_F(RegisterTest, ProgressRhythm)
{
    struct Recorder : IRegisterProgress {
        std::vector<std::pair<int, int>> reports;
        int yields = 0;
        void progress(int done, int total) override { reports.emplace_back(done, total); }
        void yieldOnce() override { ++yields; }
    };
    // Reports at 0, every step (1 up to 250 items) and the end.
    for (auto [total, reports, step] :
         {std::tuple{1, 2, 1}, {99, 100, 1}, {100, 101, 1}, {30000, 121, 250}}) {
        Recorder rec;
        std::vector<TermItem> items(total);
        for (int i = 0; i < total; ++i) // added, or deleted as rows that don't exist
            items[i].TermID = QString::number(total * 1000 + i), items[i].ID = 1000000 + i;
        if (total <= 100)
            ASSERT_EQ(db->addTerminals(items, &rec), 0);
        else
            ASSERT_EQ(db->deleteTerminals(items, &rec), DbAnswer::NoRow);
        ASSERT_EQ(int(rec.reports.size()), reports) << total;
        EXPECT_EQ(rec.reports[1], std::pair(step, total));
        EXPECT_EQ(rec.reports.back(), std::pair(total, total));
        EXPECT_EQ(rec.yields, total);
    }
    EXPECT_EQ(all().size(), 200u);
}

TEST_F(RegisterTest, TerminalIdsInRangeAndAsNumbers)
{
    std::vector<TermItem> add;
    for (const char *id : {"3123400099", "3123400100", "3123400101", "3123400150", "3123400151",
                           "3123500100", "0", "ERROR", "1234567890123"})
        add.push_back({0, id, 0});
    ASSERT_EQ(db->addTerminals(add), 0);

    QStringList ids;
    ASSERT_EQ(db->termIdsInRange("3123400100", 51, &ids), 0);
    EXPECT_EQ(ids, (QStringList{StoredTermId("3123400150"), StoredTermId("3123400101"),
                                StoredTermId("3123400100")}));
    EXPECT_EQ(db->termIdsInRange("3123400200", 10, &ids), DbAnswer::NoRow);
    EXPECT_EQ(StoredTermId(QString(70, '1') + "2"), QString(63, '1') + "2"); // rightmost 64

    std::vector<std::int64_t> numbers(3, -1);
    int count = 0;
    ASSERT_EQ(db->allTermIdNumbers(&numbers, &count), 0);
    EXPECT_EQ(count, 9);
    // Ascending stored order: "0", "ERROR", the ten-digit IDs, then the long one.
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{0, -1, 123400099, 123400100, 123400101, 123400150,
                                                  123400151, 123500100, 567890123}));
}

// A refused MAC address arrives as a null text: it finds its row again, and no
// text column holds NULL where a look-up compares with empty text.
TEST_F(RegisterTest, EmptyTextsAreStoredAsTheLookUpsCompareThem)
{
    RegistrationData bare;
    bare.TermID = "9001";
    bare.IPAddr = ip(10, 0, 9, 1);
    for (int round = 0; round < 2; ++round) {
        RegisterOutcome oc;
        ASSERT_EQ(db->registerUpdate(bare, &oc), 0);
        EXPECT_EQ(oc, round == 0 ? RegisterOutcome::Added : RegisterOutcome::Updated);
        ASSERT_EQ(db->registerUpdates({bare, bare}), 0);
    }
    EXPECT_EQ(all().size(), 1u);
    EXPECT_EQ(byMac(QString()).TermID, "9001");
    EXPECT_EQ(db->setResultByMac(QString(), 2, 0), 0);

    // Every writer with null texts: provisional rows, settings, list condition.
    std::vector<TermItem> items{{0, "9002", 0}};
    ASSERT_EQ(db->addTerminals(items), 0);
    ListCondInfo cond = DefaultListCond();
    cond.FInfoTermID1 = QString();
    ASSERT_EQ(db->writeListCond(cond), 0);
    ASSERT_EQ(db->writeInitInfo(InitInfo{0, QString(), 5}), 0);

    QStringList nullChecks, nullColumns;
    for (const QVariantList &c :
         raw({"SELECT m.name, p.name FROM sqlite_master m, pragma_table_info(m.name) p WHERE m.name "
              "IN ('TermInfo','ListCondInfo','InitInfo','ConfigInfo') AND p.type LIKE 'VARCHAR%'"}))
        nullChecks << QString("SELECT '%1.%2' FROM %1 WHERE %2 IS NULL").arg(c[0].toString(), c[1].toString());
    ASSERT_GT(nullChecks.size(), 20);
    for (const QVariantList &v : raw({nullChecks.join(" UNION ALL ")}))
        nullColumns << v[0].toString();
    EXPECT_EQ(nullColumns.join(' '), "");
}

// An empty MAC finds only its own ID's MAC-less row, never another terminal's;
// the terminal keeps that row (and its result) once it announces a MAC.
TEST_F(RegisterTest, AnEmptyMacNeverTakesAnotherTerminalsRow)
{
    std::vector<TermItem> add{{0, "300", 0}};
    ASSERT_EQ(db->addTerminals(add), 0);
    ASSERT_EQ(db->registerUpdate(notice("301", ip(10, 0, 3, 1), QString())), 0);
    ASSERT_EQ(db->registerUpdate(notice("302", ip(10, 0, 3, 2), QString())), 0);
    ASSERT_EQ(db->registerUpdate(notice("301", ip(10, 0, 3, 1), QString())), 0);
    ASSERT_EQ(all().size(), 3u);
    for (const TermEntry &e : all()) // its own row's address is no duplicate
        EXPECT_EQ(std::pair(e.TermIDAlert, e.IPAddrAlert), std::pair(0, 0))
            << e.TermID.toStdString();
    TermRecord r;
    ASSERT_EQ(db->getByTermId("300", r), 0);
    EXPECT_EQ(r.IPAddr, "") << "the hand-added row is left alone";
    // Moved to another address: the row follows.
    ASSERT_EQ(db->registerUpdate(notice("301", ip(10, 0, 3, 9), QString())), 0);
    ASSERT_EQ(db->getByTermId("301", r), 0);
    EXPECT_EQ(r.IPAddr, "010.000.003.009");

    ASSERT_EQ(db->setResultByAddress("301", ip(10, 0, 3, 9), 19, 0), 0);
    RegisterOutcome oc;
    ASSERT_EQ(db->registerUpdate(notice("301", ip(10, 0, 3, 9), "02:00:00:00:03:01"), &oc), 0);
    EXPECT_EQ(oc, RegisterOutcome::Updated);
    ASSERT_EQ(all().size(), 3u);
    const TermEntry e = byMac("02:00:00:00:03:01");
    EXPECT_EQ(std::tuple(e.TermID, e.TermIDAlert, e.IPAddrAlert, e.ResultKind),
              std::tuple(QString("301"), 0, 0, 19));
    EXPECT_TRUE(log.lines.empty());
}

// A register written before empty texts were kept as such is mended when
// it is opened, so its rows are found again.
TEST_F(RegisterTest, NullTextsOfAnOlderRegisterBecomeEmptyAtOpen)
{
    ASSERT_EQ(db->registerUpdate(notice("9101", ip(10, 0, 9, 2), "X")), 0);
    raw({"UPDATE TermInfo SET UserInfo1=NULL, VerInfo3=NULL, LastNotice='2024-03-0:'"});
    reopen();
    EXPECT_FALSE(all().at(0).LastNotice.isValid()) << "a damaged date is no date";
    EXPECT_EQ(raw({"SELECT COUNT(*) FROM TermInfo WHERE UserInfo1 IS NULL OR VerInfo3 IS NULL"})
                  .at(0).at(0).toInt(), 0);
    RegistrationData again = notice("9101", ip(10, 0, 9, 2), QString());
    ASSERT_EQ(db->registerUpdate(again), 0);
    EXPECT_EQ(all().size(), 1u);
}

// A check starts after the notice of 12:00:00. A notice since the session
// ended (a terminal of a long request back early) decides it at once; else
// the next notice does, and later ones leave the outcome as it is.
TEST_F(RegisterTest, TheNextNoticeDecidesAWaitingFirmwareCheck)
{
    const QDateTime before(QDate(2024, 3, 1), QTime(11, 59, 59, 500));
    const QDateTime sameSecond(QDate(2024, 3, 1), QTime(12, 0, 0, 200));
    namespace F = FirmCheckState;
    // kind, written, boot, apli, session end, state at the start, once decided
    const std::tuple<int, const char *, const char *, const char *, QDateTime, int, int> cases[] = {
        {FirmKind::Apli, "2.00", "1.00", "2.00", before, F::Verified, F::Verified},
        {FirmKind::Apli, "2.00", "1.00", "1.00", before, F::Mismatch, F::Mismatch},
        {FirmKind::Apli, "2.00", "1.00", "2.00", sameSecond, F::Waiting, F::Verified},
        {FirmKind::Apli, "2.00", "1.00", "1.50", QDateTime(), F::Waiting, F::Mismatch},
        {FirmKind::Boot, "1.10", "1.10  ", "9.99", QDateTime(), F::Waiting, F::Verified},
    };
    int n = 0;
    for (const auto &[kind, written, boot, apli, ended, atStart, decided] : cases) {
        SCOPED_TRACE(++n);
        const QString id = QString::number(n), mac = "M" + id;
        RegistrationData d = notice(id, ip(10, 0, 1, n), mac);
        d.VerBoot = boot, d.VerApli = apli;
        at(2024, 3, 1, 12, 0);
        ASSERT_EQ(db->registerUpdate(d), 0);
        // Firmware commands carry no MAC address: the row is found by address.
        ASSERT_EQ(db->startFirmCheck(QString(), ip(10, 0, 1, n), kind, written, ended), 0);
        TermRecord r;
        db->getByMac(mac, r);
        EXPECT_EQ(std::tuple(r.FirmCheck, r.FirmCheckKind, r.FirmCheckVer),
                  std::tuple(atStart, kind, QString(written)));
        for (int minute : {3, 30}) {
            at(2024, 3, 1, 12, minute);
            ASSERT_EQ(db->registerUpdates({d}), 0);
            db->getByMac(mac, r);
            EXPECT_EQ(std::tuple(r.FirmCheck, r.LastNotice), std::tuple(decided, now));
        }
        EXPECT_EQ(r.FirmCheckDate.time().minute(), atStart == F::Waiting ? 3 : 0);
    }
    const int mismatch = int(RegisterLogKind::FirmMismatch);
    EXPECT_EQ(log.lines, (std::vector<Log>{{mismatch, "2", "書込版数:2.00 報告版数:1.00"},
                                          {mismatch, "4", "書込版数:2.00 報告版数:1.50"}}));
}

TEST(Ipv4, OneAddressInEveryForm)
{
    const std::tuple<std::uint32_t, std::uint32_t, const char *, const char *> rows[] = {
        {0x7F000002u, 0x0200007Fu, "127.0.0.2", "127.000.000.002"},
        {0xC0A801FEu, 0xFE01A8C0u, "192.168.1.254", "192.168.001.254"},
        {0xFFFFFFFFu, 0xFFFFFFFFu, "255.255.255.255", "255.255.255.255"},
    };
    for (const auto &[host, reg, dotted, stored] : rows) {
        SCOPED_TRACE(dotted);
        EXPECT_EQ(std::pair(Ipv4::hostToRegister(host), Ipv4::registerToHost(reg)),
                  std::pair(reg, host));
        EXPECT_EQ(std::tuple(Ipv4::dotted(host), StoredIpAddr(reg), DottedIpAddr(reg)),
                  std::tuple(QString(dotted), QString(stored), QString(dotted)));
        // Both texts read back as the host-order number.
        EXPECT_EQ(Ipv4::parse(QString::fromLatin1(dotted)), std::optional(host));
        EXPECT_EQ(Ipv4::parse(QString::fromLatin1(stored)), std::optional(host));
    }
    EXPECT_EQ(Ipv4::parse(u" 10.0.0.5 "), std::optional<std::uint32_t>(0x0A000005u));
    for (const char16_t *bad : {u"1.2.3", u"1.2.3.4.5", u"256.0.0.1", u"1..2.3", u"1.2.3.4 x",
                                u"1.2.3.0004", u"-1.2.3.4", u"USB(1.2.3.4)", u"１.2.3.4"})
        EXPECT_FALSE(Ipv4::parse(bad)) << QString::fromUtf16(bad).toStdString();
}

// Silent: not heard for twice the registration interval, measured from the
// last notice or, where an older register has none, from the registration.
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
    std::vector<TermItem> provisional{{0, "3", 0}}; // never announced itself
    ASSERT_EQ(db->addTerminals(provisional), 0);
    raw({"UPDATE TermInfo SET LastNotice=NULL, EntryDate='2024-03-01 09:00:00' WHERE UserInfo1='D'"});
    at(2024, 3, 1, 12, 1);
    const auto seen = [&](int silentCond) {
        QStringList ids;
        for (const TermEntry &e : all(silentCond))
            ids << e.TermID;
        qint64 silent = -1;
        EXPECT_EQ(db->countSilent(silent), 0);
        return std::pair(ids.join(','), silent);
    };
    EXPECT_EQ(seen(SilentCond::SilentOnly), std::pair(QString("1,4"), qint64(2)));
    EXPECT_EQ(seen(SilentCond::HeardOnly), std::pair(QString("2"), qint64(2)));
    s.EntryInt = 0; // terminals that don't refresh their registration are never silent
    db->writeSystemSettings(s);
    EXPECT_EQ(seen(SilentCond::SilentOnly), std::pair(QString(), qint64(0)));
    EXPECT_EQ(seen(SilentCond::HeardOnly), std::pair(QString("1,2,4"), qint64(0)));
}
