#include "register/ListCond.h"

#include "register/RegisterTypes.h"
#include "register/Schema.h"

namespace
{

QString q(const QString &value)
{
    return QLatin1Char('\'') + QuoteText(value) + QLatin1Char('\'');
}

bool hasWildcard(const QString &value)
{
    return value.contains(QLatin1Char('*'));
}

// A condition counts only with a code the dialogs write (six-way 1..6) and,
// for the second one, a join code 1 or 2; anything else (a damaged row)
// would only break the statement.
bool counts(std::int32_t code)
{
    return code >= CondCode::Greater && code <= CondCode::NotEqual;
}
bool secondCounts(std::int32_t join, std::int32_t code)
{
    return (join == JoinCode::Or || join == JoinCode::And) && counts(code);
}

// The zero date of the original engine, used when a date filter holds none.
QString dateLiteral(const QDateTime &dt)
{
    const QDate d = dt.isValid() ? dt.date() : QDate(1899, 12, 30);
    return QString::asprintf("'%04d/%02d/%02d'", d.year(), d.month(), d.day());
}

// Terminal ID, IP address and MAC address: two clauses with LIKE.
struct TwoClauseNames {
    const char *n1, *n2, *l1, *l2, *emptyEq, *emptyOther;
    bool padded; // the terminal ID compares in its stored form
};

const TwoClauseNames TermIdNames{"TermID",
                                 " TermID",
                                 "LTrim(TermID)",
                                 " LTrim(TermID)",
                                 " IS NULL OR TermID = '')",
                                 " IS NOT NULL AND TermID <> '')",
                                 true};
const TwoClauseNames IpAddrNames{"IPAddr",
                                 " IPAddr",
                                 "IPAddr",
                                 " IPAddr",
                                 " IS NULL OR IPAddr = '')",
                                 " IS NOT NULL AND IPAddr <> '')",
                                 false};
const TwoClauseNames MacNames{"UserInfo1",
                              " UserInfo1",
                              "UserInfo1",
                              " UserInfo1",
                              " IS NULL OR UserInfo1 = '')",
                              " IS NOT NULL AND UserInfo1 <> '')",
                              false};

QString twoClausePiece(const TwoClauseNames &n, const QString &v1, std::int32_t c1,
                       std::int32_t join, const QString &v2, std::int32_t c2)
{
    if (!counts(c1))
        return {};
    auto value = [&](const QString &v) { return q(n.padded ? StoredTermId(v) : v); };
    auto emptyTail = [&](std::int32_t code) {
        return QLatin1String(code == CondCode::Equal ? n.emptyEq : n.emptyOther);
    };
    QString s;
    if (v1.isEmpty())
        s = QLatin1String(" AND (") + QLatin1String("(") + QLatin1String(n.n1) + emptyTail(c1);
    else if (!hasWildcard(v1))
        s = QLatin1String(" AND (") + QLatin1String(n.n1) + SixWayOperator(c1) + value(v1);
    else if (c1 == CondCode::Equal)
        s = QLatin1String(" AND (") + QLatin1String(n.l1) + QLatin1String(" LIKE ") + q(v1);
    else
        s = QLatin1String(" AND (NOT ") + QLatin1String(n.l1) + QLatin1String(" LIKE ") + q(v1);
    if (secondCounts(join, c2)) {
        s += JoinText(join);
        if (v2.isEmpty())
            s += QLatin1String("(") + QLatin1String(n.n2) + emptyTail(c2);
        else if (!hasWildcard(v2))
            s += QLatin1String(n.n2) + SixWayOperator(c2) + value(v2);
        else if (c2 == CondCode::Equal)
            s += QLatin1String(n.l2) + QLatin1String(" LIKE ") + q(v2);
        else
            s += QLatin1String(" NOT") + QLatin1String(n.l2) + QLatin1String(" LIKE ") + q(v2);
    }
    return s + QLatin1String(")");
}

// Application and boot versions: no wildcard, values trimmed (and kept so).
QString versionPiece(const QString &col, QString &v1, std::int32_t c1, std::int32_t join,
                     QString &v2, std::int32_t c2)
{
    v1 = v1.trimmed();
    v2 = v2.trimmed();
    if (!counts(c1))
        return {};
    const QString isEmpty =
        QLatin1String("(") + col + QLatin1String(" IS NULL OR ") + col + QLatin1String(" = '')");
    const QString notEmpty = QLatin1String("(") + col + QLatin1String(" IS NOT NULL AND ") + col +
                             QLatin1String(" <> '')");
    QString s;
    if (!v1.isEmpty())
        s = QLatin1String(" AND (") + col + SixWayOperator(c1) + q(v1);
    else
        s = QLatin1String(" AND (") + (c1 == CondCode::Equal ? isEmpty : notEmpty);
    if (secondCounts(join, c2)) {
        s += JoinText(join);
        if (!v2.isEmpty())
            s += col + SixWayOperator(c2) + q(v2);
        else
            s += c2 == CondCode::Equal ? isEmpty : notEmpty;
    }
    return s + QLatin1String(")");
}

// Vendor and machine name: one value, two-way code.
QString oneValuePiece(const QString &col, QString &v, std::int32_t code)
{
    v = v.trimmed();
    if (code == 0)
        return {};
    const bool equal = code == 1;
    const QString head = QLatin1String(" (") + col;
    if (v.isEmpty())
        return QLatin1String(" AND") + head +
               (equal ? QLatin1String(" IS NULL OR ") + col + QLatin1String(" = ''")
                      : QLatin1String(" IS NOT NULL AND ") + col + QLatin1String(" <> ''")) +
               QLatin1String(")");
    if (!hasWildcard(v))
        return QLatin1String(" AND") + head + QLatin1String(equal ? "=" : "<>") + q(v) +
               QLatin1String(")");
    return QLatin1String(equal ? " AND" : " AND NOT") + head + QLatin1String(" LIKE ") + q(v) +
           QLatin1String(")");
}

QString datePiece(const char *column, const QDateTime &d1, std::int32_t c1, std::int32_t join,
                  const QDateTime &d2, std::int32_t c2)
{
    if (!counts(c1))
        return {};
    const QString expr =
        QLatin1String("Format(") + QLatin1String(column) + QLatin1String(",'YYYY/MM/DD')");
    QString s = QLatin1String(" AND (") + expr + SixWayOperator(c1) + dateLiteral(d1);
    if (secondCounts(join, c2))
        s += JoinText(join) + expr + SixWayOperator(c2) + dateLiteral(d2);
    return s + QLatin1String(")");
}

QString sipPiece(std::int32_t code)
{
    if (code >= 1 && code <= 3)
        return QLatin1String(" AND (Regist=") + QString::number(code - 1) + QLatin1String(")");
    if (code == 4)
        return QStringLiteral(" AND (Regist=1 OR Regist=2)");
    // Registered with neither server: every state the list shows "未登録".
    if (code == SipCond::Neither)
        return QStringLiteral(" AND NOT (Regist=1 OR Regist=2)");
    return {};
}

QString alertPiece(std::int32_t info, std::int32_t code)
{
    static const char *const states[] = {"(TermIDAlert=0 AND IPAddrAlert=0)",
                                         "(TermIDAlert<>0 OR IPAddrAlert<>0)", "(IPAddrAlert<>0)",
                                         "(TermIDAlert<>0)"};
    if (info < 1 || info > 4)
        return {};
    if (code == 1)
        return QLatin1String(" AND ") + QLatin1String(states[info - 1]);
    if (code == 2)
        return QLatin1String(" AND NOT") + QLatin1String(states[info - 1]);
    return {};
}

QString entryKindPiece(std::int32_t code)
{
    if (code == 1)
        return QStringLiteral(" AND (TermEntryType=0)");
    if (code == 2)
        return QStringLiteral(" AND (TermEntryType=1)");
    return {};
}

QString resultPiece(std::int32_t info, std::int32_t code, std::int32_t resultCode)
{
    if (info == 0 || code == 0)
        return {};
    if (code == ResultCond::None)
        return QStringLiteral(" AND (ResultKind <= 0)");
    QString s = info == 20 ? QStringLiteral(" AND (ResultKind > 0")
                           : QLatin1String(" AND (ResultKind=") + QString::number(info);
    if (code == ResultCond::Success)
        return s + QLatin1String(" AND ResultCode=0)");
    s += QLatin1String(" AND ResultCode<>0");
    if (resultCode >= 1 && resultCode < ResultCond::SharedCodes)
        s += QLatin1String(" AND ResultCode=") + QString::number(resultCode);
    else if (resultCode == ResultCond::SharedCodes)
        s += QLatin1String(" AND NOT (ResultCode BETWEEN 1 AND 9)");
    return s + QLatin1String(")");
}

QString silentPiece(std::int32_t code, const QDateTime &silentBefore)
{
    if (code == SilentCond::SilentOnly)
        return QLatin1String(" AND ") + SilentCondition(silentBefore);
    if (code == SilentCond::HeardOnly)
        return QLatin1String(" AND (TermEntryType<>0 AND NOT ") + SilentCondition(silentBefore) +
               QLatin1String(")");
    return {};
}

QString firmCheckPiece(std::int32_t info, std::int32_t code)
{
    if (info < 1 || info > 5 || (code != 1 && code != 2))
        return {};
    return QLatin1String(code == 1 ? " AND (FirmCheck=" : " AND (FirmCheck<>") +
           QString::number(info - 1) + QLatin1String(")");
}

QString orderPiece(const ListCondInfo &c)
{
    const bool asc = c.SortDirect == SortDirection::Ascending;
    const QLatin1String dir(asc ? " ASC" : " DESC");
    QString s;
    switch (c.SortColNo) {
    case ListColumn::TermID:
        s = QLatin1String(" ORDER BY TermID") + dir;
        break;
    case ListColumn::Result:
        s = QLatin1String(" ORDER BY ResultCode") + dir + QLatin1String(",ResultKind") + dir;
        if (c.ColResultDate == 1)
            s += QLatin1String(",ResultDate") + dir;
        break;
    case ListColumn::BootVer:
        s = QLatin1String(" ORDER BY VerBoot") + dir;
        break;
    case ListColumn::ApliVer:
        s = QLatin1String(" ORDER BY VerApli") + dir;
        break;
    case ListColumn::MACAddr:
        s = QLatin1String(" ORDER BY UserInfo1") + dir;
        break;
    case ListColumn::ResultDate:
        s = QLatin1String(" ORDER BY ResultDate") + dir;
        break;
    default:
        s = QLatin1String(" ORDER BY EntryDate") + dir;
    }
    s += c.SortColNo == ListColumn::TermID ? QLatin1String(",ID ASC")
                                           : QLatin1String(",TermID ASC,ID ASC");
    return s;
}

void clearFilters(ListCondInfo &c)
{
    for (int column :
         {ListColumn::TermID, ListColumn::IPAddr, ListColumn::Result, ListColumn::EntryKind,
          ListColumn::Vendor, ListColumn::MachineName, ListColumn::BootVer, ListColumn::ApliVer,
          ListColumn::MACAddr, ListColumn::SipEntry, ListColumn::EntryDate, ListColumn::Alert,
          ListColumn::ResultDate, ListColumn::LastNotice, ListColumn::FirmCheck})
        ClearColumnFilter(c, column);
}

} // namespace

