// What the list window does to the list condition: header clicks, clear
// all, column selection, reset and the standard conditions.
#include "register/ListCond.h"

#include <gtest/gtest.h>

TEST(ListRules, HeaderTextToColumnAndClickMode)
{
    const struct {
        const char *header;
        int column, mode;
    } cases[] = {
        {"端末ID ▼", 1, 3},         {"IPｱﾄﾞﾚｽ", 2, 1},         {"処理結果日時", 16, 3},
        {"処理結果", 3, 3},         {"端末登録種別", 4, 1},    {"ﾍﾞﾝﾀﾞ情報", 5, 1},
        {"機器名称", 6, 1},         {"機器ﾀｲﾌﾟ", 0, 0},        {"ﾌﾞｰﾄVer", 8, 3},
        {"ｱﾌﾟﾘｹｰｼｮﾝVer", 9, 3},     {"MACｱﾄﾞﾚｽ", 10, 3},       {"ﾕｰｻﾞ情報", 0, 0},
        {"SIPｻｰﾊﾞ登録状態", 12, 1}, {"管理PC登録日付", 13, 3}, {"管理PC登録時刻", 0, 0},
        {"ｱﾗｰﾄ情報", 15, 1},        {"Unknown", 0, 0},         {"ID", 0, 0},
    };
    for (const auto &c : cases) {
        const int col = ColumnNumberFromHeader(QString::fromUtf8(c.header));
        EXPECT_EQ(col, c.column) << c.header;
        EXPECT_EQ(HeaderClickMode(col), c.mode) << c.header;
    }
}

TEST(ListRules, SortChoiceOnlyForSortableColumns)
{
    for (int col = 0; col <= 17; ++col) {
        ListCondInfo c = DefaultListCond();
        const bool sortable =
            col == 1 || col == 3 || col == 8 || col == 9 || col == 10 || col == 13 || col == 16;
        EXPECT_EQ(ApplySortChoice(c, col, SortDirection::Ascending), sortable) << col;
        EXPECT_EQ(c.SortColNo, sortable ? col : 13);
        EXPECT_EQ(c.SortDirect, sortable ? 2 : 0);
    }
    ListCondInfo c = DefaultListCond();
    ApplySortChoice(c, 8, SortDirection::Descending);
    EXPECT_EQ(c.SortDirect, 1);
}

namespace
{
ListCondInfo withEveryFilter()
{
    ListCondInfo c;
    c.FInfoTermID1 = "1", c.FInfoTermID2 = "2", c.FCndTermID1 = 3, c.FCndTermID2 = 1,
    c.FJoinTermID = 1;
    c.FInfoIPAddr1 = "010.*", c.FCndIPAddr1 = 3;
    c.FInfoVendor = "v", c.FCndVendor = 1;
    c.FInfoMachin = "m", c.FCndMachin = 2;
    c.FInfoApVer1 = "1", c.FCndApVer1 = 2;
    c.FInfoBtVer1 = "1", c.FCndBtVer1 = 2;
    c.FCndSipEntry = 4;
    c.FInfoEntryDt1 = QDateTime(QDate(2024, 1, 1), QTime()), c.FCndEntryDt1 = 3;
    c.FInfoAlert = 2, c.FCndAlert = 1;
    c.FCndTermEntry = 1;
    c.FInfoResult = 20, c.FCndResult = 1;
    c.FInfoMACAddr1 = "AA*", c.FCndMACAddr1 = 3;
    c.FInfoResultDt1 = QDateTime(QDate(2024, 1, 1), QTime()), c.FCndResultDt1 = 2;
    return c;
}
} // namespace

