// Firmware checks decided by a notice (their waits running out are run end
// to end).
#include "RegisterFixture.h"

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
                                          {mismatch, "4", "書込版数:2.00 報告版数:1.50"}}));
}
