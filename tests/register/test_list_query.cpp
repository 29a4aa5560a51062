// The list query: damaged conditions, its translation, and which terminals
// each filter lets through on real rows.
#include "RegisterFixture.h"

#include "register/JetSql.h"

#include <functional>
#include <set>

namespace
{

ListCondInfo noFilter()
{
    ListCondInfo c;
    ResetListCond(c);
    return c;
}
} // namespace

// A damaged register must not break the list: codes the dialogs never write
// count as not set, and a text ends at its first NUL (the rest would end the
// statement).
TEST(ListQueryText, DamagedConditionsStillMakeOneStatement)
{
    ListCondInfo n = noFilter();
    n.FCndEntryDt1 = 9, n.FCndResultDt1 = -1, n.FCndMACAddr1 = 100, n.FInfoMACAddr1 = "00*";
    n.FCndTermID1 = 3, n.FInfoTermID1 = QStringLiteral("1*") + QChar(0) + QStringLiteral("')--");
    n.FCndVendor = 1, n.FInfoVendor = QString(QChar(0)) + QStringLiteral("x");
    EXPECT_EQ(ListQueryText(n), "SELECT * FROM TermInfo WHERE ID IS NOT NULL  AND (LTrim(TermID) "
                                "LIKE '1*') AND (Vendor IS NULL OR Vendor = '') ORDER BY "
                                "EntryDate DESC,TermID ASC,ID ASC");
}

TEST(JetTranslation, Texts)
{
    const std::pair<const char *, const char *> cases[] = {
        {"X WHERE (LTrim(TermID) LIKE '1?2*' OR NOT  LTrim(TermID) LIKE 'a''b')",
         "X WHERE (ltrim(TermID) LIKE '1_2%' ESCAPE '\\' OR NOT  ltrim(TermID) LIKE 'a''b' ESCAPE "
         "'\\')"},
        {"V LIKE '50%_\\*'", "V LIKE '50\\%\\_\\\\%' ESCAPE '\\'"},
        // Keywords and calls inside a literal are data.
        {"V='LIKE ''Format(x,''YYYY'')'' TOP 3'", "V='LIKE ''Format(x,''YYYY'')'' TOP 3'"},
    };
    for (const auto &[jet, sqlite] : cases)
        EXPECT_EQ(JetToSqlite(QString::fromUtf8(jet)).toStdString(), sqlite) << jet;
}

// Seven terminals, labelled by their user information ("p555" is the
// provisional row added by hand).
class ListFilterTest : public RegisterTest
{
protected:
    void SetUp() override
    {
        RegisterTest::SetUp();
        // ID, label, vendor, machine, application and boot versions, MAC, address, SIP
        const std::tuple<const char *, const char *, const char *, const char *, const char *,
                         const char *, const char *, std::uint32_t, int>
            terms[] = {
            // clang-format off
            {"7", "t7", "O'Neil", "KX-100", "1.10", "0.9", "00:11:22:33:44:01", ip(192, 168, 1, 10), 0},
            {"12", "t12", "Acme", "kx-200", "1.20", "", "00:11:22:33:44:02", ip(192, 168, 1, 20), 1},
            {"100", "t100", "", "Phone_A", "", "1.0", "AA:BB:CC:DD:EE:03", ip(10, 0, 0, 5), 2},
            {"125", "t125", "50%off", "Phone%B", "2.00", "2.0", "aa:bb:cc:dd:ee:04", ip(10, 0, 0, 6), 1},
            {"12", "t12b", "Acme", "kx-300", "1.20", "1.0", "00:11:22:33:44:05", ip(192, 168, 1, 30), 2},
            {"600", "t600", "Zeta", "Other", "3.0", "3.0", "00:11:22:33:44:06", ip(10, 0, 0, 6), 0},
            // clang-format on
        };
        std::vector<RegistrationData> data;
        for (const auto &[id, label, vendor, machine, apli, boot, mac, addr, regist] : terms) {
            RegistrationData d = notice(id, addr, mac);
            d.UserInfo2 = label, d.Vendor = vendor, d.MachineName = machine;
            d.VerApli = apli, d.VerBoot = boot, d.Regist = regist;
            data.push_back(d);
        }
        at(2023, 12, 1);
        ASSERT_EQ(db->registerUpdates(data), 0); // duplicate IDs and an address held twice
        at(2024, 1, 4);
        std::vector<TermItem> add{{0, "555", 0}};
        ASSERT_EQ(db->addTerminals(add), 0);
        // Results (which also stamp the registration date), then the last
        // registrations at their days.
        at(2024, 2, 1), db->setResultByMac("00:11:22:33:44:01", 5, 0);
        at(2024, 2, 2), db->setResultByMac("00:11:22:33:44:02", 5, 3);
        at(2024, 2, 3), db->setResultByMac("AA:BB:CC:DD:EE:03", 9, 0);
        const int days[][4] = {{5, 10, 0, 0},   {6, 10, 0, 0}, {7, 8, 0, 0},
                               {7, 23, 59, 59}, {8, 10, 0, 0}, {9, 10, 0, 0}};
        for (std::size_t i = 0; i < data.size(); ++i) {
            at(2024, 1, days[i][0], days[i][1], days[i][2], days[i][3]);
            ASSERT_EQ(db->registerUpdate(data[i]), 0);
        }
    }
    std::set<QString> shown(const ListCondInfo &c)
    {
        std::vector<TermEntry> rows;
        EXPECT_EQ(db->readList(c, rows), 0) << ListQueryText(c).toStdString();
        std::set<QString> out;
        for (const TermEntry &e : rows)
            out.insert(e.UserInfo2.isEmpty() ? "p" + e.TermID : e.UserInfo2);
        return out;
    }
};

