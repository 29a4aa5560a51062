#include "termlist/ListColumns.h"

#include "comm/ResultCodes.h"
#include "common/Cp932.h"

#include <QCoreApplication>

#include <array>

namespace
{

// How a column's width follows from its header's byte length L.
enum class WidthRule {
    EightL,          // 8·L, at least the minimum
    EightLLessHalf,  // 8·L − L/2
    EightLLessThird, // 8·L − L/3 + 1
    SevenL,          // 7·L
    EntryDate,       // 8·L − L/2 − 6
    Fixed,           // the minimum
};

struct ColumnDef {
    ViewColumn column;
    const char *header;
    int number;
    WidthRule rule;
    int width;
};

// In display order; the numbers are those of the sort and filter fields.
const std::array<ColumnDef, ViewColumnCount> &defs()
{
    static const std::array<ColumnDef, ViewColumnCount> table{{
        {ViewColumn::TermID, QT_TRANSLATE_NOOP("ListColumns", "端末ID"), ListColumn::TermID,
         WidthRule::EightL, 68},
        {ViewColumn::IPAddr, QT_TRANSLATE_NOOP("ListColumns", "IPｱﾄﾞﾚｽ"), ListColumn::IPAddr,
         WidthRule::EightL, 90},
        {ViewColumn::Result, QT_TRANSLATE_NOOP("ListColumns", "処理結果"), ListColumn::Result,
         WidthRule::EightL, 195},
        {ViewColumn::ResultDate, QT_TRANSLATE_NOOP("ListColumns", "処理結果日時"),
         ListColumn::ResultDate, WidthRule::EightL, 120},
        {ViewColumn::EntryKind, QT_TRANSLATE_NOOP("ListColumns", "端末登録種別"),
         ListColumn::EntryKind, WidthRule::EightLLessHalf, 0},
        {ViewColumn::Vendor, QT_TRANSLATE_NOOP("ListColumns", "ﾍﾞﾝﾀﾞ情報"), ListColumn::Vendor,
         WidthRule::EightL, 80},
        {ViewColumn::MachineName, QT_TRANSLATE_NOOP("ListColumns", "機器名称"),
         ListColumn::MachineName, WidthRule::EightL, 110},
        {ViewColumn::MachineType, QT_TRANSLATE_NOOP("ListColumns", "機器ﾀｲﾌﾟ"), 0, WidthRule::Fixed,
         60},
        {ViewColumn::BootVer, QT_TRANSLATE_NOOP("ListColumns", "ﾌﾞｰﾄVer"), ListColumn::BootVer,
         WidthRule::EightLLessThird, 0},
        {ViewColumn::ApliVer, QT_TRANSLATE_NOOP("ListColumns", "ｱﾌﾟﾘｹｰｼｮﾝVer"), ListColumn::ApliVer,
         WidthRule::Fixed, 130},
        {ViewColumn::MacAddr, QT_TRANSLATE_NOOP("ListColumns", "MACｱﾄﾞﾚｽ"), ListColumn::MACAddr,
         WidthRule::Fixed, 120},
        {ViewColumn::UserInfo, QT_TRANSLATE_NOOP("ListColumns", "ﾕｰｻﾞ情報"), 0, WidthRule::Fixed,
         90},
        {ViewColumn::SipState, QT_TRANSLATE_NOOP("ListColumns", "SIPｻｰﾊﾞ登録状態"),
         ListColumn::SipEntry, WidthRule::SevenL, 0},
        {ViewColumn::EntryDate, QT_TRANSLATE_NOOP("ListColumns", "管理PC登録日付"),
         ListColumn::EntryDate, WidthRule::EntryDate, 0},
        {ViewColumn::EntryTime, QT_TRANSLATE_NOOP("ListColumns", "管理PC登録時刻"), 0,
         WidthRule::Fixed, 105},
        {ViewColumn::Alert, QT_TRANSLATE_NOOP("ListColumns", "ｱﾗｰﾄ情報"), ListColumn::Alert,
         WidthRule::EightL, 143},
        {ViewColumn::LastNotice, QT_TRANSLATE_NOOP("ListColumns", "最終通知"),
         ListColumn::LastNotice, WidthRule::EightL, 120},
        {ViewColumn::FirmCheck, QT_TRANSLATE_NOOP("ListColumns", "ファーム確認"),
         ListColumn::FirmCheck, WidthRule::EightL, 90},
    }};
    return table;
}

const ColumnDef &def(ViewColumn column)
{
    return defs()[static_cast<std::size_t>(column)];
}

QDateTime orZero(const QDateTime &dt)
{
    return dt.isValid() ? dt : ListColumns::zeroDate();
}

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(ListColumns)
};