QString SixWayOperator(int code)
{
    static const char *const ops[] = {"", ">", ">=", "=", "<=", "<", "<>"};
    if (code < 0 || code > 6)
        return {};
    return QLatin1String(ops[code]);
}

QString JoinText(int code)
{
    if (code == JoinCode::Or)
        return QStringLiteral(" OR ");
    if (code == JoinCode::And)
        return QStringLiteral(" AND ");
    return {};
}

void ClearColumnFilter(ListCondInfo &c, int column)
{
    switch (column) {
    case ListColumn::TermID:
        c.FInfoTermID1.clear();
        c.FInfoTermID2.clear();
        c.FCndTermID1 = c.FCndTermID2 = c.FJoinTermID = 0;
        break;
    case ListColumn::IPAddr:
        c.FInfoIPAddr1.clear();
        c.FInfoIPAddr2.clear();
        c.FCndIPAddr1 = c.FCndIPAddr2 = c.FJoinIPAddr = 0;
        break;
    case ListColumn::Result:
        c.FInfoResult = c.FCndResult = c.FInfoResultCode = 0;
        break;
    case ListColumn::EntryKind:
        c.FCndTermEntry = 0;
        break;
    case ListColumn::Vendor:
        c.FInfoVendor.clear();
        c.FCndVendor = 0;
        break;
    case ListColumn::MachineName:
        c.FInfoMachin.clear();
        c.FCndMachin = 0;
        break;
    case ListColumn::BootVer:
        c.FInfoBtVer1.clear();
        c.FInfoBtVer2.clear();
        c.FCndBtVer1 = c.FCndBtVer2 = c.FJoinBtVer = 0;
        break;
    case ListColumn::ApliVer:
        c.FInfoApVer1.clear();
        c.FInfoApVer2.clear();
        c.FCndApVer1 = c.FCndApVer2 = c.FJoinApVer = 0;
        break;
    case ListColumn::MACAddr:
        c.FInfoMACAddr1.clear();
        c.FInfoMACAddr2.clear();
        c.FCndMACAddr1 = c.FCndMACAddr2 = c.FJoinMACAddr = 0;
        break;
    case ListColumn::SipEntry:
        c.FCndSipEntry = 0;
        break;
    case ListColumn::EntryDate:
        c.FInfoEntryDt1 = c.FInfoEntryDt2 = QDateTime();
        c.FCndEntryDt1 = c.FCndEntryDt2 = c.FJoinEntryDt = 0;
        break;
    case ListColumn::Alert:
        c.FInfoAlert = c.FCndAlert = 0;
        break;
    case ListColumn::ResultDate:
        c.FInfoResultDt1 = c.FInfoResultDt2 = QDateTime();
        c.FCndResultDt1 = c.FCndResultDt2 = c.FJoinResultDt = 0;
        break;
    case ListColumn::LastNotice:
        c.FCndSilent = 0;
        break;
    case ListColumn::FirmCheck:
        c.FInfoFirmCheck = c.FCndFirmCheck = 0;
        break;
    default:
        break;
    }
}

