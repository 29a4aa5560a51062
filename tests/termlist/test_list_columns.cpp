// Cell, export and detail texts of every column, header marks and widths.
#include "termlist/ListColumns.h"

#include <gtest/gtest.h>

namespace
{

TermEntry sampleEntry()
{
    TermEntry e;
    e.ID = 7;
    e.TermID = QStringLiteral("   1234");
    e.IPAddr = QStringLiteral("192.168.001.020");
    e.Vendor = QStringLiteral("VendorX");
    e.MachineName = QStringLiteral("KX-100");
    e.MachineType = QStringLiteral("T1");
    e.VerBoot = QStringLiteral("1.02");
    e.VerApli = QStringLiteral("3.10");
    e.UserInfo1 = QStringLiteral("00:11:22:33:44:55");
    e.UserInfo2 = QStringLiteral("desk 5");
    e.Regist = 1;
    e.EntryDate = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 41));
    e.TermEntryType = 1;
    e.ResultKind = 7;
    e.ResultCode = 0;
    e.ResultDate = QDateTime(QDate(2023, 12, 31), QTime(23, 59, 1));
    return e;
}

struct CellCase {
    const char *name;
    ViewColumn column;
    void (*change)(TermEntry &);
    const char *list;
    const char *exported;
};

} // namespace

TEST(ListColumnsTest, CellAndExportTexts)
{
    const CellCase cases[] = {
        {"id without blanks", ViewColumn::TermID, [](TermEntry &) {}, "1234", "1234"},
        {"address as stored", ViewColumn::IPAddr, [](TermEntry &) {}, "192.168.001.020",
         "192.168.001.020"},
        {"kind 7 success", ViewColumn::Result, [](TermEntry &) {}, "電話帳書込(正常終了)",
         "電話帳書込(正常終了)"},
        {"kind 0 alone", ViewColumn::Result,
         [](TermEntry &e) {
             e.ResultKind = 0;
             e.ResultCode = 4;
         },
         "　－　", "　－　"},
        {"kind 13 alone", ViewColumn::Result,
         [](TermEntry &e) {
             e.ResultKind = 13;
             e.ResultCode = 3;
         },
         "端末情報取得中", "端末情報取得中"},
        {"unknown kind", ViewColumn::Result,
         [](TermEntry &e) {
             e.ResultKind = 25;
             e.ResultCode = 3;
         },
         "その他　　　 (ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)", "その他　　　 (ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)"},
        {"result date", ViewColumn::ResultDate, [](TermEntry &) {}, " 2023/12/31 23:59",
         "2023/12/31 23:59"},
        {"no result date", ViewColumn::ResultDate, [](TermEntry &e) { e.ResultDate = {}; }, "",
         "1899/12/30 00:00"},
        {"zero result date", ViewColumn::ResultDate,
         [](TermEntry &e) { e.ResultDate = ListColumns::zeroDate(); }, "", "1899/12/30 00:00"},
        {"provisional", ViewColumn::EntryKind, [](TermEntry &e) { e.TermEntryType = 0; }, "仮登録",
         "仮登録"},
        {"in operation", ViewColumn::EntryKind, [](TermEntry &e) { e.TermEntryType = 5; }, "運用中",
         "運用中"},
        {"vendor", ViewColumn::Vendor, [](TermEntry &) {}, "VendorX", "VendorX"},
        {"machine", ViewColumn::MachineName, [](TermEntry &) {}, "KX-100", "KX-100"},
        {"type", ViewColumn::MachineType, [](TermEntry &) {}, "T1", "T1"},
        {"boot", ViewColumn::BootVer, [](TermEntry &) {}, "1.02", "1.02"},
        {"apli", ViewColumn::ApliVer, [](TermEntry &) {}, "3.10", "3.10"},
        {"mac", ViewColumn::MacAddr, [](TermEntry &) {}, "00:11:22:33:44:55", "00:11:22:33:44:55"},
        {"user", ViewColumn::UserInfo, [](TermEntry &) {}, "desk 5", "desk 5"},
        {"sip 0", ViewColumn::SipState, [](TermEntry &e) { e.Regist = 0; }, "未登録", "未登録"},
        {"sip 1", ViewColumn::SipState, [](TermEntry &) {}, "ﾌﾟﾗｲﾏﾘ", "ﾌﾟﾗｲﾏﾘ"},
        {"sip 2", ViewColumn::SipState, [](TermEntry &e) { e.Regist = 2; }, "ｾｶﾝﾀﾞﾘ", "ｾｶﾝﾀﾞﾘ"},
        {"sip 3", ViewColumn::SipState, [](TermEntry &e) { e.Regist = 3; }, "未登録", "未登録"},
        {"entry date", ViewColumn::EntryDate, [](TermEntry &) {}, " 2024/03/05", "2024/03/05"},
        {"entry time", ViewColumn::EntryTime, [](TermEntry &) {}, " 09：05", "09:05"},
        {"no alert", ViewColumn::Alert, [](TermEntry &) {}, "－－－－－/－－－－－ ",
         "端末ID正常 / IPｱﾄﾞﾚｽ正常"},
        {"both alerts", ViewColumn::Alert,
         [](TermEntry &e) {
             e.TermIDAlert = 1;
             e.IPAddrAlert = 1;
         },
         "端末ID異常/IPｱﾄﾞﾚｽ異常", "端末ID異常 / IPｱﾄﾞﾚｽ異常"},
        {"address alert", ViewColumn::Alert, [](TermEntry &e) { e.IPAddrAlert = 1; },
         "－－－－－/IPｱﾄﾞﾚｽ異常", "端末ID正常 / IPｱﾄﾞﾚｽ異常"},
    };
    for (const CellCase &c : cases) {
        TermEntry e = sampleEntry();
        c.change(e);
        EXPECT_EQ(ListColumns::cellText(c.column, e), QString::fromUtf8(c.list)) << c.name;
        EXPECT_EQ(ListColumns::exportText(c.column, e), QString::fromUtf8(c.exported)) << c.name;
    }
}

