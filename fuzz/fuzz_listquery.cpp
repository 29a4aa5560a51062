// The list query built from the list condition, with any filter values and
// codes, translated to SQLite. It must stay one statement that the engine
// accepts over the register's tables, every value must stay inside its
// quotes, and a terminal that holds exactly the filtered values must be
// found.
//
// Input, line by line: the codes (each character minus '0' is one integer
// field, in the order of Codes below), then the twelve text values in the
// order of Texts (UTF-8), then four dates (yyyy/MM/dd, or a signed number
// of days from 2000/01/01; anything else is no date).
#include "FuzzSupport.h"

#include "register/ListCond.h"
#include "register/RegisterTypes.h"
#include "register/Schema.h"
#include "register/TermDatabase.h"

#include <sqlite3.h>

namespace
{

std::int32_t ListCondInfo::*const Codes[] = {
    &ListCondInfo::ColResultDate, &ListCondInfo::SortColNo,     &ListCondInfo::SortDirect,
    &ListCondInfo::FCndTermID1,   &ListCondInfo::FCndTermID2,   &ListCondInfo::FJoinTermID,
    &ListCondInfo::FCndIPAddr1,   &ListCondInfo::FCndIPAddr2,   &ListCondInfo::FJoinIPAddr,
    &ListCondInfo::FCndVendor,    &ListCondInfo::FCndMachin,    &ListCondInfo::FCndApVer1,
    &ListCondInfo::FCndApVer2,    &ListCondInfo::FJoinApVer,    &ListCondInfo::FCndBtVer1,
    &ListCondInfo::FCndBtVer2,    &ListCondInfo::FJoinBtVer,    &ListCondInfo::FCndSipEntry,
    &ListCondInfo::FCndEntryDt1,  &ListCondInfo::FCndEntryDt2,  &ListCondInfo::FJoinEntryDt,
    &ListCondInfo::FInfoAlert,    &ListCondInfo::FCndAlert,     &ListCondInfo::FCndTermEntry,
    &ListCondInfo::FInfoResult,   &ListCondInfo::FCndResult,    &ListCondInfo::FCndMACAddr1,
    &ListCondInfo::FCndMACAddr2,  &ListCondInfo::FJoinMACAddr,  &ListCondInfo::FCndResultDt1,
    &ListCondInfo::FCndResultDt2, &ListCondInfo::FJoinResultDt, &ListCondInfo::FCndSilent,
    &ListCondInfo::FInfoFirmCheck, &ListCondInfo::FCndFirmCheck, &ListCondInfo::FInfoResultCode,
};

// When the last notice makes a terminal silent, for the silence filter.
const QDateTime SilentFrom(QDate(2024, 1, 1), QTime(0, 0));

QString ListCondInfo::*const Texts[] = {
    &ListCondInfo::FInfoTermID1, &ListCondInfo::FInfoTermID2,  &ListCondInfo::FInfoIPAddr1,
    &ListCondInfo::FInfoIPAddr2, &ListCondInfo::FInfoVendor,   &ListCondInfo::FInfoMachin,
    &ListCondInfo::FInfoApVer1,  &ListCondInfo::FInfoApVer2,   &ListCondInfo::FInfoBtVer1,
    &ListCondInfo::FInfoBtVer2,  &ListCondInfo::FInfoMACAddr1, &ListCondInfo::FInfoMACAddr2,
};

QDateTime ListCondInfo::*const Dates[] = {&ListCondInfo::FInfoEntryDt1,
                                          &ListCondInfo::FInfoEntryDt2,
                                          &ListCondInfo::FInfoResultDt1,
                                          &ListCondInfo::FInfoResultDt2};

QDateTime dateOf(const QByteArray &line)
{
    const QString text = QString::fromUtf8(line);
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
    if (d.isValid())
        return QDateTime(d, QTime(12, 0));
    bool ok = false;
    const qint64 days = text.toLongLong(&ok);
    return ok ? QDateTime(QDate(2000, 1, 1).addDays(days), QTime(0, 0)) : QDateTime();
}

// Whether two statements are made of the same text apart from their
// string literals: each literal counts as one token, whatever it holds.
// Walks both texts at once without copying them.
class SkeletonWalk
{
public:
    explicit SkeletonWalk(QStringView sql) : m_p(sql.utf16()), m_end(m_p + sql.size()) {}