ListCondInfo DefaultListCond()
{
    ListCondInfo c;
    StandardListCond(c);
    return c;
}

void ResetListCond(ListCondInfo &c)
{
    c.SortColNo = ListColumn::EntryDate;
    c.SortDirect = SortDirection::Descending;
    clearFilters(c);
}

void StandardListCond(ListCondInfo &c)
{
    c.ColTermID = c.ColIPAddr = c.ColMachineName = c.ColApliVer = c.ColSipSvrEntry =
        c.ColEntryDate = c.ColEntryTime = c.ColAlert = 1;
    c.ColEntryKind = c.ColVendorInfo = c.ColMachineType = c.ColBootVer = c.ColUserInfo1 =
        c.ColUserInfo2 = 0;
    c.SortColNo = ListColumn::EntryDate;
    c.SortDirect = 0;
    clearFilters(c);
}

QString SilentCondition(const QDateTime &silentBefore)
{
    if (!silentBefore.isValid())
        return QStringLiteral("(1=0)");
    const QString t = q(RegisterSchema::dateText(silentBefore));
    return QLatin1String("(TermEntryType<>0 AND (LastNotice<") + t +
           QLatin1String(" OR (LastNotice IS NULL AND EntryDate<") + t + QLatin1String(")))");
}

QDateTime SilentSince(const QDateTime &now, int entryIntHours)
{
    if (entryIntHours <= 0)
        return {};
    return now.addSecs(-2LL * 3600 * entryIntHours);
}

