// The register's file: its creation, the compaction at start, the
// exclusive open and the close.
#include "register/TermDatabaseInternal.h"

#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "common/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSqlError>

using namespace TermDatabaseInternal;

namespace
{

const char *const CompactionFailedText = QT_TRANSLATE_NOOP(
    "CTermDatabase",
    "データベースを最適化できませんでした。データベースファイルを確認してください。\n"
    "プログラムを終了します。");

bool isSqliteFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// Register files held open by this process. Opening and closing any other
// descriptor on such a file would drop the process's locks on it, so a
// second object refuses it without touching it.
QMutex openFilesMutex;
QSet<QString> openFiles;

QString fileKey(const QString &path)
{
    const QFileInfo info(path);
    return info.absoluteDir().canonicalPath() + QLatin1Char('/') + info.fileName();
}

bool isHeldHere(const QString &path)
{
    QMutexLocker lock(&openFilesMutex);
    return openFiles.contains(fileKey(path));
}

} // namespace

bool CTermDatabase::startUp()
{
    return prepare() == 1 && open() == 1;
}

// ---------------------------------------------------------------- start-up

int CTermDatabase::compactionFailed()
{
    prompter().systemMessageBox(Tr::tr(CompactionFailedText), Tr::tr(DbErrorCaption),
                                MsgType::IconWarning);
    ProcessValues::startupAbort = 1;
    return 0;
}

bool CTermDatabase::createFile(const QString &path)
{
    // Built under a temporary name and renamed, so a failure never leaves a
    // half-made register behind.
    const QString tmp = path + QLatin1String(".new");
    QFile::remove(tmp);
    const QString conn = m_connection + QLatin1String("-create");
    bool ok = true;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        c.setDatabaseName(tmp);
        ok = c.open();
        if (ok) {
            QSqlQuery q(c);
            ok = q.exec(QStringLiteral("BEGIN"));
            for (const QString &sql : RegisterSchema::createStatements()) {
                if (!ok)
                    break;
                ok = q.exec(sql);
            }
            ok = ok && q.exec(QStringLiteral("COMMIT"));
        }
        c.close();
    }
    QSqlDatabase::removeDatabase(conn);
    QFile::remove(tmp + QLatin1String("-journal"));
    if (!ok) {
        QFile::remove(tmp);
        return false;
    }
    // The register holds every terminal's addresses: the user's own. A file
    // that exists keeps the mode its administrator gave it (compaction).
    QFile::setPermissions(tmp, QFile::ReadOwner | QFile::WriteOwner);
    return SafeFile::replace(tmp, path);
}

bool CTermDatabase::createIfAbsent()
{
    const QString db = filePath();
    return QFileInfo::exists(db) || createFile(db);
}

namespace
{
// The UPDATE turning NULL texts of TermInfo, whose texts the look-ups
// compare, into empty text.
QString nullTextRepair()
{
    for (const RegisterSchema::Table &t : RegisterSchema::tables()) {
        if (qstrcmp(t.name, "TermInfo") != 0)
            continue;
        QStringList sets, tests;
        for (const RegisterSchema::Column &c : t.columns) {
            if (c.type != RegisterSchema::ColType::Text)
                continue;
            const QString name = QLatin1String(c.name);
            sets << name + QLatin1String("=COALESCE(") + name + QLatin1String(",'')");
            tests << name + QLatin1String(" IS NULL");
        }
        return QLatin1String("UPDATE TermInfo SET ") + sets.join(QLatin1String(", ")) +
               QLatin1String(" WHERE ") + tests.join(QLatin1String(" OR "));
    }
    return QString();
}
} // namespace

