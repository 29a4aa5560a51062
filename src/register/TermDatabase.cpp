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
#include <cstdlib>

using namespace TermDatabaseInternal;

namespace
{

// Look-ups that only need the record number of the first matching row.
const QString FindByMac =
    QStringLiteral("SELECT ID FROM TermInfo WHERE (UserInfo1=?) ORDER BY ID ASC");
const QString FindByAddr =
    QStringLiteral("SELECT ID FROM TermInfo WHERE (IPAddr=?) ORDER BY ID ASC");

// Look-ups that only need the record number of the first matching row.
const QString FindForAdd =
    QStringLiteral("SELECT ID FROM TermInfo WHERE ID IS NOT NULL AND TermID=? ORDER BY ID ASC");
const QString FindById = QStringLiteral("SELECT ID FROM TermInfo WHERE (ID=?) ORDER BY ID ASC");

// The single-record queries, with the compared value bound as a parameter.
const QString SelByMac =
    QStringLiteral("SELECT * FROM TermInfo WHERE (UserInfo1=?) ORDER BY ID ASC");
const QString SelByTermId =
    QStringLiteral("SELECT * FROM TermInfo WHERE (TermID=?) ORDER BY ID ASC");

const QString SelConfig =
    QStringLiteral("SELECT * FROM ConfigInfo WHERE ID IS NOT NULL  ORDER BY ID ASC");
const QString SelListCond =
    QStringLiteral("SELECT * FROM ListCondInfo WHERE ID IS NOT NULL  ORDER BY ID ASC");
const QString SelInit = QStringLiteral("SELECT * FROM InitInfo");

const QString SelAllIds = QStringLiteral("SELECT TOP 65535 * FROM TermInfo ORDER BY TermID ASC");

// Most rows of a burst share their registration second; parsing each
// distinct text once keeps the list read fast.
struct DateCache {
    QString text;
    QDateTime value;
    QDateTime get(const QVariant &v)
    {
        if (v.isNull())
            return {};
        const QString s = v.toString();
        if (s != text) {
            text = s;
            value = parseDate(s);
        }
        return value;
    }
};

// Where each carried column sits in a result, found by name.
struct EntryColumns {
    int id, termId, ipAddr, vendor, machineName, machineType, verBoot, verApli, userInfo1,
        userInfo2, regist, entryDate, termIdAlert, ipAddrAlert, termEntryType, resultKind,
        resultCode, resultDate, lastNotice, firmCheck;
    explicit EntryColumns(const QSqlRecord &r)
        : id(r.indexOf(QStringLiteral("ID"))),
          termId(r.indexOf(QStringLiteral("TermID")) >= 0
                     ? r.indexOf(QStringLiteral("TermID"))
                     : r.indexOf(QStringLiteral("TrimmedTermID"))),
          ipAddr(r.indexOf(QStringLiteral("IPAddr"))), vendor(r.indexOf(QStringLiteral("Vendor"))),
          machineName(r.indexOf(QStringLiteral("MachineName"))),
          machineType(r.indexOf(QStringLiteral("MachineType"))),
          verBoot(r.indexOf(QStringLiteral("VerBoot"))),
          verApli(r.indexOf(QStringLiteral("VerApli"))),
          userInfo1(r.indexOf(QStringLiteral("UserInfo1"))),
          userInfo2(r.indexOf(QStringLiteral("UserInfo2"))),
          regist(r.indexOf(QStringLiteral("Regist"))),
          entryDate(r.indexOf(QStringLiteral("EntryDate"))),
          termIdAlert(r.indexOf(QStringLiteral("TermIDAlert"))),
          ipAddrAlert(r.indexOf(QStringLiteral("IPAddrAlert"))),
          termEntryType(r.indexOf(QStringLiteral("TermEntryType"))),
          resultKind(r.indexOf(QStringLiteral("ResultKind"))),
          resultCode(r.indexOf(QStringLiteral("ResultCode"))),
          resultDate(r.indexOf(QStringLiteral("ResultDate"))),
          lastNotice(r.indexOf(QStringLiteral("LastNotice"))),
          firmCheck(r.indexOf(QStringLiteral("FirmCheck")))
    {
    }
};

void readEntry(const QSqlQuery &q, const EntryColumns &c, TermEntry &e, DateCache &entryDates,
               DateCache &resultDates)
{
    e.ID = q.value(c.id).toInt();
    e.TermID = TrimmedTermId(q.value(c.termId).toString());
    e.IPAddr = q.value(c.ipAddr).toString();
    e.Vendor = q.value(c.vendor).toString();
    e.MachineName = q.value(c.machineName).toString();
    e.MachineType = q.value(c.machineType).toString();
    e.VerBoot = q.value(c.verBoot).toString();
    e.VerApli = q.value(c.verApli).toString();
    e.UserInfo1 = q.value(c.userInfo1).toString();
    e.UserInfo2 = q.value(c.userInfo2).toString();
    e.Regist = q.value(c.regist).toInt();
    e.EntryDate = entryDates.get(q.value(c.entryDate));
    e.TermIDAlert = q.value(c.termIdAlert).toInt();
    e.IPAddrAlert = q.value(c.ipAddrAlert).toInt();
    e.TermEntryType = q.value(c.termEntryType).toInt();
    e.ResultKind = q.value(c.resultKind).toInt();
    e.ResultCode = q.value(c.resultCode).toInt();
    e.ResultDate = resultDates.get(q.value(c.resultDate));
    e.LastNotice = parseDate(q.value(c.lastNotice).toString());
    e.FirmCheck = q.value(c.firmCheck).toInt();
}

const QString InsProvisional =
    QStringLiteral("INSERT INTO TermInfo (TermID, EntryDate, ResultDate) VALUES (?,?,?)");
const QString DelById = QStringLiteral("DELETE FROM TermInfo WHERE ID=?");

std::atomic<int> connectionCounter{0};

// atol: leading blanks, optional sign, digits.
std::int64_t atolLike(const QString &text)
{
    const QByteArray b = text.toLatin1();
    return std::strtoll(b.constData(), nullptr, 10);
}

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

// ---------------------------------------------------------------- results and look-ups

int CTermDatabase::firstRow(const QString &lookup, const QString &value, qint64 &id)
{
    QSqlQuery &q = stmt(lookup);
    bindAll(q, {value});
    if (!exec(q))
        return DbAnswer::Failed;
    bool found = false;
    id = takeFirstId(q, found);
    return found ? DbAnswer::Done : DbAnswer::NoRow;
}

int CTermDatabase::setResultByAddress(const QString &termId, std::uint32_t ipAddr,
                                      std::int32_t kind, std::int32_t code)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    qint64 id = 0;
    if (const int answer = firstRow(FindByAddr, StoredIpAddr(ipAddr), id); answer != DbAnswer::Done)
        return answer;