QString BuildListQuery(ListCondInfo &c, const QDateTime &silentBefore)
{
    // A text ends at its first NUL, as in the edit fields that produce it;
    // inside the statement the engine would end the whole SQL there.
    for (QString *v : {&c.FInfoTermID1, &c.FInfoTermID2, &c.FInfoIPAddr1, &c.FInfoIPAddr2,
                       &c.FInfoVendor, &c.FInfoMachin, &c.FInfoApVer1, &c.FInfoApVer2,
                       &c.FInfoBtVer1, &c.FInfoBtVer2, &c.FInfoMACAddr1, &c.FInfoMACAddr2}) {
        const qsizetype nul = v->indexOf(QChar(0));
        if (nul >= 0)
            v->truncate(nul);
    }
    QString sql = QStringLiteral("SELECT * FROM TermInfo WHERE ID IS NOT NULL ");
    sql += twoClausePiece(TermIdNames, c.FInfoTermID1, c.FCndTermID1, c.FJoinTermID, c.FInfoTermID2,
                          c.FCndTermID2);
    sql += twoClausePiece(IpAddrNames, c.FInfoIPAddr1, c.FCndIPAddr1, c.FJoinIPAddr, c.FInfoIPAddr2,
                          c.FCndIPAddr2);
    sql += oneValuePiece(QStringLiteral("Vendor"), c.FInfoVendor, c.FCndVendor);
    sql += oneValuePiece(QStringLiteral("MachineName"), c.FInfoMachin, c.FCndMachin);
    sql += versionPiece(QStringLiteral("VerApli"), c.FInfoApVer1, c.FCndApVer1, c.FJoinApVer,
                        c.FInfoApVer2, c.FCndApVer2);
    sql += versionPiece(QStringLiteral("VerBoot"), c.FInfoBtVer1, c.FCndBtVer1, c.FJoinBtVer,
                        c.FInfoBtVer2, c.FCndBtVer2);
    sql += sipPiece(c.FCndSipEntry);
    sql += datePiece("EntryDate", c.FInfoEntryDt1, c.FCndEntryDt1, c.FJoinEntryDt, c.FInfoEntryDt2,
                     c.FCndEntryDt2);
    sql += alertPiece(c.FInfoAlert, c.FCndAlert);
    sql += entryKindPiece(c.FCndTermEntry);
    sql += resultPiece(c.FInfoResult, c.FCndResult, c.FInfoResultCode);
    sql += datePiece("ResultDate", c.FInfoResultDt1, c.FCndResultDt1, c.FJoinResultDt,
                     c.FInfoResultDt2, c.FCndResultDt2);
    sql += twoClausePiece(MacNames, c.FInfoMACAddr1, c.FCndMACAddr1, c.FJoinMACAddr,
                          c.FInfoMACAddr2, c.FCndMACAddr2);
    sql += silentPiece(c.FCndSilent, silentBefore);
    sql += firmCheckPiece(c.FInfoFirmCheck, c.FCndFirmCheck);
    sql += orderPiece(c);
    return sql;
}