// The Japanese text for the export, its translation for the list.
QString text(const char *source, TextFor use)
{
    return use == TextFor::Window ? Tr::tr(source) : QString::fromUtf8(source);
}

QString sipStateText(std::int32_t regist, TextFor use)
{
    switch (regist) {
    case 1:
        return text(QT_TRANSLATE_NOOP("ListColumns", "ﾌﾟﾗｲﾏﾘ"), use);
    case 2:
        return text(QT_TRANSLATE_NOOP("ListColumns", "ｾｶﾝﾀﾞﾘ"), use);
    default:
        return text(QT_TRANSLATE_NOOP("ListColumns", "未登録"), use);
    }
}

QString entryKindText(std::int32_t type, TextFor use)
{
    return type == TermEntryKind::Provisional
               ? text(QT_TRANSLATE_NOOP("ListColumns", "仮登録"), use)
               : text(QT_TRANSLATE_NOOP("ListColumns", "運用中"), use);
}

// The firmware check states, in FirmCheckState order.
const char *const FirmCheckTexts[FirmCheckState::Count] = {
    "", QT_TRANSLATE_NOOP("ListColumns", "確認待ち"), QT_TRANSLATE_NOOP("ListColumns", "確認済み"),
    QT_TRANSLATE_NOOP("ListColumns", "版数不一致"), QT_TRANSLATE_NOOP("ListColumns", "応答なし")};

QString twoDigits(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

QString dateText(const QDateTime &dt)
{
    const QDate d = dt.date();
    return QString::number(d.year()).rightJustified(4, QLatin1Char('0')) + QLatin1Char('/') +
           twoDigits(d.month()) + QLatin1Char('/') + twoDigits(d.day());
}

// The list's clock time: a full-width colon in Japanese.
QString clockText(const QDateTime &dt)
{
    const QTime t = dt.time();
    return Tr::tr("%1：%2", "hours and minutes")
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'));
}

QString timeText(const QDateTime &dt, QChar colon)
{
    const QTime t = dt.time();
    return twoDigits(t.hour()) + colon + twoDigits(t.minute());
}

} // namespace

