// What the list window does to the list condition: header clicks, clear
// all, column selection, reset and the standard conditions.
#include "register/ListCond.h"

#include <gtest/gtest.h>

TEST(ListRules, HeaderTextToColumnClickModeAndSortChoice)
{
    for (const auto &[header, column, mode] : {std::tuple{"端末ID ▼", 1, 3}, {"処理結果日時", 16, 3},
                                               {"処理結果 ◇", 3, 3}, {"SIPｻｰﾊﾞ登録状態", 12, 1},
                                               {"機器ﾀｲﾌﾟ", 0, 0}, {"Unknown", 0, 0}}) {
        const int col = ColumnNumberFromHeader(QString::fromUtf8(header));
        EXPECT_EQ(std::pair(col, HeaderClickMode(col)), std::pair(column, mode)) << header;
        ListCondInfo c = DefaultListCond(); // a column that doesn't sort leaves the sort alone
        EXPECT_EQ(std::tuple(ApplySortChoice(c, col, SortDirection::Ascending), c.SortColNo),
                  mode == 3 ? std::tuple(true, col) : std::tuple(false, 13)) << header;
    }
}

// Reset, the standard conditions and hiding columns: each drops the filters
// it should and keeps the rest (clear all is run through the list window).
TEST(ListRules, ResetStandardAndClearAll)
{
    ListCondInfo c; // every filter set
    const QDateTime day(QDate(2024, 1, 1), QTime());
    c.FInfoTermID1 = "1", c.FInfoTermID2 = "2", c.FCndTermID1 = 3, c.FCndTermID2 = 1;
    c.FJoinTermID = 1, c.FInfoIPAddr1 = "010.*", c.FCndIPAddr1 = 3, c.FCndSipEntry = 4;
    c.FInfoVendor = "v", c.FCndVendor = 1, c.FInfoMachin = "m", c.FCndMachin = 2;
    c.FInfoApVer1 = "1", c.FCndApVer1 = 2, c.FInfoBtVer1 = "1", c.FCndBtVer1 = 2;
    c.FInfoEntryDt1 = day, c.FCndEntryDt1 = 3, c.FInfoResultDt1 = day, c.FCndResultDt1 = 2;
    c.FInfoAlert = 2, c.FCndAlert = 1, c.FCndTermEntry = 1, c.FInfoResult = 20, c.FCndResult = 1;
    c.FInfoMACAddr1 = "AA*", c.FCndMACAddr1 = 3;
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
    EXPECT_EQ(std::pair(standard.SortColNo, standard.SortDirect), std::pair(13, 0));
    EXPECT_EQ(ListQueryText(standard), ListQueryText(reset)); // no filter left

    // All columns hidden: only the result filter of the always-shown column stays.
    ListColumnFlags shown;
    shown.fill(1);
    SetColumnFlags(c, shown);
    c.SortColNo = 3;
    ListCondInfo hidden = c;
    ASSERT_TRUE(ApplyColumnSelection(hidden, ListColumnFlags{}));
    expected = {};
    expected.FInfoResult = 20, expected.FCndResult = 1, expected.SortColNo = 3;
    EXPECT_EQ(hidden, expected);
}

TEST(ListRules, ColumnSelectionMovesTheSort)
{
    // flags index: 0 TermID, 6 BootVer, 7 ApliVer, 8 MAC, 11 EntryDate, 14 ResultDate;
    // every case starts ascending.
    const std::tuple<int, int, int, int, int> cases[] = { // sorted, hidden, hidden too, sort after
        {1, 0, -1, 13, 1}, {1, 0, 11, 3, 1}, // ID hidden, date shown or not
        {1, 7, -1, 1, 2},                    // ID still shown: unchanged
        {8, 6, -1, 13, 1}, {9, 7, 11, 3, 1}, {10, 2, -1, 10, 1}, // MAC shown: now descending
        {10, 8, -1, 3, 1},  // MAC hidden: column 3 even with the date shown
        {13, 11, -1, 3, 1}, {16, 2, -1, 16, 1}, {16, 14, -1, 3, 1}, {3, 11, -1, 3, 2},
    };
    for (const auto &[sortCol, hide, hide2, wantCol, wantDir] : cases) {
        ListCondInfo c = DefaultListCond();
        c.ColBootVer = c.ColUserInfo1 = c.ColResultDate = 1;
        c.SortColNo = sortCol, c.SortDirect = SortDirection::Ascending;
        ListColumnFlags f = GetColumnFlags(c);
        f[hide] = f[hide] ? 0 : 1;
        if (hide2 >= 0)
            f[hide2] = 0;
        ASSERT_TRUE(ApplyColumnSelection(c, f));
        EXPECT_EQ(std::pair(c.SortColNo, c.SortDirect), std::pair(wantCol, wantDir))
            << sortCol << " hide " << hide;
    }
    ListCondInfo same = DefaultListCond();
    EXPECT_FALSE(ApplyColumnSelection(same, GetColumnFlags(same)));
    // Each column's choice is kept as made.
    for (std::size_t i = 0; i < ListColumnFlags().size(); ++i) {
        ListCondInfo c = DefaultListCond();
        ListColumnFlags f = GetColumnFlags(c);
        f[i] = !f[i];
        ASSERT_TRUE(ApplyColumnSelection(c, f));
        EXPECT_EQ(GetColumnFlags(c), f) << "column " << i;
    }
}