QString ListQueryText(const ListCondInfo &cond, const QDateTime &silentBefore)
{
    ListCondInfo copy = cond;
    return BuildListQuery(copy, silentBefore);
}

int ColumnNumberFromHeader(const QString &header)
{
    static const struct {
        const char *text;
        int column;
    } table[] = {
        {"端末ID", ListColumn::TermID},
        {"IPｱﾄﾞﾚｽ", ListColumn::IPAddr},
        {"処理結果日時", ListColumn::ResultDate},
        {"処理結果", ListColumn::Result},
        {"端末登録種別", ListColumn::EntryKind},
        {"ﾍﾞﾝﾀﾞ情報", ListColumn::Vendor},
        {"機器名称", ListColumn::MachineName},
        {"機器ﾀｲﾌﾟ", 0},
        {"ﾌﾞｰﾄVer", ListColumn::BootVer},
        {"ｱﾌﾟﾘｹｰｼｮﾝVer", ListColumn::ApliVer},
        {"MACｱﾄﾞﾚｽ", ListColumn::MACAddr},
        {"ﾕｰｻﾞ情報", 0},
        {"SIPｻｰﾊﾞ登録状態", ListColumn::SipEntry},
        {"管理PC登録日付", ListColumn::EntryDate},
        {"管理PC登録時刻", 0},
        {"ｱﾗｰﾄ情報", ListColumn::Alert},
        {"最終通知", ListColumn::LastNotice},
        {"ファーム確認", ListColumn::FirmCheck},
    };
    // The list reads at most 127 characters of a header.
    const QString text = header.left(127);
    for (const auto &row : table) {
        if (text.startsWith(QString::fromUtf8(row.text)))
            return row.column;
    }
    return 0;
}

bool IsSortableColumn(int column)
{
    switch (column) {
    case ListColumn::TermID:
    case ListColumn::Result:
    case ListColumn::BootVer:
    case ListColumn::ApliVer:
    case ListColumn::MACAddr:
    case ListColumn::EntryDate:
    case ListColumn::ResultDate:
        return true;
    default:
        return false;
    }
}

int HeaderClickMode(int column)
{
    if (column <= 0)
        return 0;
    return IsSortableColumn(column) ? 3 : 1;
}

bool ApplySortChoice(ListCondInfo &c, int column, std::int32_t direction)
{
    if (!IsSortableColumn(column))
        return false;
    c.SortColNo = column;
    c.SortDirect = direction == SortDirection::Ascending ? SortDirection::Ascending
                                                         : SortDirection::Descending;
    return true;
}

