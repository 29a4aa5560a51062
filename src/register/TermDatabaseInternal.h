#pragma once
// What the parts of CTermDatabase (TermDatabase*.cpp) share: the statement
// cache, the error caption, column positions and the binding helpers.
// Private to src/register.

#include "register/Schema.h"
#include "register/TermDatabase.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

#include <initializer_list>
#include <map>
#include <memory>

using RegisterSchema::dateText;
using RegisterSchema::parseDate;

namespace TermDatabaseInternal
{

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(CTermDatabase)
};

inline const char *const DbErrorCaption = QT_TRANSLATE_NOOP("CTermDatabase", "DB Error");

// Column positions of "SELECT * FROM TermInfo".
namespace Col
{
constexpr int ID = 0, TermID = 1, IPAddr = 2, Vendor = 3, MachineName = 4, MachineType = 5,
              Info03 = 6, Info04 = 7, VerBoot = 8, VerApli = 9, VerInfo1 = 10, VerInfo2 = 11,
              VerInfo3 = 12, TermTypeInfo1 = 13, TermTypeInfo2 = 14, UserInfo1 = 15, UserInfo2 = 16,
              Regist = 17, EntryDate = 18, TermIDAlert = 19, IPAddrAlert = 20, TermEntryType = 21,
              ResultKind = 22, ResultCode = 23, ResultDate = 24, LastNotice = 25, FirmCheck = 26,
              FirmCheckDate = 27, FirmCheckVer = 28, FirmCheckKind = 29;
}

inline const QString NotSqliteText = QStringLiteral("The register is not an SQLite database.");

// Defined in TermDatabase.cpp.
QString quotedLiteral(const QString &v);
sqlite3 *engineHandle(const QSqlDatabase &db);
qint64 takeFirstId(QSqlQuery &q, bool &found);
QVariant bindable(const QVariant &v);
void bindAll(QSqlQuery &q, std::initializer_list<QVariant> values);

} // namespace TermDatabaseInternal

// A statement run on SQLite itself. Registering a burst of notices binds
// about twenty values per row; Qt's positional binding cost more there than
// SQLite's own work. Values are bound in order; a null text is bound as
// empty text, never NULL, like bindable() below.
class DirectStatement
{
public:
    DirectStatement(sqlite3 *h, const QString &sql) : m_h(h)
    {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v3(h, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                               &m_st, nullptr) != SQLITE_OK) {
            m_prepareError = QString::fromUtf8(sqlite3_errmsg(h));
            sqlite3_finalize(m_st);
            m_st = nullptr;
        }
    }
    ~DirectStatement() { sqlite3_finalize(m_st); }
    DirectStatement(const DirectStatement &) = delete;
    DirectStatement &operator=(const DirectStatement &) = delete;

    void bind(const QString &v)
    {
        // The text lives until finish(): the caller holds it across step().
        const void *text = v.isNull() ? static_cast<const void *>(u"") : v.constData();
        sqlite3_bind_text16(m_st, ++m_next, text, int(v.size() * sizeof(QChar)), SQLITE_STATIC);
    }
    // Text already in the register's encoding (the dates of a notice,
    // bound several times a row) skips SQLite's conversion from UTF-16.
    void bindUtf8(const QByteArray &v)
    {
        sqlite3_bind_text(m_st, ++m_next, v.constData(), int(v.size()), SQLITE_STATIC);
    }
    void bind(qint64 v) { sqlite3_bind_int64(m_st, ++m_next, v); }
    void bind(int v) { sqlite3_bind_int(m_st, ++m_next, v); }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return m_st ? sqlite3_step(m_st) : SQLITE_ERROR; }
    QString errorText() const
    {
        return m_st ? QString::fromUtf8(sqlite3_errmsg(m_h)) : m_prepareError;
    }
    bool isNull(int col) const { return sqlite3_column_type(m_st, col) == SQLITE_NULL; }
    qint64 int64(int col) const { return sqlite3_column_int64(m_st, col); }
    QString text(int col) const
    {
        const void *p = sqlite3_column_text16(m_st, col);
        return QString(static_cast<const QChar *>(p),
                       sqlite3_column_bytes16(m_st, col) / int(sizeof(QChar)));
    }
    // Ready for the next use; nothing of this one stays bound.
    void finish()
    {
        m_next = 0;
        if (m_st) {
            sqlite3_reset(m_st);
            sqlite3_clear_bindings(m_st);
        }
    }

private:
    sqlite3 *m_h;
    sqlite3_stmt *m_st = nullptr;
    QString m_prepareError;
    int m_next = 0;
};

struct CTermDatabase::Statements {
    std::map<QString, std::unique_ptr<QSqlQuery>> prepared;
    std::map<QString, std::unique_ptr<DirectStatement>> direct;
};