TEST(ListColumnsTest, HeaderMarks)
{
    ListCondInfo cond = DefaultListCond();
    cond.SortColNo = 13;
    cond.SortDirect = 1;
    EXPECT_EQ(ListColumns::headerText(ViewColumn::EntryDate, cond),
              QStringLiteral("管理PC登録日付▼"));
    cond.SortDirect = 2;
    EXPECT_EQ(ListColumns::headerText(ViewColumn::EntryDate, cond),
              QStringLiteral("管理PC登録日付▲"));
    // The standard conditions' direction 0 carries no mark.
    cond.SortDirect = 0;
    EXPECT_EQ(ListColumns::headerText(ViewColumn::EntryDate, cond),
              QStringLiteral("管理PC登録日付"));

    cond.SortColNo = 1;
    cond.SortDirect = 2;
    cond.FCndTermID1 = 3;
    EXPECT_EQ(ListColumns::headerText(ViewColumn::TermID, cond), QStringLiteral("端末ID▲◇"));
    // A second clause alone is no filter.
    cond.FCndIPAddr2 = 3;
    cond.FJoinIPAddr = 1;
    EXPECT_EQ(ListColumns::headerText(ViewColumn::IPAddr, cond), QStringLiteral("IPｱﾄﾞﾚｽ"));
    cond.FCndSipEntry = 2;
    cond.FCndAlert = 1;
    cond.FCndResultDt1 = 2;
    EXPECT_EQ(ListColumns::headerText(ViewColumn::SipState, cond),
              QStringLiteral("SIPｻｰﾊﾞ登録状態◇"));
    EXPECT_EQ(ListColumns::headerText(ViewColumn::Alert, cond), QStringLiteral("ｱﾗｰﾄ情報◇"));
    EXPECT_EQ(ListColumns::headerText(ViewColumn::ResultDate, cond),
              QStringLiteral("処理結果日時◇"));
    // Sorting on the result date must not mark the result column (prefix twins).
    cond.SortColNo = 16;
    EXPECT_EQ(ListColumns::headerText(ViewColumn::Result, cond), QStringLiteral("処理結果"));
}

