// The list read and the counts beside it (silence, aggregates).
#include "register/TermDatabaseInternal.h"

#include "register/JetSql.h"

#include <QSqlError>
#include <QSqlRecord>

using namespace TermDatabaseInternal;

// ---------------------------------------------------------------- list

namespace
{
// The list reads only the columns a terminal entry carries; the engine
// removes the terminal ID's padding. The alias must not be a column name, or
// ORDER BY TermID would sort by it.
QString carriedColumnsOnly(const QString &sqliteSql)
{
    static const QLatin1String star("SELECT * FROM TermInfo ");
    if (!sqliteSql.startsWith(star))
        return sqliteSql;
    return QLatin1String("SELECT ID, ltrim(TermID) AS TrimmedTermID, IPAddr, Vendor, MachineName, "
                         "MachineType, VerBoot, VerApli, UserInfo1, UserInfo2, Regist, EntryDate, "
                         "TermIDAlert, IPAddrAlert, TermEntryType, ResultKind, ResultCode, "
                         "ResultDate, LastNotice, FirmCheck FROM TermInfo ") +
           sqliteSql.mid(star.size());
}
} // namespace

QString ListReadSql(const QString &jetSql)
{
    return carriedColumnsOnly(JetToSqlite(jetSql));
}

int CTermDatabase::readList(const ListCondInfo &cond, std::vector<TermEntry> &list)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    return readListSql(ListQueryText(cond, cond.FCndSilent != 0 ? silentSince() : QDateTime()),
                       list);
}

namespace
{

// Text columns repeat from row to row (vendor, model, versions): a row whose
// bytes equal the previous row's shares its string instead of decoding again.
struct TextColumn {
    QByteArray bytes;
    QString text;
    const QString &get(sqlite3_stmt *st, int col, bool repeat)
    {
        const char *data = reinterpret_cast<const char *>(sqlite3_column_text(st, col));
        const int n = sqlite3_column_bytes(st, col);
        const QByteArrayView now(data ? data : "", data ? n : 0);
        if (!repeat || now != QByteArrayView(bytes)) {
            text = QString::fromUtf8(now);
            if (repeat)
                bytes = now.toByteArray();
        }
        return text;
    }
};

struct DateColumn {
    QByteArray bytes;
    QDateTime value;
    QDateTime get(sqlite3_stmt *st, int col)
    {
        if (sqlite3_column_type(st, col) == SQLITE_NULL)
            return {};
        const QByteArrayView now(reinterpret_cast<const char *>(sqlite3_column_text(st, col)),
                                 sqlite3_column_bytes(st, col));
        if (now != QByteArrayView(bytes)) {
            bytes = now.toByteArray();
            value = parseDate(QString::fromLatin1(bytes));
        }
        return value;
    }
};

} // namespace

// Reads the rows of a list query (carried columns in EntryColumns order)
// straight from the engine. Answers false with the engine's message.
bool CTermDatabase::readListDirect(void *handle, const QString &sql, std::vector<TermEntry> &list,
                                   QString &error)
{
    auto *h = static_cast<sqlite3 *>(handle);
    sqlite3_stmt *st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(h, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
        error = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(st);
        return false;
    }
    TextColumn text[9];
    DateColumn entryDates, resultDates, lastNotices;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        TermEntry &e = list.emplace_back();
        e.ID = sqlite3_column_int(st, 0);
        e.TermID = text[0].get(st, 1, false);
        e.IPAddr = text[1].get(st, 2, false);
        e.Vendor = text[2].get(st, 3, true);
        e.MachineName = text[3].get(st, 4, true);
        e.MachineType = text[4].get(st, 5, true);
        e.VerBoot = text[5].get(st, 6, true);
        e.VerApli = text[6].get(st, 7, true);
        e.UserInfo1 = text[7].get(st, 8, false);
        e.UserInfo2 = text[8].get(st, 9, true);
        e.Regist = sqlite3_column_int(st, 10);
        e.EntryDate = entryDates.get(st, 11);
        e.TermIDAlert = sqlite3_column_int(st, 12);
        e.IPAddrAlert = sqlite3_column_int(st, 13);
        e.TermEntryType = sqlite3_column_int(st, 14);
        e.ResultKind = sqlite3_column_int(st, 15);
        e.ResultCode = sqlite3_column_int(st, 16);
        e.ResultDate = resultDates.get(st, 17);
        e.LastNotice = lastNotices.get(st, 18);
        e.FirmCheck = sqlite3_column_int(st, 19);
    }
    if (rc != SQLITE_DONE)
        error = QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

int CTermDatabase::readListSql(const QString &jetSql, std::vector<TermEntry> &list)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    sqlite3 *h = engineHandle(m_db);
    if (!h)
        return reportError(NotSqliteText);
    QString error;
    if (!readListDirect(h, ListReadSql(jetSql), list, error))
        return reportError(error);
    return DbAnswer::Done;
}

QDateTime CTermDatabase::silentSince()
{
    SystemSettings settings;
    if (readSystemSettings(settings) != DbAnswer::Done)
        return {};
    return SilentSince(now(), settings.EntryInt);
}

int CTermDatabase::countSilent(qint64 &count)
{
    count = 0;
    std::vector<QVariantList> rows;
    const int answer = aggregate(QLatin1String("SELECT COUNT(*) FROM TermInfo WHERE ") +
                                     SilentCondition(silentSince()),
                                 {}, rows);
    if (answer == DbAnswer::Done && !rows.empty())
        count = rows.front().value(0).toLongLong();
    return answer;
}

int CTermDatabase::aggregate(const QString &sql, const QVariantList &values,
                             std::vector<QVariantList> &rows)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    // Prepared each time: the texts carry times (the silence), and a cache
    // of them would grow with every redraw.
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return reportError(q.lastError().text());
    int i = 0;
    for (const QVariant &v : values)
        q.bindValue(i++, bindable(v));
    if (!exec(q))
        return DbAnswer::Failed;
    const int columns = q.record().count();
    while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row << q.value(c);
        rows.push_back(std::move(row));
    }
    q.finish();
    return DbAnswer::Done;
}
