#pragma once
// The list condition of the terminal list (the one ListCondInfo row): which
// columns are shown, the sort, the per-column filters; the SQL text of the
// list query built from it; and the rules that the list window applies on a
// header click, on clear-all and on column selection.

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>

// Field for field the ListCondInfo row. Integers: 0 always means "not set".
// Dates: only the day counts; an invalid QDateTime is the zero date.
struct ListCondInfo {
    std::int32_t ID = 0;
    // Column flags, 1 shown / 0 hidden.
    std::int32_t ColTermID = 0;
    std::int32_t ColEntryKind = 0;
    std::int32_t ColIPAddr = 0;
    std::int32_t ColVendorInfo = 0;
    std::int32_t ColMachineName = 0;
    std::int32_t ColMachineType = 0;
    std::int32_t ColBootVer = 0;
    std::int32_t ColApliVer = 0;
    std::int32_t ColUserInfo1 = 0; // MAC address column
    std::int32_t ColUserInfo2 = 0; // user information column
    std::int32_t ColSipSvrEntry = 0;
    std::int32_t ColEntryDate = 0;
    std::int32_t ColEntryTime = 0;
    std::int32_t ColAlert = 0;
    std::int32_t ColResultDate = 0;
    // Sort: column number, 2 ascending / anything else descending.
    std::int32_t SortColNo = 0;
    std::int32_t SortDirect = 0;
    // Filters. FInfo* values, FCnd* condition codes, FJoin* join codes.
    QString FInfoTermID1;
    QString FInfoTermID2;
    std::int32_t FCndTermID1 = 0;
    std::int32_t FCndTermID2 = 0;
    std::int32_t FJoinTermID = 0;
    QString FInfoIPAddr1;
    QString FInfoIPAddr2;
    std::int32_t FCndIPAddr1 = 0;
    std::int32_t FCndIPAddr2 = 0;
    std::int32_t FJoinIPAddr = 0;
    QString FInfoVendor;
    std::int32_t FCndVendor = 0;
    QString FInfoMachin;
    std::int32_t FCndMachin = 0;
    QString FInfoApVer1;
    QString FInfoApVer2;
    std::int32_t FCndApVer1 = 0;
    std::int32_t FCndApVer2 = 0;
    std::int32_t FJoinApVer = 0;
    QString FInfoBtVer1;
    QString FInfoBtVer2;
    std::int32_t FCndBtVer1 = 0;
    std::int32_t FCndBtVer2 = 0;
    std::int32_t FJoinBtVer = 0;
    std::int32_t FCndSipEntry = 0;
    QDateTime FInfoEntryDt1;
    QDateTime FInfoEntryDt2;
    std::int32_t FCndEntryDt1 = 0;
    std::int32_t FCndEntryDt2 = 0;
    std::int32_t FJoinEntryDt = 0;
    std::int32_t FInfoAlert = 0;
    std::int32_t FCndAlert = 0;
    std::int32_t FCndTermEntry = 0;
    std::int32_t FInfoResult = 0;
    std::int32_t FCndResult = 0;
    QString FInfoMACAddr1;
    QString FInfoMACAddr2;
    std::int32_t FCndMACAddr1 = 0;
    std::int32_t FCndMACAddr2 = 0;
    std::int32_t FJoinMACAddr = 0;
    QDateTime FInfoResultDt1;
    QDateTime FInfoResultDt2;
    std::int32_t FCndResultDt1 = 0;
    std::int32_t FCndResultDt2 = 0;
    std::int32_t FJoinResultDt = 0;
    // Columns "最終通知" and "ファーム確認" (flags as above).
    std::int32_t ColLastNotice = 0;
    std::int32_t ColFirmCheck = 0;
    // Last notice: 1 silent terminals only, 2 terminals heard in time only.
    std::int32_t FCndSilent = 0;
    // Firmware check: FInfoFirmCheck is the state + 1 (1..5), FCndFirmCheck
    // two-way.
    std::int32_t FInfoFirmCheck = 0;
    std::int32_t FCndFirmCheck = 0;
    // Result: with FCndResult 2 the one result code the rows carry (1..9),
    // or 10 for every other code (they share one text); 0 any code.
    std::int32_t FInfoResultCode = 0;

    bool operator==(const ListCondInfo &) const = default;
};

// Column numbers of the list (also the values of SortColNo).
namespace ListColumn
{
constexpr int TermID = 1;
constexpr int IPAddr = 2;
constexpr int Result = 3;
constexpr int EntryKind = 4;
constexpr int Vendor = 5;
constexpr int MachineName = 6;
constexpr int BootVer = 8;
constexpr int ApliVer = 9;
constexpr int MACAddr = 10;
constexpr int SipEntry = 12;
constexpr int EntryDate = 13;
constexpr int Alert = 15;
constexpr int ResultDate = 16;
constexpr int LastNotice = 17;
constexpr int FirmCheck = 18;
} // namespace ListColumn

// FCndSipEntry beyond the dialog's codes 1..4: registered with neither server.
namespace SipCond
{
constexpr std::int32_t Neither = 5;
} // namespace SipCond