namespace ListColumns
{

QString baseHeader(ViewColumn column, TextFor use)
{
    return text(def(column).header, use);
}

int columnNumber(ViewColumn column)
{
    return def(column).number;
}

bool isShown(ViewColumn column, const ListCondInfo &c)
{
    switch (column) {
    case ViewColumn::TermID:
        return c.ColTermID == 1;
    case ViewColumn::IPAddr:
        return c.ColIPAddr == 1;
    case ViewColumn::Result:
        return true;
    case ViewColumn::ResultDate:
        return c.ColResultDate == 1;
    case ViewColumn::EntryKind:
        return c.ColEntryKind == 1;
    case ViewColumn::Vendor:
        return c.ColVendorInfo == 1;
    case ViewColumn::MachineName:
        return c.ColMachineName == 1;
    case ViewColumn::MachineType:
        return c.ColMachineType == 1;
    case ViewColumn::BootVer:
        return c.ColBootVer == 1;
    case ViewColumn::ApliVer:
        return c.ColApliVer == 1;
    case ViewColumn::MacAddr:
        return c.ColUserInfo1 == 1;
    case ViewColumn::UserInfo:
        return c.ColUserInfo2 == 1;
    case ViewColumn::SipState:
        return c.ColSipSvrEntry == 1;
    case ViewColumn::EntryDate:
        return c.ColEntryDate == 1;
    case ViewColumn::EntryTime:
        return c.ColEntryTime == 1;
    case ViewColumn::Alert:
        return c.ColAlert == 1;
    case ViewColumn::LastNotice:
        return c.ColLastNotice == 1;
    case ViewColumn::FirmCheck:
        return c.ColFirmCheck == 1;
    }
    return false;
}

std::vector<ViewColumn> shownColumns(const ListCondInfo &cond)
{
    std::vector<ViewColumn> out;
    for (const ColumnDef &d : defs())
        if (isShown(d.column, cond))
            out.push_back(d.column);
    return out;
}

bool hasFilter(int number, const ListCondInfo &c)
{
    switch (number) {
    case ListColumn::TermID:
        return c.FCndTermID1 != 0;
    case ListColumn::IPAddr:
        return c.FCndIPAddr1 != 0;
    case ListColumn::Result:
        return c.FCndResult != 0;
    case ListColumn::EntryKind:
        return c.FCndTermEntry != 0;
    case ListColumn::Vendor:
        return c.FCndVendor != 0;
    case ListColumn::MachineName:
        return c.FCndMachin != 0;
    case ListColumn::BootVer:
        return c.FCndBtVer1 != 0;
    case ListColumn::ApliVer:
        return c.FCndApVer1 != 0;
    case ListColumn::MACAddr:
        return c.FCndMACAddr1 != 0;
    case ListColumn::SipEntry:
        return c.FCndSipEntry != 0;
    case ListColumn::EntryDate:
        return c.FCndEntryDt1 != 0;
    case ListColumn::Alert:
        return c.FCndAlert != 0;
    case ListColumn::ResultDate:
        return c.FCndResultDt1 != 0;
    case ListColumn::LastNotice:
        return c.FCndSilent != 0;
    case ListColumn::FirmCheck:
        return c.FCndFirmCheck != 0;
    default:
        return false;
    }
}

QString headerText(ViewColumn column, const ListCondInfo &cond)
{
    QString text = baseHeader(column, TextFor::Window);
    const int number = columnNumber(column);
    if (number == 0)
        return text;
    if (number == cond.SortColNo) {
        if (cond.SortDirect == SortDirection::Descending)
            text += QStringLiteral("▼");
        else if (cond.SortDirect == SortDirection::Ascending)
            text += QStringLiteral("▲");
    }
    if (hasFilter(number, cond))
        text += QStringLiteral("◇");
    return text;
}

int columnWidth(ViewColumn column, const QString &header)
{
    const ColumnDef &d = def(column);
    const int l = static_cast<int>(Cp932::byteLength(header));
    switch (d.rule) {
    case WidthRule::EightL:
        return std::max(8 * l, d.width);
    case WidthRule::EightLLessHalf:
        return 8 * l - l / 2;
    case WidthRule::EightLLessThird:
        return 8 * l - l / 3 + 1;
    case WidthRule::SevenL:
        return 7 * l;
    case WidthRule::EntryDate:
        return 8 * l - l / 2 - 6;
    case WidthRule::Fixed:
        return d.width;
    }
    return d.width;
}

QString widthSample(ViewColumn column)
{
    switch (column) {
    case ViewColumn::IPAddr:
        return QStringLiteral("000.000.000.000");
    case ViewColumn::Result:
        return ResultColumnText(OperationKind::TermInfo, ResultCode::FtpTransfer, TextFor::Window);
    case ViewColumn::ResultDate:
    case ViewColumn::LastNotice:
        return QStringLiteral(" 0000/00/00 00:00");
    case ViewColumn::FirmCheck:
        return firmCheckText(FirmCheckState::Mismatch);
    case ViewColumn::EntryKind:
        return entryKindText(TermEntryKind::InOperation, TextFor::Window);
    case ViewColumn::MacAddr:
        return QStringLiteral("00:00:00:00:00:00");
    case ViewColumn::SipState:
        return sipStateText(2, TextFor::Window);
    case ViewColumn::EntryDate:
        return QStringLiteral(" 0000/00/00");
    case ViewColumn::EntryTime:
        return QLatin1Char(' ') + clockText(zeroDate());
    case ViewColumn::Alert:
        return cellText(ViewColumn::Alert, TermEntry{});
    default:
        return QString();
    }
}

QDateTime zeroDate()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

bool isZeroDate(const QDateTime &dt)
{
    return !dt.isValid() || dt == zeroDate();
}

QString cellText(ViewColumn column, const TermEntry &e, TextFor use)
{
    switch (column) {
    case ViewColumn::TermID:
        return TrimmedTermId(e.TermID);
    case ViewColumn::IPAddr:
        return e.IPAddr;
    case ViewColumn::Result:
        return ResultColumnText(e.ResultKind, e.ResultCode, use);
    case ViewColumn::ResultDate:
        if (isZeroDate(e.ResultDate))
            return QString();
        return QLatin1Char(' ') + dateText(e.ResultDate) + QLatin1Char(' ') +
               timeText(e.ResultDate, QLatin1Char(':'));
    case ViewColumn::EntryKind:
        return entryKindText(e.TermEntryType, use);
    case ViewColumn::Vendor:
        return e.Vendor;
    case ViewColumn::MachineName:
        return e.MachineName;
    case ViewColumn::MachineType:
        return e.MachineType;
    case ViewColumn::BootVer:
        return e.VerBoot;
    case ViewColumn::ApliVer:
        return e.VerApli;
    case ViewColumn::MacAddr:
        return e.UserInfo1;
    case ViewColumn::UserInfo:
        return e.UserInfo2;
    case ViewColumn::SipState:
        return sipStateText(e.Regist, use);
    case ViewColumn::EntryDate:
        return QLatin1Char(' ') + dateText(orZero(e.EntryDate));
    case ViewColumn::EntryTime:
        return QLatin1Char(' ') + clockText(orZero(e.EntryDate));
    case ViewColumn::Alert:
        return (e.TermIDAlert == 1 ? text(QT_TRANSLATE_NOOP("ListColumns", "端末ID異常"), use)
                                   : text(QT_TRANSLATE_NOOP("ListColumns", "－－－－－"), use)) +
               (e.IPAddrAlert == 1 ? text(QT_TRANSLATE_NOOP("ListColumns", "/IPｱﾄﾞﾚｽ異常"), use)
                                   : text(QT_TRANSLATE_NOOP("ListColumns", "/－－－－－ "), use));
    case ViewColumn::LastNotice:
        if (!e.LastNotice.isValid())
            return QString();
        return QLatin1Char(' ') + dateText(e.LastNotice) + QLatin1Char(' ') +
               timeText(e.LastNotice, QLatin1Char(':'));
    case ViewColumn::FirmCheck:
        return use == TextFor::Window ? firmCheckText(e.FirmCheck)
                                      : firmCheckExportText(e.FirmCheck);
    }
    return QString();
}

QString exportText(ViewColumn column, const TermEntry &e)
{
    switch (column) {
    case ViewColumn::ResultDate: {
        const QDateTime dt = orZero(e.ResultDate);
        return dateText(dt) + QLatin1Char(' ') + timeText(dt, QLatin1Char(':'));
    }
    case ViewColumn::EntryDate:
        return dateText(orZero(e.EntryDate));
    case ViewColumn::EntryTime:
        return timeText(orZero(e.EntryDate), QLatin1Char(':'));
    case ViewColumn::LastNotice:
        return e.LastNotice.isValid() ? dateText(e.LastNotice) + QLatin1Char(' ') +
                                            timeText(e.LastNotice, QLatin1Char(':'))
                                      : QString();
    case ViewColumn::FirmCheck:
        return firmCheckExportText(e.FirmCheck);
    case ViewColumn::Alert:
        return (e.TermIDAlert == 1 ? QStringLiteral("端末ID異常") : QStringLiteral("端末ID正常")) +
               (e.IPAddrAlert == 1 ? QStringLiteral(" / IPｱﾄﾞﾚｽ異常")
                                   : QStringLiteral(" / IPｱﾄﾞﾚｽ正常"));
    default:
        return cellText(column, e, TextFor::File);
    }
}

QString statusLine(qint64 count)
{
    return Tr::tr(" 全部で %n 件の端末情報を表示しています。", nullptr, int(count));
}

QString silentLine(qint64 count)
{
    return Tr::tr("応答なし端末 %n 台", nullptr, int(count));
}

QString firmCheckText(std::int32_t state)
{
    if (state <= FirmCheckState::None || state >= FirmCheckState::Count)
        return QString();
    return Tr::tr(FirmCheckTexts[state]);
}

QString firmCheckExportText(std::int32_t state)
{
    if (state <= FirmCheckState::None || state >= FirmCheckState::Count)
        return QString();
    return QString::fromUtf8(FirmCheckTexts[state]);
}

} // namespace ListColumns