int CTermDatabase::prepare()
{
    const QString db = filePath();
    if (isHeldHere(db))
        return compactionFailed();
    QFile::remove(m_folder + QLatin1String(OldFileName));
    const QString comp = m_folder + QLatin1String(CompactPrefix) + QLatin1String(FileName);

    if (!QFileInfo::exists(db)) {
        if (QFileInfo::exists(comp) && isSqliteFile(comp)) {
            // A swap that was cut short left the compacted copy as the only one.
            if (!QFile::rename(comp, db))
                return compactionFailed();
        } else {
            QFile::remove(comp);
            if (!createFile(db))
                return compactionFailed();
        }
    }
    // Anything else at that name is not ours: refused and left alone.
    if (!isSqliteFile(db))
        return compactionFailed();
    QFile::remove(comp); // an interrupted compaction; the database itself is intact

    bool ok = false;
    const QString conn = m_connection + QLatin1String("-compact");
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        c.setDatabaseName(db);
        c.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=200"));
        if (c.open()) {
            QSqlQuery q(c);
            ok = q.exec(QLatin1String("VACUUM INTO ") + quotedLiteral(comp));
        }
        c.close();
    }
    QSqlDatabase::removeDatabase(conn);
    if (!ok) {
        QFile::remove(comp);
        return compactionFailed();
    }
    if (QFileInfo::exists(comp)) {
        // A journal still beside the database would be applied to the wrong
        // file after the swap; keep the database as it is then.
        if (QFileInfo::exists(db + QLatin1String("-wal")) ||
            QFileInfo::exists(db + QLatin1String("-journal"))) {
            QFile::remove(comp);
        } else {
            // replace() syncs the copy (the engine does not), gives it the
            // register's mode and owner and syncs the folder after the
            // rename, so a power cut leaves the old register or the new one.
            // When the owner can't be given (a start by another account), the
            // register stays as it is, uncompacted: a copy owned by this user
            // would lock the usual one out.
            SafeFile::replace(comp, db, nullptr, SafeFile::OwnerRequired);
        }
    }
    return 1;
}

int CTermDatabase::open()
{
    if (isOpen())
        return 1;
    auto fail = [this](const QString &description) {
        AppMessageBox(1, 2, description, Tr::tr(DbErrorCaption), MsgType::IconWarning);
        m_lastError = description;
        close();
        ProcessValues::startupAbort = 1;
        return 0;
    };
    const QString path = filePath();
    if (isHeldHere(path))
        return fail(QStringLiteral("The database file '%1' is already in use.").arg(path));
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("Could not find file '%1'.").arg(path));
    if (!info.isWritable())
        return fail(QStringLiteral("The database file '%1' is read-only.").arg(path));

    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=200"));
    if (!m_db.open())
        return fail(m_db.lastError().text());
    {
        // Exclusive: the lock is taken now and kept until close, so no other
        // program can read or write the register meanwhile.
        QSqlQuery q(m_db);
        for (const char *sql : {"PRAGMA locking_mode=EXCLUSIVE", "PRAGMA journal_mode=WAL",
                                "PRAGMA synchronous=NORMAL",
                                // A full register (65,535 rows and indexes) stays in memory.
                                "PRAGMA cache_size=-65536", "BEGIN EXCLUSIVE", "COMMIT"}) {
            if (!q.exec(QLatin1String(sql)))
                return fail(q.lastError().text());
        }
        // A register of an earlier version lacks the columns added since:
        // they are appended, all in one transaction, so a failure (a full
        // disk) leaves the file as it was.
        QStringList upgrade;
        for (const RegisterSchema::Table &t : RegisterSchema::tables()) {
            if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(t.name))))
                return fail(q.lastError().text());
            std::size_t n = 0;
            bool same = true;
            while (q.next()) {
                same = same && n < t.columns.size() &&
                       q.value(1).toString().compare(QLatin1String(t.columns[n].name),
                                                     Qt::CaseInsensitive) == 0;
                ++n;
            }
            if (!same || n == 0)
                return fail(QStringLiteral("Table '%1' is missing or its columns differ.")
                                .arg(QLatin1String(t.name)));
            upgrade << RegisterSchema::addColumnStatements(t, n);
        }
        if (!upgrade.isEmpty()) {
            upgrade.prepend(QStringLiteral("BEGIN IMMEDIATE"));
            upgrade.append(QStringLiteral("COMMIT"));
            for (const QString &sql : upgrade) {
                if (!q.exec(sql)) {
                    const QString error = q.lastError().text();
                    q.exec(QStringLiteral("ROLLBACK"));
                    return fail(error);
                }
            }
        }
        for (const QString &sql : RegisterSchema::indexStatements()) {
            if (!q.exec(sql))
                return fail(q.lastError().text());
        }
        // Texts are kept as empty text, never NULL (see bindable()); a file
        // written otherwise is mended so its rows are found again. A file
        // that can't be mended is still opened: only those rows stay apart.
        q.exec(nullTextRepair());
    }
    QMutexLocker lock(&openFilesMutex);
    m_heldKey = fileKey(path);
    openFiles.insert(m_heldKey);
    return 1;
}

void CTermDatabase::close()
{
    if (!m_heldKey.isEmpty()) {
        QMutexLocker lock(&openFilesMutex);
        openFiles.remove(m_heldKey);
        m_heldKey.clear();
    }
    m_stmts->prepared.clear();
    m_stmts->direct.clear(); // finalised before the connection closes
    m_txDepth = 0;
    m_deferredLog.clear();
    if (m_db.isValid()) {
        if (m_db.isOpen())
            m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
}