TEST_F(ListFilterTest, EachFilterSelectsTheRightTerminals)
{
    using Set = std::set<QString>;
    const Set all{"t7", "t12", "t100", "t125", "t12b", "t600", "p555"};
    const QDateTime jan5(QDate(2024, 1, 5), QTime(18, 0)), jan6(QDate(2024, 1, 6), QTime());
    const QDateTime jan7(QDate(2024, 1, 7), QTime(1, 0)), jan4(QDate(2024, 1, 4), QTime());
    const std::tuple<const char *, std::function<void(ListCondInfo &)>, Set> cases[] = {
        // clang-format off
        {"id =", [](auto &c) { c.FCndTermID1 = 3, c.FInfoTermID1 = "12"; }, {"t12", "t12b"}},
        {"id > numeric", [](auto &c) { c.FCndTermID1 = 1, c.FInfoTermID1 = "12"; }, {"t100", "t125", "t600", "p555"}},
        {"id like AND <", [](auto &c) { c.FCndTermID1 = 3, c.FInfoTermID1 = "1*", c.FJoinTermID = 2,
                                        c.FCndTermID2 = 5, c.FInfoTermID2 = "125"; }, {"t12", "t12b", "t100"}},
        {"second without first", [](auto &c) { c.FJoinTermID = 1, c.FCndTermID2 = 3, c.FInfoTermID2 = "7"; }, all},
        {"? wildcard with *", [](auto &c) { c.FCndTermID1 = 3, c.FInfoTermID1 = "1?5*"; }, {"t125"}},
        {"ip range", [](auto &c) { c.FCndIPAddr1 = 2, c.FInfoIPAddr1 = "010.000.000.006", c.FJoinIPAddr = 2,
                                   c.FCndIPAddr2 = 5, c.FInfoIPAddr2 = "192"; }, {"t125", "t600"}},
        {"vendor quote", [](auto &c) { c.FCndVendor = 1, c.FInfoVendor = "O'Neil"; }, {"t7"}},
        {"vendor literal %", [](auto &c) { c.FCndVendor = 1, c.FInfoVendor = "50%*"; }, {"t125"}},
        {"apli = OR empty", [](auto &c) { c.FCndApVer1 = 3, c.FInfoApVer1 = "1.10", c.FJoinApVer = 1,
                                          c.FCndApVer2 = 3; }, {"t7", "t100", "p555"}},
        {"sip either", [](auto &c) { c.FCndSipEntry = 4; }, {"t12", "t125", "t100", "t12b"}},
        {"entry day =", [&](auto &c) { c.FCndEntryDt1 = 3, c.FInfoEntryDt1 = jan7; }, {"t100", "t125"}},
        {"entry days AND", [&](auto &c) { c.FCndEntryDt1 = 2, c.FInfoEntryDt1 = jan5, c.FJoinEntryDt = 2,
                                          c.FCndEntryDt2 = 4, c.FInfoEntryDt2 = jan6; }, {"t7", "t12"}},
        {"address alert", [](auto &c) { c.FInfoAlert = 3, c.FCndAlert = 1; }, {"t125", "t600"}},
        {"provisional", [](auto &c) { c.FCndTermEntry = 1; }, {"p555"}},
        {"result failed", [](auto &c) { c.FInfoResult = 5, c.FCndResult = 2; }, {"t12"}},
        {"result ok", [](auto &c) { c.FInfoResult = 5, c.FCndResult = 1; }, {"t7"}},
        {"result day <=", [&](auto &c) { c.FCndResultDt1 = 4, c.FInfoResultDt1 = jan4; }, {"t125", "t12b", "t600", "p555"}},
        {"mac not like", [](auto &c) { c.FCndMACAddr1 = 6, c.FInfoMACAddr1 = "00:11:*"; }, {"t100", "t125", "p555"}},
        // clang-format on
    };
    for (const auto &[name, set, expected] : cases) {
        ListCondInfo c = noFilter();
        set(c);
        EXPECT_EQ(shown(c), expected) << name << ": " << ListQueryText(c).toStdString();
    }
}