    // The next character, or Literal for a whole quoted literal, or End.
    static constexpr char32_t Literal = 0x110000, End = 0x110001;
    char32_t next()
    {
        if (m_p == m_end)
            return End;
        const char16_t c = *m_p++;
        if (c != u'\'')
            return c;
        for (; m_p < m_end; ++m_p) {
            if (*m_p == u'\'') {
                if (m_p + 1 < m_end && m_p[1] == u'\'')
                    ++m_p;
                else
                    break;
            }
        }
        if (m_p < m_end)
            ++m_p; // the closing quote
        return Literal;
    }

private:
    const char16_t *m_p;
    const char16_t *m_end;
};

bool sameSkeleton(QStringView a, QStringView b)
{
    SkeletonWalk wa(a), wb(b);
    for (;;) {
        const char32_t ca = wa.next();
        if (ca != wb.next())
            return false;
        if (ca == SkeletonWalk::End)
            return true;
    }
}

// The same condition with every value replaced by a harmless one of the same
// kind (empty, with a wildcard, plain).
ListCondInfo harmless(const ListCondInfo &c)
{
    ListCondInfo h = c;
    for (QString ListCondInfo::*t : Texts) {
        const QString &v = c.*t;
        h.*t = v.isEmpty() ? QString() : v.contains(QLatin1Char('*')) ? QStringLiteral("*")
                                                                         : QStringLiteral("x");
    }
    return h;
}

// SQLite's own memory, taken from the C library's allocator past the
// sanitizer's: the engine is not instrumented, so the sanitizer checks
// nothing in it, and preparing the statement makes most of a run's
// allocations. Each block keeps its size in front of it.
extern "C" void *__libc_malloc(std::size_t);
extern "C" void *__libc_realloc(void *, std::size_t);
extern "C" void __libc_free(void *);

constexpr std::size_t Header = 16;

void *sqliteMalloc(int n)
{
    auto *p = static_cast<char *>(__libc_malloc(Header + std::size_t(n)));
    if (!p)
        return nullptr;
    *reinterpret_cast<int *>(p) = n;
    return p + Header;
}

void sqliteFree(void *q)
{
    if (q)
        __libc_free(static_cast<char *>(q) - Header);
}

void *sqliteRealloc(void *q, int n)
{
    auto *p = static_cast<char *>(__libc_realloc(static_cast<char *>(q) - Header,
                                                 Header + std::size_t(n)));
    if (!p)
        return nullptr;
    *reinterpret_cast<int *>(p) = n;
    return p + Header;
}

int sqliteSize(void *q)
{
    return q ? *reinterpret_cast<int *>(static_cast<char *>(q) - Header) : 0;
}

int sqliteRoundup(int n)
{
    return (n + 7) & ~7;
}

int sqliteInit(void *)
{
    return SQLITE_OK;
}

void sqliteShutdown(void *) {}

sqlite3 *database()
{
    static sqlite3 *db = [] {
        // One thread, no memory statistics: neither changes what the engine
        // accepts. Configuring fails if the engine was already in use.
        static const sqlite3_mem_methods memory = {sqliteMalloc, sqliteFree,    sqliteRealloc,
                                                   sqliteSize,   sqliteRoundup, sqliteInit,
                                                   sqliteShutdown, nullptr};
        if (sqlite3_config(SQLITE_CONFIG_SINGLETHREAD) != SQLITE_OK ||
            sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) != SQLITE_OK ||
            sqlite3_config(SQLITE_CONFIG_MALLOC, &memory) != SQLITE_OK)
            std::abort();
        sqlite3 *h = nullptr;
        if (sqlite3_open(":memory:", &h) != SQLITE_OK)
            std::abort();
        for (const QString &s : RegisterSchema::createStatements())
            if (sqlite3_exec(h, s.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                std::abort();
        return h;
    }();
    return db;
}

sqlite3_stmt *prepare(const QString &sql, const QString &detail)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *st = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(database(), utf8.constData(), int(utf8.size()), &st, &tail);
    FUZZ_CHECK(rc == SQLITE_OK && st,
               QString::fromUtf8(sqlite3_errmsg(database())) + QLatin1String(": ") + detail);
    FUZZ_CHECK(tail == utf8.constData() + utf8.size(), detail);
    FUZZ_CHECK(sqlite3_bind_parameter_count(st) == 0 && sqlite3_stmt_readonly(st), detail);
    return st;
}

// A filter that only asks for equal values of the text columns: the
// terminal that holds those values must be found.
bool equalityOnly(const ListCondInfo &c)
{
    auto eq = [](std::int32_t c1, std::int32_t join, std::int32_t c2) {
        return (c1 == 0 || c1 == CondCode::Equal) && (join == 0 || c2 == 0);
    };
    return eq(c.FCndTermID1, c.FJoinTermID, c.FCndTermID2) &&
           eq(c.FCndIPAddr1, c.FJoinIPAddr, c.FCndIPAddr2) &&
           eq(c.FCndMACAddr1, c.FJoinMACAddr, c.FCndMACAddr2) &&
           eq(c.FCndApVer1, c.FJoinApVer, c.FCndApVer2) &&
           eq(c.FCndBtVer1, c.FJoinBtVer, c.FCndBtVer2) && (c.FCndVendor == 0 || c.FCndVendor == 1) &&
           (c.FCndMachin == 0 || c.FCndMachin == 1) && c.FCndSipEntry == 0 &&
           c.FCndEntryDt1 == 0 && c.FCndResultDt1 == 0 && c.FCndTermEntry == 0 &&
           (c.FInfoResult == 0 || c.FCndResult == 0) &&
           (c.FInfoAlert < 1 || c.FInfoAlert > 4 || (c.FCndAlert != 1 && c.FCndAlert != 2)) &&
           c.FCndSilent == 0 &&
           (c.FInfoFirmCheck < 1 || c.FInfoFirmCheck > 5 ||
            (c.FCndFirmCheck != 1 && c.FCndFirmCheck != 2));
}

// The text a terminal holds to pass a "=" filter: the value itself, or for a
// LIKE the pattern without its wildcards.
QString holder(const QString &v, bool like)
{
    QString t = v;
    if (like)
        t.remove(QLatin1Char('*'));
    return t;
}

void checkFound(const ListCondInfo &c, sqlite3_stmt *st, const QString &detail)
{
    const bool idLike = c.FCndTermID1 && c.FInfoTermID1.contains(QLatin1Char('*'));
    const QString id = holder(c.FInfoTermID1, idLike);
    // The stored ID is cut to 64 characters and loses its leading blanks in
    // ltrim(): a pattern can't match what is not stored.
    if (idLike && (id.size() > 64 || id.startsWith(QLatin1Char(' '))))
        return;
    // An empty ID is stored as 64 blanks, which "TermID = ''" does not match.
    if (c.FCndTermID1 && c.FInfoTermID1.isEmpty())
        return;
    sqlite3 *db = database();
    static sqlite3_stmt *clear = [db] {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "DELETE FROM TermInfo", -1, &st, nullptr) != SQLITE_OK)
            std::abort();
        return st;
    }();
    FUZZ_CHECK(sqlite3_step(clear) == SQLITE_DONE, detail);
    sqlite3_reset(clear);
    static sqlite3_stmt *insert = [db] {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db,
                               "INSERT INTO TermInfo (ID, TermID, IPAddr, Vendor, MachineName, "
                               "VerBoot, VerApli, UserInfo1) VALUES (1, ?, ?, ?, ?, ?, ?, ?)",
                               -1, &st, nullptr) != SQLITE_OK)
            std::abort();
        return st;
    }();
    const bool ipLike = c.FInfoIPAddr1.contains(QLatin1Char('*'));
    const bool macLike = c.FInfoMACAddr1.contains(QLatin1Char('*'));
    const QString values[] = {
        c.FCndTermID1 ? StoredTermId(id) : QString(),
        c.FCndIPAddr1 ? holder(c.FInfoIPAddr1, ipLike) : QString(),
        c.FCndVendor ? holder(c.FInfoVendor, c.FInfoVendor.contains(QLatin1Char('*'))) : QString(),
        c.FCndMachin ? holder(c.FInfoMachin, c.FInfoMachin.contains(QLatin1Char('*'))) : QString(),
        c.FCndBtVer1 ? c.FInfoBtVer1 : QString(),
        c.FCndApVer1 ? c.FInfoApVer1 : QString(),
        c.FCndMACAddr1 ? holder(c.FInfoMACAddr1, macLike) : QString(),
    };
    QList<QByteArray> keep;
    for (int i = 0; i < 7; ++i) {
        keep.append(values[i].toUtf8());
        sqlite3_bind_text(insert, i + 1, keep.last().constData(), int(keep.last().size()),
                          SQLITE_STATIC);
    }
    FUZZ_CHECK(sqlite3_step(insert) == SQLITE_DONE, detail);
    sqlite3_reset(insert);
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        ++rows;
    FUZZ_CHECK(rows == 1, QLatin1String("terminal not found: ") + detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    ListCondInfo cond = DefaultListCond();
    const QByteArray codes = in.line();
    for (std::size_t i = 0; i < std::size(Codes); ++i)
        cond.*Codes[i] = i < std::size_t(codes.size()) ? std::int8_t(codes[qsizetype(i)]) - '0' : 0;
    for (QString ListCondInfo::*t : Texts)
        cond.*t = QString::fromUtf8(in.line());
    for (QDateTime ListCondInfo::*d : Dates)
        cond.*d = dateOf(in.line());

    const QString jet = BuildListQuery(cond, SilentFrom); // trims some values in cond
    const QString sql = ListReadSql(jet);
    const QString detail = jet.left(2000);
    FUZZ_CHECK(jet.startsWith(QLatin1String("SELECT * FROM TermInfo WHERE ID IS NOT NULL ")),
               detail);

    // Values stay inside their quotes, before and after the translation.
    const QString plainJet = ListQueryText(harmless(cond), SilentFrom);
    FUZZ_CHECK(sameSkeleton(jet, plainJet), detail);
    FUZZ_CHECK(sameSkeleton(sql, ListReadSql(plainJet)), sql.left(2000));

    sqlite3_stmt *st = prepare(sql, detail);
    if (equalityOnly(cond))
        checkFound(cond, st, detail);
    sqlite3_finalize(st);
    return 0;
}
