// Cell, export and detail texts of every column, header marks and widths;
// the export stays Japanese in every interface language.
#include "common/Cp932.h"
#include "termlist/ListColumns.h"
#include "termlist/ListExport.h"

#include "support/PseudoTranslator.h"

#include <gtest/gtest.h>

#include <optional>

using V = ViewColumn;

namespace
{

TermEntry sampleEntry()
{
    TermEntry e;
    e.ID = 7;
    e.TermID = QStringLiteral("   1234");
    e.IPAddr = QStringLiteral("192.168.001.020");
    e.UserInfo1 = QStringLiteral("00:11:22:33:44:55");
    e.UserInfo2 = QStringLiteral("desk 5");
    e.Regist = 1;
    e.EntryDate = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 41));
    e.TermEntryType = 1;
    e.ResultKind = 7;
    e.ResultDate = QDateTime(QDate(2023, 12, 31), QTime(23, 59, 1));
    return e;
}

} // namespace

TEST(ListColumnsTest, CellAndExportTexts)
{
    using Change = void (*)(TermEntry &);
    const Change none = [](TermEntry &) {};
    struct Case {
        ViewColumn column;
        Change change;
        const char *list;
        const char *exported = nullptr; // nullptr: as in the list
    };
    const Case cases[] = {
        {V::TermID, none, "1234"}, {V::IPAddr, none, "192.168.001.020"}, {V::UserInfo, none, "desk 5"},
        {V::Result, none, "電話帳書込(正常終了)"},
        {V::Result, [](TermEntry &e) { e.ResultKind = 0; e.ResultCode = 4; }, "　－　"},
        {V::Result, [](TermEntry &e) { e.ResultKind = 13; e.ResultCode = 3; }, "端末情報取得中"},
        {V::Result, [](TermEntry &e) { e.ResultKind = 25; e.ResultCode = 3; }, "その他　　　 (ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)"},
        {V::ResultDate, none, " 2023/12/31 23:59", "2023/12/31 23:59"},
        {V::ResultDate, [](TermEntry &e) { e.ResultDate = ListColumns::zeroDate(); }, "", "1899/12/30 00:00"},
        {V::EntryKind, [](TermEntry &e) { e.TermEntryType = 0; }, "仮登録"},
        {V::EntryKind, [](TermEntry &e) { e.TermEntryType = 5; }, "運用中"},
        {V::SipState, none, "ﾌﾟﾗｲﾏﾘ"}, {V::SipState, [](TermEntry &e) { e.Regist = 2; }, "ｾｶﾝﾀﾞﾘ"},
        {V::SipState, [](TermEntry &e) { e.Regist = 3; }, "未登録"},
        {V::EntryDate, none, " 2024/03/05", "2024/03/05"}, {V::EntryTime, none, " 09：05", "09:05"},
        {V::Alert, none, "－－－－－/－－－－－ ", "端末ID正常 / IPｱﾄﾞﾚｽ正常"},
        {V::Alert, [](TermEntry &e) { e.TermIDAlert = e.IPAddrAlert = 1; }, "端末ID異常/IPｱﾄﾞﾚｽ異常", "端末ID異常 / IPｱﾄﾞﾚｽ異常"},
        {V::Alert, [](TermEntry &e) { e.IPAddrAlert = 1; }, "－－－－－/IPｱﾄﾞﾚｽ異常", "端末ID正常 / IPｱﾄﾞﾚｽ異常"},
    };
    for (const bool translated : {false, true}) {
        std::optional<PseudoTranslator> english;
        if (translated)
            english.emplace();
        for (const Case &c : cases) {
            SCOPED_TRACE(c.list);
            TermEntry e = sampleEntry();
            c.change(e);
            if (!translated)
                EXPECT_EQ(ListColumns::cellText(c.column, e), QString::fromUtf8(c.list));
            EXPECT_EQ(ListColumns::exportText(c.column, e),
                      QString::fromUtf8(c.exported ? c.exported : c.list));
        }
        // The list itself speaks the interface's language; the file's header does not.
        TermEntry e = sampleEntry();
        e.ResultKind = 13;
        EXPECT_EQ(ListColumns::cellText(V::Result, e),
                  translated ? QStringLiteral("[端末情報取得中]") : QStringLiteral("端末情報取得中"));
        EXPECT_EQ(ListExport::build({V::Result, V::Alert}, {}),
                  Cp932::encode(QStringLiteral("処理結果,ｱﾗｰﾄ情報,\r\n")));
    }
}

TEST(ListColumnsTest, HeaderMarks)
{
    ListCondInfo cond = DefaultListCond();
    cond.SortColNo = 13;
    for (const auto &[direct, text] : {std::pair{1, "管理PC登録日付▼"}, {2, "管理PC登録日付▲"},
                                       {0, "管理PC登録日付"}}) { // direction 0: no mark
        cond.SortDirect = direct;
        EXPECT_EQ(ListColumns::headerText(V::EntryDate, cond), QString::fromUtf8(text));
    }
    cond.SortColNo = 1, cond.SortDirect = 2, cond.FCndTermID1 = 3;
    EXPECT_EQ(ListColumns::headerText(V::TermID, cond), QStringLiteral("端末ID▲◇"));
    // A second clause alone is no filter; sorting on the result date must not
    // mark the result column (prefix twins).
    cond.FCndIPAddr2 = 3, cond.FJoinIPAddr = 1, cond.FCndResultDt1 = 2, cond.SortColNo = 16;
    EXPECT_EQ(ListColumns::headerText(V::IPAddr, cond) + ListColumns::headerText(V::Result, cond) +
                  ListColumns::headerText(V::ResultDate, cond),
              QStringLiteral("IPｱﾄﾞﾚｽ処理結果処理結果日時▲◇"));
}

TEST(ListColumnsTest, WidthsFollowHeaderBytes)
{
    // Marks count two CP932 bytes each, half-width katakana one.
    for (const auto &[column, header, width] :
         {std::tuple{V::TermID, "端末ID", 68}, {V::TermID, "端末ID▼◇", 80},
          {V::BootVer, "ﾌﾞｰﾄVer▲◇", 86}, {V::SipState, "SIPｻｰﾊﾞ登録状態", 105}})
        EXPECT_EQ(ListColumns::columnWidth(column, QString::fromUtf8(header)), width) << header;
}

TEST(ListColumnsTest, DetailTexts)
{
    TermEntry e = sampleEntry();
    e.Regist = 3;
    e.TermIDAlert = 1;
    TermDetailTexts t = MakeTermDetailTexts(e);
    EXPECT_EQ(
        QStringList({t.termId, t.ipAddr, t.macAddr, t.userInfo, t.sipState, t.entryDate,
                     t.entryTime, t.alert, t.entryKind}),
        QStringList({" 1234", " 192.168.001.020", " 00:11:22:33:44:55", " desk 5", " セカンダリ",
                     " 2024/03/05", " 09：05", " 端末ID異常 / IPｱﾄﾞﾚｽ正常", " 運用中"}));
    e.Regist = 1;
    EXPECT_EQ(MakeTermDetailTexts(e).sipState, QStringLiteral(" プライマリ"));
}