void ClearAllConditions(ListCondInfo &c)
{
    ResetListCond(c);
    if (c.ColEntryDate != 1)
        c.SortColNo = ListColumn::Result;
}

ListColumnFlags GetColumnFlags(const ListCondInfo &c)
{
    return {c.ColTermID,      c.ColEntryKind, c.ColIPAddr,    c.ColVendorInfo, c.ColMachineName,
            c.ColMachineType, c.ColBootVer,   c.ColApliVer,   c.ColUserInfo1,  c.ColUserInfo2,
            c.ColSipSvrEntry, c.ColEntryDate, c.ColEntryTime, c.ColAlert,      c.ColResultDate,
            c.ColLastNotice,  c.ColFirmCheck};
}

void SetColumnFlags(ListCondInfo &c, const ListColumnFlags &f)
{
    c.ColTermID = f[0];
    c.ColEntryKind = f[1];
    c.ColIPAddr = f[2];
    c.ColVendorInfo = f[3];
    c.ColMachineName = f[4];
    c.ColMachineType = f[5];
    c.ColBootVer = f[6];
    c.ColApliVer = f[7];
    c.ColUserInfo1 = f[8];
    c.ColUserInfo2 = f[9];
    c.ColSipSvrEntry = f[10];
    c.ColEntryDate = f[11];
    c.ColEntryTime = f[12];
    c.ColAlert = f[13];
    c.ColResultDate = f[14];
    c.ColLastNotice = f[15];
    c.ColFirmCheck = f[16];
}

bool ApplyColumnSelection(ListCondInfo &c, const ListColumnFlags &flags)
{
    if (GetColumnFlags(c) == flags)
        return false;
    SetColumnFlags(c, flags);

    auto fallBack = [&c](bool toEntryDate) {
        c.SortColNo = toEntryDate ? ListColumn::EntryDate : ListColumn::Result;
        c.SortDirect = SortDirection::Descending;
    };
    switch (c.SortColNo) {
    case ListColumn::TermID:
    case ListColumn::BootVer:
    case ListColumn::ApliVer: {
        const std::int32_t shown = c.SortColNo == ListColumn::TermID    ? c.ColTermID
                                   : c.SortColNo == ListColumn::BootVer ? c.ColBootVer
                                                                        : c.ColApliVer;
        if (shown != 1)
            fallBack(c.ColEntryDate == 1);
        break;
    }
    case ListColumn::MACAddr:
        if (c.ColUserInfo1 == 1)
            c.SortDirect = SortDirection::Descending;
        else
            fallBack(false);
        break;
    case ListColumn::EntryDate:
        fallBack(c.ColEntryDate == 1);
        break;
    case ListColumn::ResultDate:
        if (c.ColResultDate == 1)
            c.SortDirect = SortDirection::Descending;
        else
            fallBack(false);
        break;
    default:
        break;
    }

    // Filters of hidden columns are dropped when they are in force.
    const struct {
        std::int32_t flag;
        std::int32_t firstCode;
        int column;
    } pairs[] = {
        {c.ColTermID, c.FCndTermID1, ListColumn::TermID},
        {c.ColIPAddr, c.FCndIPAddr1, ListColumn::IPAddr},
        {c.ColEntryKind, c.FCndTermEntry, ListColumn::EntryKind},
        {c.ColVendorInfo, c.FCndVendor, ListColumn::Vendor},
        {c.ColMachineName, c.FCndMachin, ListColumn::MachineName},
        {c.ColBootVer, c.FCndBtVer1, ListColumn::BootVer},
        {c.ColApliVer, c.FCndApVer1, ListColumn::ApliVer},
        {c.ColSipSvrEntry, c.FCndSipEntry, ListColumn::SipEntry},
        {c.ColUserInfo1, c.FCndMACAddr1, ListColumn::MACAddr},
        {c.ColEntryDate, c.FCndEntryDt1, ListColumn::EntryDate},
        {c.ColAlert, c.FCndAlert, ListColumn::Alert},
        {c.ColResultDate, c.FCndResultDt1, ListColumn::ResultDate},
        {c.ColLastNotice, c.FCndSilent, ListColumn::LastNotice},
        {c.ColFirmCheck, c.FCndFirmCheck, ListColumn::FirmCheck},
    };
    for (const auto &p : pairs) {
        if (p.flag == 0 && p.firstCode != 0)
            ClearColumnFilter(c, p.column);
    }
    return true;
}