TermDetailTexts MakeTermDetailTexts(const TermEntry &e)
{
    const QString blank(QLatin1Char(' '));
    const QDateTime entry = orZero(e.EntryDate);
    TermDetailTexts t;
    t.termId = blank + TrimmedTermId(e.TermID);
    t.ipAddr = blank + e.IPAddr;
    t.macAddr = blank + e.UserInfo1;
    t.vendor = blank + e.Vendor;
    t.machineName = blank + e.MachineName;
    t.machineType = blank + e.MachineType;
    t.bootVer = blank + e.VerBoot;
    t.apliVer = blank + e.VerApli;
    t.userInfo = blank + e.UserInfo2;
    switch (e.Regist) {
    case 0:
        t.sipState = Tr::tr(" 未登録");
        break;
    case 1:
        t.sipState = Tr::tr(" プライマリ");
        break;
    default:
        t.sipState = Tr::tr(" セカンダリ");
        break;
    }
    t.entryDate = blank + dateText(entry);
    t.entryTime = blank + clockText(entry);
    t.alert = (e.TermIDAlert != 0 ? Tr::tr(" 端末ID異常") : Tr::tr(" 端末ID正常")) +
              (e.IPAddrAlert != 0 ? Tr::tr(" / IPｱﾄﾞﾚｽ異常") : Tr::tr(" / IPｱﾄﾞﾚｽ正常"));
    t.entryKind = e.TermEntryType != 0 ? Tr::tr(" 運用中") : Tr::tr(" 仮登録");
    return t;
}