    // Kind 1 with code 0 leaves the dates: the registration that completes a
    // terminal information request sets them.
    const bool dates = !(kind == 1 && code == 0);
    QString sql = QStringLiteral("UPDATE TermInfo SET ");
    if (code == 0)
        sql += QLatin1String("TermID=?, ");
    sql += QLatin1String("ResultKind=?, ResultCode=?");
    if (dates)
        sql += QLatin1String(", EntryDate=?, ResultDate=?");
    sql += QLatin1String(" WHERE ID=?");
    QSqlQuery &u = stmt(sql);
    int i = 0;
    if (code == 0)
        u.bindValue(i++, StoredTermId(termId));
    u.bindValue(i++, kind);
    u.bindValue(i++, code);
    if (dates) {
        const QString now = nowText();
        u.bindValue(i++, now);
        u.bindValue(i++, now);
    }
    u.bindValue(i++, id);
    return runChange(u);
}

int CTermDatabase::setResultByMac(const QString &mac, std::int32_t kind, std::int32_t code)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    qint64 id = 0;
    if (const int answer = firstRow(FindByMac, mac, id); answer != DbAnswer::Done)
        return answer;
    const bool dates = !(kind == 1 && code == 0);
    QSqlQuery &u = stmt(dates ? QStringLiteral("UPDATE TermInfo SET ResultKind=?, ResultCode=?, "
                                               "EntryDate=?, ResultDate=? WHERE ID=?")
                              : QStringLiteral("UPDATE TermInfo SET ResultKind=?, ResultCode=? "
                                               "WHERE ID=?"));
    if (dates) {
        const QString now = nowText();
        bindAll(u, {kind, code, now, now, id});
    } else {
        bindAll(u, {kind, code, id});
    }
    return runChange(u);
}

