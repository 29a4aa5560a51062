// The register database's core: construction, the statement cache, errors,
// transactions and the clock. Its other parts are in TermDatabase*.cpp.
#include "register/TermDatabase.h"
#include "register/TermDatabaseInternal.h"

#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "register/JetSql.h"

#include <QSqlDriver>
#include <QSqlError>

#include <atomic>

using namespace TermDatabaseInternal;

namespace
{

std::atomic<int> connectionCounter{0};

} // namespace

namespace TermDatabaseInternal
{
QString quotedLiteral(const QString &v)
{
    return QLatin1Char('\'') + QuoteText(v) + QLatin1Char('\'');
}
} // namespace TermDatabaseInternal

CTermDatabase::CTermDatabase(const QString &folder)
    : m_folder(folder.isEmpty() ? ProcessValues::programFolder() : folder),
      m_connection(QStringLiteral("kelmng-register-%1").arg(++connectionCounter)),
      m_stmts(std::make_unique<Statements>())
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

CTermDatabase::~CTermDatabase()
{
    close();
}

void CTermDatabase::setClock(std::function<QDateTime()> now)
{
    m_now = std::move(now);
}

QString CTermDatabase::nowText() const
{
    if (m_now)
        return dateText(m_now());
    // Local time costs a time-zone look-up; a burst writes the same second
    // many times.
    const qint64 secs = QDateTime::currentSecsSinceEpoch();
    if (secs != m_nowSecs) {
        m_nowSecs = secs;
        m_nowText = dateText(QDateTime::fromSecsSinceEpoch(secs));
    }
    return m_nowText;
}

QString CTermDatabase::filePath() const
{
    return m_folder + QLatin1String(FileName);
}

bool CTermDatabase::isOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

// ---------------------------------------------------------------- helpers

int CTermDatabase::reportError(const QString &description)
{
    m_lastError = description;
    AppMessageBox(1, 2, description, Tr::tr(DbErrorCaption), MsgType::IconWarning);
    return DbAnswer::Failed;
}

QSqlQuery &CTermDatabase::stmt(const QString &jetSql)
{
    auto it = m_stmts->prepared.find(jetSql);
    if (it == m_stmts->prepared.end()) {
        auto q = std::make_unique<QSqlQuery>(m_db);
        q->setForwardOnly(true);
        q->prepare(JetToSqlite(jetSql)); // a failure shows at exec
        it = m_stmts->prepared.emplace(jetSql, std::move(q)).first;
    }
    return *it->second;
}

namespace TermDatabaseInternal
{
// The engine behind the QSQLITE driver, for the paths that must be fast: the
// list read and notice registration. Null when another driver is in use.
sqlite3 *engineHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.constData());
    return nullptr;
}
} // namespace TermDatabaseInternal
DirectStatement *CTermDatabase::direct(const QString &jetSql)
{
    auto it = m_stmts->direct.find(jetSql);
    if (it == m_stmts->direct.end()) {
        sqlite3 *h = engineHandle(m_db);
        if (!h) {
            reportError(NotSqliteText);
            return nullptr;
        }
        it = m_stmts->direct
                 .emplace(jetSql, std::make_unique<DirectStatement>(h, JetToSqlite(jetSql)))
                 .first;
    }
    return it->second.get();
}

bool CTermDatabase::run(DirectStatement &st, bool *row)
{
    const int rc = st.step();
    if (row)
        *row = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE)
        return true;
    const QString text = st.errorText();
    st.finish();
    reportError(text);
    return false;
}

bool CTermDatabase::exec(QSqlQuery &q)
{
    if (q.exec())
        return true;
    reportError(q.lastError().text());
    return false;
}

namespace TermDatabaseInternal
{
// The record number of the first row of an executed look-up (0 when there is
// none); the look-up is finished.
qint64 takeFirstId(QSqlQuery &q, bool &found)
{
    found = q.next();
    const qint64 id = found ? q.value(0).toLongLong() : 0;
    q.finish();
    return id;
}
} // namespace TermDatabaseInternal
int CTermDatabase::runChange(QSqlQuery &u)
{
    const bool ok = exec(u);
    u.finish();
    return ok ? DbAnswer::Done : DbAnswer::Failed;
}

namespace TermDatabaseInternal
{
// A null QString would be bound as NULL, which no "col=?" with an empty text
// ever matches: what the register writes and what it looks up must agree,
// so every text is bound as text. (A NULL is asked for with QVariant().)
QVariant bindable(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString && v.toString().isNull())
        return QVariant(QStringLiteral(""));
    return v;
}

void bindAll(QSqlQuery &q, std::initializer_list<QVariant> values)
{
    int i = 0;
    for (const QVariant &v : values)
        q.bindValue(i++, bindable(v));
}
} // namespace TermDatabaseInternal

bool CTermDatabase::beginTransaction()
{
    if (!isOpen())
        return false;
    if (m_txDepth == 0 && !m_db.transaction()) {
        reportError(m_db.lastError().text());
        return false;
    }
    ++m_txDepth;
    return true;
}

bool CTermDatabase::commitTransaction()
{
    if (!isOpen() || m_txDepth == 0)
        return false;
    if (--m_txDepth > 0)
        return true;
    // The log lines of the transaction tell of changes that exist only once
    // it is committed; a rolled-back transaction leaves none behind.
    std::vector<DeferredLog> lines;
    lines.swap(m_deferredLog);
    if (m_db.commit()) {
        for (const DeferredLog &l : lines)
            writeLog(l.kind, l.termId, l.address, l.repeated);
        return true;
    }
    // In WAL mode a full disk shows here: the transaction is rolled back.
    reportError(m_db.lastError().text());
    m_db.rollback();
    return false;
}

void CTermDatabase::writeLog(int kind, const QString &termId, const QString &address, bool repeated)
{
    if (!m_log)
        return;
    if (m_txDepth > 0)
        m_deferredLog.push_back({kind, termId, address, repeated});
    else if (repeated)
        m_log->repeatedErrorLog(kind, termId, address);
    else
        m_log->errorLog(kind, termId, address);
}

// ---------------------------------------------------------------- clock

QDateTime CTermDatabase::now() const
{
    return m_now ? m_now() : QDateTime::currentDateTime();
}