TEST(ListColumnsTest, WidthsFollowHeaderBytes)
{
    const struct {
        ViewColumn column;
        const char *header;
        int width;
    } cases[] = {
        {ViewColumn::TermID, "端末ID", 68},   // 8·6 below the minimum
        {ViewColumn::TermID, "端末ID▼◇", 80}, // marks are two bytes each
        {ViewColumn::IPAddr, "IPｱﾄﾞﾚｽ", 90},  // half-width katakana one byte
        {ViewColumn::Result, "処理結果", 195},
        {ViewColumn::ResultDate, "処理結果日時▼", 120},
        {ViewColumn::EntryKind, "端末登録種別", 90}, // 96 − 6
        {ViewColumn::EntryKind, "端末登録種別◇", 105},
        {ViewColumn::Vendor, "ﾍﾞﾝﾀﾞ情報", 80},
        {ViewColumn::MachineName, "機器名称◇", 110},
        {ViewColumn::MachineType, "機器ﾀｲﾌﾟ", 60},
        {ViewColumn::BootVer, "ﾌﾞｰﾄVer", 55},   // 56 − 2 + 1
        {ViewColumn::BootVer, "ﾌﾞｰﾄVer▲◇", 86}, // 88 − 3 + 1
        {ViewColumn::ApliVer, "ｱﾌﾟﾘｹｰｼｮﾝVer▼", 130},
        {ViewColumn::MacAddr, "MACｱﾄﾞﾚｽ", 120},
        {ViewColumn::UserInfo, "ﾕｰｻﾞ情報", 90},
        {ViewColumn::SipState, "SIPｻｰﾊﾞ登録状態", 105},
        {ViewColumn::EntryDate, "管理PC登録日付", 99},   // 112 − 7 − 6
        {ViewColumn::EntryDate, "管理PC登録日付▼", 114}, // 128 − 8 − 6
        {ViewColumn::EntryTime, "管理PC登録時刻", 105},
        {ViewColumn::Alert, "ｱﾗｰﾄ情報", 143},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ListColumns::columnWidth(c.column, QString::fromUtf8(c.header)), c.width)
            << c.header;
}

TEST(ListColumnsTest, ShownColumnsInDisplayOrder)
{
    ListCondInfo cond;
    EXPECT_EQ(ListColumns::shownColumns(cond), std::vector<ViewColumn>{ViewColumn::Result});

    StandardListCond(cond);
    cond.ColResultDate = 1;
    const std::vector<ViewColumn> standard{
        ViewColumn::TermID,      ViewColumn::IPAddr,  ViewColumn::Result,   ViewColumn::ResultDate,
        ViewColumn::MachineName, ViewColumn::ApliVer, ViewColumn::SipState, ViewColumn::EntryDate,
        ViewColumn::EntryTime,   ViewColumn::Alert};
    EXPECT_EQ(ListColumns::shownColumns(cond), standard);

    // Only a flag of exactly 1 shows a column.
    cond.ColVendorInfo = 2;
    EXPECT_EQ(ListColumns::shownColumns(cond), standard);
}

TEST(ListColumnsTest, StatusLine)
{
    EXPECT_EQ(ListColumns::statusLine(65535),
              QStringLiteral(" 全部で 65535 件の端末情報を表示しています。"));
}

TEST(ListColumnsTest, DetailTexts)
{
    TermEntry e = sampleEntry();
    e.Regist = 3;
    e.TermIDAlert = 1;
    TermDetailTexts t = MakeTermDetailTexts(e);
    EXPECT_EQ(t.termId, QStringLiteral(" 1234"));
    EXPECT_EQ(t.ipAddr, QStringLiteral(" 192.168.001.020"));
    EXPECT_EQ(t.macAddr, QStringLiteral(" 00:11:22:33:44:55"));
    EXPECT_EQ(t.userInfo, QStringLiteral(" desk 5"));
    EXPECT_EQ(t.sipState, QStringLiteral(" セカンダリ"));
    EXPECT_EQ(t.entryDate, QStringLiteral(" 2024/03/05"));
    EXPECT_EQ(t.entryTime, QStringLiteral(" 09：05"));
    EXPECT_EQ(t.alert, QStringLiteral(" 端末ID異常 / IPｱﾄﾞﾚｽ正常"));
    EXPECT_EQ(t.entryKind, QStringLiteral(" 運用中"));

    e.Regist = 0;
    e.TermIDAlert = 0;
    e.IPAddrAlert = 2;
    e.TermEntryType = 0;
    t = MakeTermDetailTexts(e);
    EXPECT_EQ(t.sipState, QStringLiteral(" 未登録"));
    EXPECT_EQ(t.alert, QStringLiteral(" 端末ID正常 / IPｱﾄﾞﾚｽ異常"));
    EXPECT_EQ(t.entryKind, QStringLiteral(" 仮登録"));
    e.Regist = 1;
    EXPECT_EQ(MakeTermDetailTexts(e).sipState, QStringLiteral(" プライマリ"));
}
