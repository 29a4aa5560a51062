#pragma once
// The columns of the terminal list: which ones the list condition shows and in
// what order, their headers with the sort and filter marks, their widths, and
// how every field of a terminal entry reads in the list, in the text export
// and in the detail window.

#include "common/UiLanguage.h"
#include "register/ListCond.h"
#include "register/RegisterTypes.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// Every column the list can show, in display order.
enum class ViewColumn {
    TermID,
    IPAddr,
    Result,
    ResultDate,
    EntryKind,
    Vendor,
    MachineName,
    MachineType,
    BootVer,
    ApliVer,
    MacAddr,
    UserInfo,
    SipState,
    EntryDate,
    EntryTime,
    Alert,
    LastNotice,
    FirmCheck,
};
constexpr int ViewColumnCount = 18;

namespace ListColumns
{

// The header without marks (in Japanese, the export's header name).
QString baseHeader(ViewColumn column, TextFor use = TextFor::File);
// The list column number that sort and filter use; 0 for columns without one.
int columnNumber(ViewColumn column);
// Whether the list condition shows the column (the result column always).
bool isShown(ViewColumn column, const ListCondInfo &cond);
// The shown columns in display order.
std::vector<ViewColumn> shownColumns(const ListCondInfo &cond);

// Whether the column's filter is set (its first condition code is non-zero).
bool hasFilter(int columnNumber, const ListCondInfo &cond);
// The header with "▼"/"▲" for the sort column and "◇" for a filtered one.
QString headerText(ViewColumn column, const ListCondInfo &cond);
// Width in pixels from the header's length in CP932 bytes, marks included.
int columnWidth(ViewColumn column, const QString &header);
// A cell text as wide as the column's fixed-form values get (addresses,
// dates, states); empty for free texts. The rule above is tuned for the
// management PC's system font; another font needs at least this much room.
QString widthSample(ViewColumn column);

// The date a register without a value stands for (1899/12/30 00:00).
QDateTime zeroDate();
bool isZeroDate(const QDateTime &dt);

// The text of a cell in the list.
QString cellText(ViewColumn column, const TermEntry &entry, TextFor use = TextFor::Window);
// The value of a column in the text export (Japanese).
QString exportText(ViewColumn column, const TermEntry &entry);

// The "全部で … 件" status line.
QString statusLine(qint64 count);
// The count of silent terminals beside it.
QString silentLine(qint64 count);
// A firmware check state as the list shows it (empty for none), and as the
// text export writes it.
QString firmCheckText(std::int32_t state);
QString firmCheckExportText(std::int32_t state);

} // namespace ListColumns

// The texts of the detail window, each with its leading blank.
struct TermDetailTexts {
    QString termId;
    QString ipAddr;
    QString macAddr;
    QString vendor;
    QString machineName;
    QString machineType;
    QString bootVer;
    QString apliVer;
    QString userInfo;
    QString sipState;
    QString entryDate;
    QString entryTime;
    QString alert;
    QString entryKind;
};
TermDetailTexts MakeTermDetailTexts(const TermEntry &entry);
