// The register database's core: construction, the statement cache, errors,
// transactions and the clock. Its other parts are in TermDatabase*.cpp.
#include "register/TermDatabase.h"
#include "register/TermDatabaseInternal.h"

#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "register/JetSql.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <atomic>

using namespace TermDatabaseInternal;

namespace
{

const QString SelConfig =
    QStringLiteral("SELECT * FROM ConfigInfo WHERE ID IS NOT NULL  ORDER BY ID ASC");
const QString SelListCond =
    QStringLiteral("SELECT * FROM ListCondInfo WHERE ID IS NOT NULL  ORDER BY ID ASC");
const QString SelInit = QStringLiteral("SELECT * FROM InitInfo");

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

// ---------------------------------------------------------------- ConfigInfo

int CTermDatabase::readSystemSettings(SystemSettings &s)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    QSqlQuery &q = stmt(SelConfig);
    if (!exec(q))
        return DbAnswer::Failed;
    if (q.next()) {
        const QSqlRecord r = q.record();
        s.UDPPort = q.value(r.indexOf(QStringLiteral("UDPPort"))).toInt();
        s.FTPMode = q.value(r.indexOf(QStringLiteral("FTPMode"))).toInt();
        s.EntryInt = q.value(r.indexOf(QStringLiteral("EntryInt"))).toInt();
        s.EditerPath = q.value(r.indexOf(QStringLiteral("EditerPath"))).toString();
        s.HistoryKeep = q.value(r.indexOf(QStringLiteral("HistoryKeep"))).toInt();
        // A register from before the setting holds 0.
        if (s.HistoryKeep < 1 || s.HistoryKeep > 999)
            s.HistoryKeep = DefaultHistoryKeep;
        s.FirmCheckWait = q.value(r.indexOf(QStringLiteral("FirmCheckWait"))).toInt();
        if (s.FirmCheckWait < 1)
            s.FirmCheckWait = SystemSettings{}.FirmCheckWait;
        const int rate = q.value(r.indexOf(QStringLiteral("NewTermRate"))).toInt();
        s.NewTermRate = rate > 0 ? rate : DefaultNewTermRate;
    }
    q.finish();
    return DbAnswer::Done;
}

int CTermDatabase::writeSystemSettings(SystemSettings &s)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    if (s.EditerPath.isEmpty())
        s.EditerPath = QLatin1String(DefaultEditorPath);
    QSqlQuery &q = stmt(SelConfig);
    if (!exec(q))
        return DbAnswer::Failed;
    bool found = false;
    const qint64 id = takeFirstId(q, found);
    if (!found)
        return DbAnswer::Done;
    QSqlQuery &u = stmt(QStringLiteral(
        "UPDATE ConfigInfo SET UDPPort=?, FTPMode=?, EntryInt=?, EditerPath=?, HistoryKeep=?, "
        "NewTermRate=?, FirmCheckWait=? WHERE ID=?"));
    if (s.HistoryKeep < 1 || s.HistoryKeep > 999)
        s.HistoryKeep = DefaultHistoryKeep;
    bindAll(u, {s.UDPPort, s.FTPMode, s.EntryInt, s.EditerPath, s.HistoryKeep, s.NewTermRate,
                s.FirmCheckWait, id});
    return runChange(u);
}

// ---------------------------------------------------------------- ListCondInfo

int CTermDatabase::readListCond(ListCondInfo &cond)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    QSqlQuery &q = stmt(SelListCond);
    if (!exec(q))
        return DbAnswer::Failed;
    if (q.next()) {
        const QSqlRecord r = q.record();
        for (const RegisterSchema::CondField &f : RegisterSchema::condFields()) {
            const QVariant v = q.value(r.indexOf(QLatin1String(f.name)));
            switch (f.type) {
            case RegisterSchema::ColType::Long:
                cond.*f.integer = v.toInt();
                break;
            case RegisterSchema::ColType::Text:
                cond.*f.text = v.toString();
                break;
            case RegisterSchema::ColType::DateTime:
                cond.*f.date = v.isNull() ? QDateTime() : parseDate(v.toString());
                break;
            }
        }
    }
    q.finish();
    return DbAnswer::Done;
}

int CTermDatabase::writeListCond(const ListCondInfo &cond)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    QSqlQuery &q = stmt(SelListCond);
    if (!exec(q))
        return DbAnswer::Failed;
    bool found = false;
    const qint64 id = takeFirstId(q, found);
    if (!found)
        return DbAnswer::Done;

    QStringList sets;
    QVariantList values;
    for (const RegisterSchema::CondField &f : RegisterSchema::condFields()) {
        if (QLatin1String(f.name) == QLatin1String("ID"))
            continue;
        sets << QLatin1String(f.name) + QLatin1String("=?");
        switch (f.type) {
        case RegisterSchema::ColType::Long:
            values << cond.*f.integer;
            break;
        case RegisterSchema::ColType::Text:
            values << cond.*f.text;
            break;
        case RegisterSchema::ColType::DateTime:
            values << ((cond.*f.date).isValid() ? QVariant(dateText(cond.*f.date)) : QVariant());
            break;
        }
    }
    QSqlQuery &u = stmt(QLatin1String("UPDATE ListCondInfo SET ") + sets.join(QLatin1String(", ")) +
                        QLatin1String(" WHERE ID=?"));
    int i = 0;
    for (const QVariant &v : values)
        u.bindValue(i++, bindable(v));
    u.bindValue(i, id);
    return runChange(u);
}

// ---------------------------------------------------------------- InitInfo

int CTermDatabase::readInitInfo(InitInfo &info)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    QSqlQuery &q = stmt(SelInit);
    if (!exec(q))
        return DbAnswer::Failed;
    const bool found = q.next();
    if (found) {
        info.ID = q.value(0).toInt();
        info.StartNo = q.value(1).toString();
        info.SetRange = q.value(2).toInt();
    }
    q.finish();
    return found ? DbAnswer::Done : DbAnswer::NoRow;
}

int CTermDatabase::writeInitInfo(const InitInfo &info)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    QSqlQuery &q = stmt(SelInit);
    if (!exec(q))
        return DbAnswer::Failed;
    bool found = false;
    const qint64 id = takeFirstId(q, found);
    QSqlQuery &u =
        stmt(found ? QStringLiteral("UPDATE InitInfo SET StartNo=?, SetRange=? WHERE ID=?")
                   : QStringLiteral("INSERT INTO InitInfo (StartNo, SetRange) VALUES (?,?)"));
    if (found)
        bindAll(u, {info.StartNo, info.SetRange, id});
    else
        bindAll(u, {info.StartNo, info.SetRange});
    return runChange(u);
}