// FCndSilent values.
namespace SilentCond
{
constexpr std::int32_t SilentOnly = 1;
constexpr std::int32_t HeardOnly = 2;
} // namespace SilentCond

// FCndResult values: 1 succeeded, 2 failed, 3 no operation recorded yet.
namespace ResultCond
{
constexpr std::int32_t Success = 1;
constexpr std::int32_t Error = 2;
constexpr std::int32_t None = 3;
constexpr std::int32_t AnyCode = 0;
constexpr std::int32_t SharedCodes = 10; // FInfoResultCode for codes outside 1..9
} // namespace ResultCond

namespace SortDirection
{
constexpr std::int32_t Descending = 1;
constexpr std::int32_t Ascending = 2;
} // namespace SortDirection

// Condition codes: six-way 1 ">", 2 ">=", 3 "=", 4 "<=", 5 "<", 6 "<>";
// two-way 1 "=", 2 "<>". Join codes 1 " OR ", 2 " AND ".
namespace CondCode
{
constexpr std::int32_t None = 0;
constexpr std::int32_t Greater = 1;
constexpr std::int32_t GreaterEqual = 2;
constexpr std::int32_t Equal = 3;
constexpr std::int32_t LessEqual = 4;
constexpr std::int32_t Less = 5;
constexpr std::int32_t NotEqual = 6;
} // namespace CondCode
namespace JoinCode
{
constexpr std::int32_t None = 0;
constexpr std::int32_t Or = 1;
constexpr std::int32_t And = 2;
} // namespace JoinCode

// The SQL operator of a six-way code ("" for 0 and unknown codes).
QString SixWayOperator(int code);
// " OR ", " AND " or "".
QString JoinText(int code);

// The list condition with every field at its zero value, then the standard
// conditions: this is what a freshly created register holds.
ListCondInfo DefaultListCond();
// Sort column 13 descending (SortDirect 1); every filter empty or zero.
// Column flags untouched.
void ResetListCond(ListCondInfo &cond);
// The conditions used when the stored ones can't be read: the standard
// column flags (ColResultDate untouched), sort 13 with SortDirect 0, no filter.
void StandardListCond(ListCondInfo &cond);
// Empties one column's filter (values, dates, condition and join codes).
// Columns without a filter are ignored.
void ClearColumnFilter(ListCondInfo &cond, int column);

// The list query: "SELECT * FROM TermInfo WHERE ID IS NOT NULL " + the filter
// pieces + ORDER BY + tie-break, as Jet SQL text. Trims the version, vendor
// and machine-name values in cond (the trimmed text is kept). silentBefore
// is the time before which a terminal's last notice makes it silent
// (invalid: no terminal is silent); only the last-notice filter uses it.
QString BuildListQuery(ListCondInfo &cond, const QDateTime &silentBefore = {});
// The same without touching cond (works on a copy).
QString ListQueryText(const ListCondInfo &cond, const QDateTime &silentBefore = {});
// The condition under which a row is silent: in operation, and its last
// notice (a row of an older register that has none yet: its registration
// date, never earlier than that notice) before silentBefore. "(1=0)" when
// silentBefore is invalid.
QString SilentCondition(const QDateTime &silentBefore);
// The start of the silence: twice the registration refresh interval before
// now; invalid when the interval is 0 (terminals then never refresh).
QDateTime SilentSince(const QDateTime &now, int entryIntHours);

// Header text -> column number (prefix comparison in the fixed order);
// 0 when the header is not one of the filterable columns.
int ColumnNumberFromHeader(const QString &headerText);
// Sorting is allowed for 1, 3, 8, 9, 10, 13 and 16.
bool IsSortableColumn(int column);
// The mode a header click posts: 3 sort and filter, 1 filter only, 0 nothing.
int HeaderClickMode(int column);
// "降順"/"昇順" of the display condition dialog: sets SortColNo and
// SortDirect (1 or 2) when the column may sort and answers true (the caller
// then writes the condition and reloads); answers false and changes nothing
// for a column that may not sort.
bool ApplySortChoice(ListCondInfo &cond, int column, std::int32_t direction);
// Clear all filters and sorts (after the user's Yes): reset, then sort on
// column 3 when the registration date column is hidden.
void ClearAllConditions(ListCondInfo &cond);

// The column flags in ListCondInfo order (ColTermID .. ColResultDate, then
// ColLastNotice and ColFirmCheck).
using ListColumnFlags = std::array<std::int32_t, 17>;
ListColumnFlags GetColumnFlags(const ListCondInfo &cond);
void SetColumnFlags(ListCondInfo &cond, const ListColumnFlags &flags);
// Column selection ended with OK: when at least one flag differs, takes the
// flags, moves the sort off hidden columns and drops the filters of hidden
// columns, and answers true (the caller then writes and reloads). Answers
// false and changes nothing when the flags are the same.
bool ApplyColumnSelection(ListCondInfo &cond, const ListColumnFlags &flags);
