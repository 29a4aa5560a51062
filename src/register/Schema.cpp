#include "register/Schema.h"

#include "register/RegisterTypes.h"

namespace RegisterSchema
{
namespace
{

using enum ColType;

constexpr Column TermInfoColumns[] = {
    {"ID", Long, 0},
    {"TermID", Text, 64},
    {"IPAddr", Text, 255},
    {"Vendor", Text, 255},
    {"MachineName", Text, 255},
    {"MachineType", Text, 255},
    {"Info03", Text, 255},
    {"Info04", Text, 255},
    {"VerBoot", Text, 255},
    {"VerApli", Text, 255},
    {"VerInfo1", Text, 255},
    {"VerInfo2", Text, 255},
    {"VerInfo3", Text, 255},
    {"TermTypeInfo1", Text, 255},
    {"TermTypeInfo2", Text, 255},
    {"UserInfo1", Text, 255},
    {"UserInfo2", Text, 255},
    {"Regist", Long, 0},
    {"EntryDate", DateTime, 0},
    {"TermIDAlert", Long, 0},
    {"IPAddrAlert", Long, 0},
    {"TermEntryType", Long, 0},
    {"ResultKind", Long, 0},
    {"ResultCode", Long, 0},
    {"ResultDate", DateTime, 0},
    // Added after the first version; an older register gets them at open.
    {"LastNotice", DateTime, 0},
    {"FirmCheck", Long, 0},
    {"FirmCheckDate", DateTime, 0},
    {"FirmCheckVer", Text, 255},
    {"FirmCheckKind", Long, 0},
};

constexpr Column ConfigInfoColumns[] = {
    {"ID", Long, 0},
    {"UDPPort", Long, 0},
    {"FTPMode", Long, 0},
    {"EntryInt", Long, 0},
    {"EditerPath", Text, 255},
    {"HistoryKeep", Long, 0},
    // New terminals a minute from one source address (0: the default).
    {"NewTermRate", Long, 0},
    // Seconds a firmware check waits for the terminal's notice.
    {"FirmCheckWait", Long, 0, "900"},
};

constexpr Column InitInfoColumns[] = {
    {"ID", Long, 0}, {"StartNo", Text, 255}, {"SetRange", Long, 0}};

#define I(f)                                                                                       \
    {                                                                                              \
#f, Long, &ListCondInfo::f, nullptr, nullptr                                               \
    }
#define T(f)                                                                                       \
    {                                                                                              \
#f, Text, nullptr, &ListCondInfo::f, nullptr                                               \
    }
#define D(f)                                                                                       \
    {                                                                                              \
#f, DateTime, nullptr, nullptr, &ListCondInfo::f                                           \
    }
const CondField ListCondFields[] = {
    I(ID),
    I(ColTermID),
    I(ColEntryKind),
    I(ColIPAddr),
    I(ColVendorInfo),
    I(ColMachineName),
    I(ColMachineType),
    I(ColBootVer),
    I(ColApliVer),
    I(ColUserInfo1),
    I(ColUserInfo2),
    I(ColSipSvrEntry),
    I(ColEntryDate),
    I(ColEntryTime),
    I(ColAlert),
    I(ColResultDate),
    I(SortColNo),
    I(SortDirect),
    T(FInfoTermID1),
    T(FInfoTermID2),
    I(FCndTermID1),
    I(FCndTermID2),
    I(FJoinTermID),
    T(FInfoIPAddr1),
    T(FInfoIPAddr2),
    I(FCndIPAddr1),
    I(FCndIPAddr2),
    I(FJoinIPAddr),
    T(FInfoVendor),
    I(FCndVendor),
    T(FInfoMachin),
    I(FCndMachin),
    T(FInfoApVer1),
    T(FInfoApVer2),
    I(FCndApVer1),
    I(FCndApVer2),
    I(FJoinApVer),
    T(FInfoBtVer1),
    T(FInfoBtVer2),
    I(FCndBtVer1),
    I(FCndBtVer2),
    I(FJoinBtVer),
    I(FCndSipEntry),
    D(FInfoEntryDt1),
    D(FInfoEntryDt2),
    I(FCndEntryDt1),
    I(FCndEntryDt2),
    I(FJoinEntryDt),
    I(FInfoAlert),
    I(FCndAlert),
    I(FCndTermEntry),
    I(FInfoResult),
    I(FCndResult),
    T(FInfoMACAddr1),
    T(FInfoMACAddr2),
    I(FCndMACAddr1),
    I(FCndMACAddr2),
    I(FJoinMACAddr),
    D(FInfoResultDt1),
    D(FInfoResultDt2),
    I(FCndResultDt1),
    I(FCndResultDt2),
    I(FJoinResultDt),
    // Added after the first version (0 in an older register: nothing set).
    I(ColLastNotice),
    I(ColFirmCheck),
    I(FCndSilent),
    I(FInfoFirmCheck),
    I(FCndFirmCheck),
    I(FInfoResultCode),
};
#undef I
#undef T
#undef D

// ListCondInfo's columns follow its field table.
std::vector<Column> makeListCondColumns()
{
    std::vector<Column> cols;
    for (const CondField &f : ListCondFields)
        cols.push_back({f.name, f.type, f.type == Text ? 255 : 0});
    return cols;
}

const std::vector<Column> &listCondColumns()
{
    static const std::vector<Column> cols = makeListCondColumns();
    return cols;
}

QString sqlValue(const CondField &f, const ListCondInfo &cond)
{
    switch (f.type) {
    case Long:
        return QString::number(cond.*f.integer);
    case Text:
        return QLatin1Char('\'') + QuoteText(cond.*f.text) + QLatin1Char('\'');
    case DateTime:
        return (cond.*f.date).isValid()
                   ? QLatin1Char('\'') + dateText(cond.*f.date) + QLatin1Char('\'')
                   : QStringLiteral("NULL");
    }
    return {};
}

} // namespace

std::span<const Table> tables()
{
    static const Table all[] = {
        {"TermInfo", TermInfoColumns},
        {"ConfigInfo", ConfigInfoColumns},
        {"ListCondInfo", listCondColumns()},
        {"InitInfo", InitInfoColumns},
    };
    return all;
}

QStringList indexStatements()
{
    return {
        QStringLiteral("CREATE INDEX IF NOT EXISTS TermInfo_TermID ON TermInfo (TermID)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS TermInfo_IPAddr ON TermInfo (IPAddr)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS TermInfo_UserInfo1 ON TermInfo (UserInfo1)"),
        // The list's standard order (registration date descending, then
        // terminal ID and record number) is read without sorting.
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS TermInfo_EntryDate ON TermInfo (EntryDate DESC, TermID)"),
    };
}

QString columnDefinition(const Column &c)
{
    const QString name = QLatin1String(c.name);
    if (name == QLatin1String("ID"))
        return QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT");
    switch (c.type) {
    case Long:
        return name + QLatin1String(" INTEGER DEFAULT ") +
               QLatin1String(c.initial ? c.initial : "0");
    case Text:
        return name + QStringLiteral(" VARCHAR(%1) COLLATE NOCASE DEFAULT ''").arg(c.width);
    case DateTime:
        return name + QLatin1String(" DATETIME");
    }
    return name;
}

QStringList addColumnStatements(const Table &table, std::size_t present)
{
    QStringList out;
    for (std::size_t i = present; i < table.columns.size(); ++i)
        out << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                   .arg(QLatin1String(table.name), columnDefinition(table.columns[i]));
    return out;
}

std::span<const CondField> condFields()
{
    return ListCondFields;
}

QStringList createStatements()
{
    QStringList out;
    for (const Table &t : tables()) {
        QStringList defs;
        for (const Column &c : t.columns)
            defs << columnDefinition(c);
        out << QStringLiteral("CREATE TABLE %1 (%2)")
                   .arg(QLatin1String(t.name), defs.join(QLatin1String(", ")));
    }
    out << indexStatements()
        << QStringLiteral("INSERT INTO ConfigInfo (UDPPort, FTPMode, EntryInt, EditerPath, "
                          "HistoryKeep) VALUES (4000, 1, 1, '', %1)")
               .arg(DefaultHistoryKeep); // FirmCheckWait keeps its default
    const ListCondInfo cond = DefaultListCond();
    QStringList names, values;
    for (const CondField &f : condFields()) {
        if (QLatin1String(f.name) == QLatin1String("ID"))
            continue;
        names << QLatin1String(f.name);
        values << sqlValue(f, cond);
    }
    out << QStringLiteral("INSERT INTO ListCondInfo (%1) VALUES (%2)")
               .arg(names.join(QLatin1String(", ")), values.join(QLatin1String(", ")));
    return out;
}

QString dateText(const QDateTime &dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QDateTime parseDate(const QString &text)
{
    // "YYYY-MM-DD HH:MM:SS"; a date alone is midnight.
    if (text.size() < 10)
        return {};
    const QChar *p = text.constData();
    auto num = [p](int from, int len, int &out) {
        int v = 0;
        for (int i = from; i < from + len; ++i) {
            const char16_t c = p[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            v = v * 10 + (c - u'0');
        }
        out = v;
        return true;
    };
    int y, mo, d, h = 0, mi = 0, s = 0;
    if (!num(0, 4, y) || p[4] != QLatin1Char('-') || !num(5, 2, mo) || p[7] != QLatin1Char('-') ||
        !num(8, 2, d))
        return {};
    if (text.size() >= 19 && !(num(11, 2, h) && num(14, 2, mi) && num(17, 2, s)))
        return {};
    const QDate date(y, mo, d);
    const QTime time(h, mi, s);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace RegisterSchema