int CTermDatabase::getByMac(const QString &mac, TermRecord &r)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    QSqlQuery &q = stmt(SelByMac);
    bindAll(q, {mac});
    if (!exec(q))
        return DbAnswer::Failed;
    if (!q.next()) {
        q.finish();
        return DbAnswer::NoRow;
    }
    DateCache a, b;
    readEntry(q, EntryColumns(q.record()), r, a, b);
    r.Info03 = q.value(Col::Info03).toString();
    r.Info04 = q.value(Col::Info04).toString();
    r.VerInfo1 = q.value(Col::VerInfo1).toString();
    r.VerInfo2 = q.value(Col::VerInfo2).toString();
    r.VerInfo3 = q.value(Col::VerInfo3).toString();
    r.TermTypeInfo1 = q.value(Col::TermTypeInfo1).toString();
    r.TermTypeInfo2 = q.value(Col::TermTypeInfo2).toString();
    r.FirmCheckDate = parseDate(q.value(Col::FirmCheckDate).toString());
    r.FirmCheckVer = q.value(Col::FirmCheckVer).toString();
    r.FirmCheckKind = q.value(Col::FirmCheckKind).toInt();
    q.finish();
    return DbAnswer::Done;
}

int CTermDatabase::getByTermId(const QString &termId, TermRecord &r)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    QSqlQuery &q = stmt(SelByTermId);
    bindAll(q, {StoredTermId(termId)});
    if (!exec(q))
        return DbAnswer::Failed;
    if (!q.next()) {
        q.finish();
        return DbAnswer::NoRow;
    }
    r.TermID = TrimmedTermId(q.value(Col::TermID).toString());
    r.IPAddr = q.value(Col::IPAddr).toString();
    r.UserInfo1 = q.value(Col::UserInfo1).toString();
    r.MachineName = q.value(Col::MachineName).toString();
    q.finish();
    return DbAnswer::Done;
}

// ---------------------------------------------------------------- clock

QDateTime CTermDatabase::now() const
{
    return m_now ? m_now() : QDateTime::currentDateTime();
}

int CTermDatabase::startFirmCheck(const QString &mac, std::uint32_t ipAddr, std::int32_t kind,
                                  const QString &version, const QDateTime &ended)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    qint64 id = 0;
    // Found as results are set: by MAC address, by address without one.
    const int answer = mac.isEmpty() ? firstRow(FindByAddr, StoredIpAddr(ipAddr), id)
                                     : firstRow(FindByMac, mac, id);
    if (answer != DbAnswer::Done)
        return answer;
    const bool check = !version.trimmed().isEmpty();
    std::int32_t state = check ? FirmCheckState::Waiting : FirmCheckState::None;
    QString termId, reported;
    if (check && ended.isValid()) {
        // Of a request for many terminals the first ones restart and announce
        // themselves long before the request's end. Dates are kept to the
        // second: a notice of the session's last second may be from before
        // the restart and is not taken.
        QSqlQuery &q = stmt(QStringLiteral("SELECT TermID, VerBoot, VerApli FROM TermInfo "
                                           "WHERE ID=? AND LastNotice>=?"));
        bindAll(q, {id, dateText(ended.addSecs(1))});
        if (!exec(q))
            return DbAnswer::Failed;
        if (q.next()) {
            termId = TrimmedTermId(q.value(0).toString());
            reported = kind == FirmKind::Boot ? q.value(1).toString() : q.value(2).toString();
            state = FirmCheckVerdict(kind, version, q.value(1).toString(), q.value(2).toString());
        }
        q.finish();
    }
    QSqlQuery &u = stmt(QStringLiteral("UPDATE TermInfo SET FirmCheck=?, FirmCheckKind=?, "
                                       "FirmCheckVer=?, FirmCheckDate=? WHERE ID=?"));
    bindAll(u, {state, check ? kind : 0, check ? version : QString(),
                check ? QVariant(nowText()) : QVariant(), id});
    const int changed = runChange(u);
    if (changed == DbAnswer::Done && state == FirmCheckState::Mismatch)
        writeLog(RegisterLogKind::FirmMismatch, termId, FirmCheckLogDetail(version, reported));
    return changed;
}