TEST(ListRules, ResetStandardAndClearAll)
{
    ListCondInfo c = withEveryFilter();
    c.ColTermID = 0, c.ColEntryDate = 1, c.ColResultDate = 1;
    ListCondInfo reset = c;
    ResetListCond(reset);
    ListCondInfo expected;
    expected.ColEntryDate = 1, expected.ColResultDate = 1, expected.SortColNo = 13,
    expected.SortDirect = 1;
    EXPECT_EQ(reset, expected);

    ListCondInfo standard = c;
    StandardListCond(standard);
    EXPECT_EQ(GetColumnFlags(standard),
              (ListColumnFlags{1, 0, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 1, 1, 1}));
    EXPECT_EQ(standard.SortColNo, 13);
    EXPECT_EQ(standard.SortDirect, 0);
    EXPECT_EQ(
        ListQueryText(standard),
        "SELECT * FROM TermInfo WHERE ID IS NOT NULL  ORDER BY EntryDate DESC,TermID ASC,ID ASC");

    ClearAllConditions(c);
    EXPECT_EQ(c.SortColNo, 13);
    c.ColEntryDate = 0;
    ClearAllConditions(c);
    EXPECT_EQ(c.SortColNo, 3);
    EXPECT_EQ(c.SortDirect, 1);
}

TEST(ListRules, ColumnSelectionMovesTheSort)
{
    // flags index: 0 TermID, 6 BootVer, 7 ApliVer, 8 MAC, 11 EntryDate, 14 ResultDate
    const struct {
        int sortCol, sortDir, hide, hide2;
        int wantCol, wantDir;
    } cases[] =
        {
            {1, 2, 0, -1, 13, 1}, // ID hidden, date shown
            {1, 2, 0, 11, 3, 1},  // ID and date hidden
            {1, 2, 7, -1, 1, 2},  // ID still shown: unchanged
            {8, 2, 6, -1, 13, 1},  {9, 2, 7, 11, 3, 1},
            {10, 2, 2, -1, 10, 1}, // MAC shown: direction becomes descending
            {10, 2, 8, -1, 3, 1},  // MAC hidden: column 3 even with the date shown
            {13, 2, 2, -1, 13, 1}, {13, 2, 11, -1, 3, 1},
            {16, 2, 2, -1, 16, 1}, {16, 2, 14, -1, 3, 1},
            {3, 2, 11, -1, 3, 2},  {12, 2, 10, -1, 12, 2},
        };
    for (const auto &tc : cases) {
        ListCondInfo c = DefaultListCond();
        c.ColBootVer = c.ColUserInfo1 = c.ColResultDate = 1;
        c.SortColNo = tc.sortCol, c.SortDirect = tc.sortDir;
        ListColumnFlags f = GetColumnFlags(c);
        f[tc.hide] = f[tc.hide] ? 0 : 1;
        if (tc.hide2 >= 0)
            f[tc.hide2] = 0;
        ASSERT_TRUE(ApplyColumnSelection(c, f));
        EXPECT_EQ(c.SortColNo, tc.wantCol) << tc.sortCol << " hide " << tc.hide;
        EXPECT_EQ(c.SortDirect, tc.wantDir) << tc.sortCol << " hide " << tc.hide;
    }
    ListCondInfo same = DefaultListCond();
    same.SortColNo = 1;
    EXPECT_FALSE(ApplyColumnSelection(same, GetColumnFlags(same)));
    EXPECT_EQ(same.SortColNo, 1);
}

TEST(ListRules, ColumnSelectionDropsFiltersOfHiddenColumns)
{
    ListCondInfo c = withEveryFilter();
    ListColumnFlags shown;
    shown.fill(1);
    SetColumnFlags(c, shown);
    c.SortColNo = 3;
    ListCondInfo hidden = c;
    ListColumnFlags none{};
    ASSERT_TRUE(ApplyColumnSelection(hidden, none));
    // Only the result filter survives; it belongs to the always-shown column.
    ListCondInfo expected;
    expected.FInfoResult = 20, expected.FCndResult = 1, expected.SortColNo = 3;
    EXPECT_EQ(hidden, expected);

    // A second clause alone is not in force and is left.
    ListCondInfo partial;
    SetColumnFlags(partial, shown);
    partial.FCndTermID2 = 3, partial.FInfoTermID2 = "5", partial.FJoinTermID = 1;
    ListColumnFlags noId = shown;
    noId[0] = 0;
    ASSERT_TRUE(ApplyColumnSelection(partial, noId));
    EXPECT_EQ(partial.FInfoTermID2, "5");
}
