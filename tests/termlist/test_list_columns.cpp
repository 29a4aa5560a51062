// Column texts (the export stays Japanese in every interface language), header
// marks and widths; terminal-ID counting, the add and settings input checks
// and the selection kept by record number.
#include "common/Cp932.h"
#include "termlist/ListColumns.h"
#include "termlist/ListExport.h"
#include "termlist/SelectionMemory.h"
#include "termlist/TerminalInput.h"

#include "support/PseudoTranslator.h"

#include <gtest/gtest.h>

#include <optional>

using V = ViewColumn;
using namespace TerminalInput;

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
        {V::TermID, none, "1234"}, {V::IPAddr, none, "192.168.001.020"},
        {V::Result, none, "電話帳書込(正常終了)"},
        {V::Result, [](TermEntry &e) { e.ResultKind = 0; e.ResultCode = 4; }, "　－　"},
        {V::Result, [](TermEntry &e) { e.ResultKind = 25; e.ResultCode = 3; }, "その他　　　 (ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)"},
        {V::ResultDate, none, " 2023/12/31 23:59", "2023/12/31 23:59"},
        {V::ResultDate, [](TermEntry &e) { e.ResultDate = ListColumns::zeroDate(); }, "", "1899/12/30 00:00"},
        {V::EntryKind, [](TermEntry &e) { e.TermEntryType = 0; }, "仮登録"},
        {V::SipState, none, "ﾌﾟﾗｲﾏﾘ"}, {V::SipState, [](TermEntry &e) { e.Regist = 3; }, "未登録"},
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

TEST(ListInputTest, TerminalIdsCountOnTheText)
{
    const QString nines63(63, QLatin1Char('9')), nines64(64, QLatin1Char('9'));
    const std::pair<QString, QString> cases[] = {
        {"098", "099"}, {"99", "100"}, {"0099", "0100"}, {"1239", "1240"},
        {nines63, QLatin1Char('1') + QString(63, QLatin1Char('0'))},
        {nines64, QString(64, QLatin1Char('0'))}, // no room for another digit
    };
    for (const auto &[id, next] : cases)
        EXPECT_EQ(nextTerminalId(id), next) << id.toStdString();

    EXPECT_TRUE(terminalIdSequence("", 3).isEmpty() && terminalIdSequence("5", 0).isEmpty());
    const QStringList all = terminalIdSequence("0", 65535);
    ASSERT_EQ(all.size(), 65535);
    EXPECT_EQ(all.last(), QStringLiteral("65534"));
}

TEST(ListInputTest, AddTerminalsChecks)
{
    const QString idMessage = QStringLiteral("追加する端末IDは半角数字のみで入力してください。");
    const QString countMessage =
        QStringLiteral("追加する件数は半角数字のみ0～65535の範囲で入力してください。");
    const struct {
        const char *id, *count;
        AddCheck::Field error;
        int value;
    } cases[] = {
        {"", "", AddCheck::None, 0},       {"007", "65535", AddCheck::None, 65535},
        {"1", "-1", AddCheck::Count, 0},   {"1", " 1", AddCheck::Count, 0},
        {"1 2", "x", AddCheck::TermId, 0}, {"１２", "1", AddCheck::TermId, 0}, // ID first; full width
    };
    for (const auto &c : cases) {
        const AddCheck r = checkAddTerminals(QString::fromUtf8(c.id), QString::fromUtf8(c.count));
        EXPECT_EQ(r.error, c.error) << c.id << "/" << c.count;
        if (r.error == AddCheck::None)
            EXPECT_EQ(std::tuple(r.count, r.firstId), std::tuple(c.value, QString::fromUtf8(c.id)));
        else
            EXPECT_EQ(r.message, r.error == AddCheck::TermId ? idMessage : countMessage);
    }
}

TEST(ListInputTest, SystemSettingsChecks)
{
    using S = SettingsCheck;
    const struct {
        const char *port, *interval;
        S::Field error;
        int portValue, intervalValue;
    } cases[] = {
        {"1", "0", S::None, 1, 0},  {"65535", "255", S::None, 65535, 255}, {"+1", "1", S::Port, 0, 0},
        {" 1", "1", S::Port, 0, 0}, {"0", "x", S::Port, 0, 0}, // the port is checked first
        {"4000", "256", S::Interval, 0, 0}, {"4000", "1 ", S::Interval, 0, 0},
    };
    for (const auto &c : cases) {
        const S r = checkSystemSettings(c.port, c.interval, true, 4000);
        const bool ok = r.error == S::None;
        EXPECT_EQ(std::tuple(r.error, ok ? r.port : 0, ok ? r.interval : 0),
                  std::tuple(c.error, c.portValue, c.intervalValue))
            << c.port << "/" << c.interval;
    }
    // The same number written differently is no change of port.
    for (const auto &[port, passive] : {std::pair{"4000", true}, {"04000", false}}) {
        const S r = checkSystemSettings(port, "1", passive, 4000);
        EXPECT_EQ(std::tuple(r.ftpMode, r.portChanged), std::tuple(passive ? 0 : 1, false));
    }
}

TEST(ListInputTest, AddressValue)
{
    EXPECT_EQ(addressValue("192.168.001.020"), 0x1401A8C0u);
    EXPECT_EQ(addressValue("USB(192.168.001.020)"), 0x1401A8C0u);
    EXPECT_EQ(addressValue("010.000.000.005"), 0x0500000Au); // decimal, not octal
    for (const char *bad : {"", "1.2.3", "1.2.3.256"})
        EXPECT_EQ(addressValue(bad), 0u) << bad;
}

TEST(ListSelectionTest, RestoresByRecordNumber)
{
    const auto entries = [](std::initializer_list<int> ids) {
        std::vector<TermEntry> out;
        for (int id : ids)
            out.emplace_back().ID = id;
        return out;
    };
    SelectionMemory m{{11, 12, 13, 20}, true, 12, 1};
    // The rows moved and 13 is gone; 11 and 12 are now adjacent at the end.
    RestoredSelection r = RestoreSelection(m, entries({5, 20, 6, 7, 11, 12}));
    EXPECT_EQ(r.ranges, (std::vector<std::pair<int, int>>{{1, 1}, {4, 5}}));
    EXPECT_EQ(r.focusRow, 5);
    // The focused terminal is gone: the focus stays at its old position, if any.
    r = RestoreSelection(m, entries({11, 30, 31}));
    EXPECT_TRUE(r.ranges == (std::vector<std::pair<int, int>>{{0, 0}}) && r.focusRow == 1);
    r = RestoreSelection(m, entries({30}));
    EXPECT_TRUE(r.ranges.empty() && r.focusRow == -1);
    EXPECT_EQ(RestoreSelection(SelectionMemory{}, entries({1, 2})).focusRow, -1);
}