int CTermDatabase::expireFirmChecks(const QDateTime &startedBefore, int *ended)
{
    if (ended)
        *ended = 0;
    if (!isOpen())
        return DbAnswer::NotOpen;
    const QString limit = dateText(startedBefore);
    if (!beginTransaction())
        return DbAnswer::Failed;
    QSqlQuery &q = stmt(QStringLiteral("SELECT TermID, FirmCheckVer FROM TermInfo "
                                       "WHERE FirmCheck=1 AND FirmCheckDate<=? ORDER BY ID"));
    bindAll(q, {limit});
    bool ok = exec(q);
    int n = 0;
    while (ok && q.next()) {
        writeLog(RegisterLogKind::FirmNoAnswer, TrimmedTermId(q.value(0).toString()),
                 FirmCheckLogDetail(q.value(1).toString()));
        ++n;
    }
    q.finish();
    if (ok) {
        QSqlQuery &u = stmt(QStringLiteral("UPDATE TermInfo SET FirmCheck=4, FirmCheckDate=? "
                                           "WHERE FirmCheck=1 AND FirmCheckDate<=?"));
        bindAll(u, {nowText(), limit});
        ok = runChange(u) == DbAnswer::Done;
    }
    if (!ok) {
        // Nothing of the pass stays, its log lines neither.
        m_deferredLog.clear();
        m_txDepth = 0;
        m_db.rollback();
        return DbAnswer::Failed;
    }
    if (!commitTransaction())
        return DbAnswer::Failed;
    if (ended)
        *ended = n;
    return DbAnswer::Done;
}

QDateTime CTermDatabase::oldestFirmCheck()
{
    std::vector<QVariantList> rows;
    if (aggregate(QStringLiteral("SELECT MIN(FirmCheckDate) FROM TermInfo WHERE FirmCheck=1"), {},
                  rows) != DbAnswer::Done ||
        rows.empty())
        return {};
    return parseDate(rows.front().value(0).toString());
}

// ---------------------------------------------------------------- add and delete

namespace
{
// The loop shared by add and delete: progress rhythm, a yield after each
// item, and one transaction per progress step. The items of a step whose
// commit failed were rolled back with it: they end "not updatable", whatever
// their statements answered. Answers whether any item ended so.
template <class Fn>
bool forEachItem(CTermDatabase &db, std::vector<TermItem> &items, IRegisterProgress *progress,
                 Fn &&fn)
{
    const int total = int(items.size());
    const int step = ProgressStep(total);
    if (progress)
        progress->progress(0, total);
    bool inTx = db.beginTransaction();
    int stepStart = 0;
    bool failed = false;
    for (int i = 0; i < total; ++i) {
        fn(items[i]);
        failed = failed || items[i].result == ItemResult::NotUpdatable;
        const int done = i + 1;
        if (done % step == 0 || done == total) {
            if (inTx && !db.commitTransaction()) {
                failed = true;
                for (int k = stepStart; k < done; ++k)
                    if (items[k].result == ItemResult::Done)
                        items[k].result = ItemResult::NotUpdatable;
            }
            stepStart = done;
            if (progress)
                progress->progress(done, total);
            inTx = done < total && db.beginTransaction();
        }
        if (progress)
            progress->yieldOnce();
    }
    if (inTx) // an empty list
        db.commitTransaction();
    return failed;
}
} // namespace

