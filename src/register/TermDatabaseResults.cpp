// Command results, single-row look-ups and firmware checks.
#include "register/TermDatabaseInternal.h"

#include <QSqlRecord>

using namespace TermDatabaseInternal;

namespace
{

// Look-ups that only need the record number of the first matching row.
const QString FindByMac =
    QStringLiteral("SELECT ID FROM TermInfo WHERE (UserInfo1=?) ORDER BY ID ASC");
const QString FindByAddr =
    QStringLiteral("SELECT ID FROM TermInfo WHERE (IPAddr=?) ORDER BY ID ASC");

// The single-record queries, with the compared value bound as a parameter.
const QString SelByMac =
    QStringLiteral("SELECT * FROM TermInfo WHERE (UserInfo1=?) ORDER BY ID ASC");
const QString SelByTermId =
    QStringLiteral("SELECT * FROM TermInfo WHERE (TermID=?) ORDER BY ID ASC");

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

} // namespace

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