int CTermDatabase::addTerminals(std::vector<TermItem> &items, IRegisterProgress *progress)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    const bool failed = forEachItem(*this, items, progress, [this](TermItem &item) {
        if (item.TermID.isEmpty()) {
            item.result = ItemResult::EmptyOrMissing;
            return;
        }
        const QString termId = StoredTermId(item.TermID);
        QSqlQuery &q = stmt(FindForAdd);
        bindAll(q, {termId});
        if (!exec(q)) {
            item.result = ItemResult::NotUpdatable;
            return;
        }
        const bool exists = q.next();
        q.finish();
        if (exists) {
            item.result = ItemResult::AlreadyRegistered;
            return;
        }
        const QString now = nowText();
        QSqlQuery &ins = stmt(InsProvisional);
        bindAll(ins, {termId, now, now});
        item.result =
            runChange(ins) == DbAnswer::Done ? ItemResult::Done : ItemResult::NotUpdatable;
    });
    return failed ? DbAnswer::Failed : DbAnswer::Done;
}

int CTermDatabase::deleteTerminals(std::vector<TermItem> &items, IRegisterProgress *progress)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    bool missing = false;
    const bool failed = forEachItem(*this, items, progress, [this, &missing](TermItem &item) {
        QSqlQuery &q = stmt(FindById);
        bindAll(q, {item.ID});
        if (!exec(q)) {
            item.result = ItemResult::NotUpdatable;
            return;
        }
        const bool exists = q.next();
        q.finish();
        if (!exists) {
            item.result = ItemResult::EmptyOrMissing;
            missing = true;
            return;
        }
        QSqlQuery &del = stmt(DelById);
        bindAll(del, {item.ID});
        item.result =
            runChange(del) == DbAnswer::Done ? ItemResult::Done : ItemResult::NotUpdatable;
    });
    // The caller deletes the terminals' files next: a checkpoint syncs the
    // write-ahead log first, so no power cut can bring back a row whose files
    // went. (Elsewhere a lost last commit costs nothing that a terminal's
    // next notice does not bring back.)
    QSqlQuery(m_db).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
    return failed ? DbAnswer::Failed : missing ? DbAnswer::NoRow : DbAnswer::Done;
}

// ---------------------------------------------------------------- terminal IDs as numbers

QString CTermDatabase::RangeUpperBound(const QString &startNo, int setRange)
{
    const QString prefix = startNo.size() > 4 ? startNo.left(startNo.size() - 4) : QString();
    const QString suffix = startNo.right(4);
    const int last = int(atolLike(suffix)) + setRange - 1;
    const QString lastText = QString::asprintf("%04d", last);
    auto rightAligned = [](const QString &s, int width) {
        return s.size() >= width ? s : QString(width - s.size(), QLatin1Char(' ')) + s;
    };
    return rightAligned(prefix, 60) + rightAligned(lastText, 4);
}

int CTermDatabase::termIdsInRange(const QString &startNo, int setRange, QStringList *ids)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    if (!ids || startNo.isEmpty() || setRange < 1)
        return DbAnswer::MissingArg;
    const QString sql = QLatin1String("SELECT * FROM TermInfo WHERE TermID BETWEEN ") +
                        quotedLiteral(StoredTermId(startNo)) + QLatin1String(" AND ") +
                        quotedLiteral(RangeUpperBound(startNo, setRange)) +
                        QLatin1String(" ORDER BY TermID DESC");
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(JetToSqlite(sql)))
        return reportError(q.lastError().text());
    ids->clear();
    while (q.next())
        ids->append(q.value(Col::TermID).toString());
    return ids->isEmpty() ? DbAnswer::NoRow : DbAnswer::Done;
}

int CTermDatabase::allTermIdNumbers(std::vector<std::int64_t> *numbers, int *count)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    if (!numbers || !count)
        return DbAnswer::MissingArg;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(JetToSqlite(SelAllIds)))
        return reportError(q.lastError().text());
    int row = 0;
    while (q.next()) {
        const QString stored = q.value(Col::TermID).toString();
        const QString id = TrimmedTermId(stored);
        if (std::size_t(row) >= numbers->size())
            numbers->resize(row + 1);
        if (id == QLatin1String("0") || atolLike(id) != 0)
            (*numbers)[row] = atolLike(stored.right(9));
        ++row;
    }
    *count = row;
    return row == 0 ? DbAnswer::NoRow : DbAnswer::Done;
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
