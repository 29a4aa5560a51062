// The register update after a terminal's notice, alone or in bursts.
#include "register/TermDatabaseInternal.h"

using namespace TermDatabaseInternal;

namespace
{

// What the register update decides on, in one round trip: the first row
// with the MAC address (m); the rows holding the terminal ID, how many of
// them are provisional and the first of those (p); the rows holding the
// address. The joins go by record number so that nothing is materialised.
// An empty MAC address (a text the notice check refused) identifies nobody
// by itself: such a terminal finds only the MAC-less row of its own terminal
// ID, never another terminal's provisional or MAC-less row. A row of the ID
// that no MAC address has claimed yet (provisional, or registered without
// one) waits for its terminal like a provisional row and is adopted.
// The firmware check of the row (m or p) and whether any row of the ID waits
// for one come along, so a notice costs no further statement.
const QString UpdateLookup = QStringLiteral(
    "SELECT m.ID, m.TermID, m.IPAddr, m.UserInfo1, m.ResultKind, t.cnt, t.prov, p.ID, p.IPAddr,"
    " (SELECT COUNT(*) FROM TermInfo WHERE IPAddr=?), p.UserInfo1, p.TermEntryType, p.ResultKind,"
    " m.FirmCheck, m.FirmCheckKind, m.FirmCheckVer, p.FirmCheck, p.FirmCheckKind, p.FirmCheckVer,"
    " t.waiting"
    " FROM (SELECT COUNT(*) AS cnt, SUM(TermEntryType=0 OR UserInfo1='') AS prov,"
    " MIN(CASE WHEN TermEntryType=0 OR UserInfo1='' THEN ID END) AS firstProv,"
    " SUM(FirmCheck=1) AS waiting"
    " FROM TermInfo WHERE TermID=?) AS t"
    " LEFT JOIN TermInfo AS m ON m.ID=(CASE WHEN ?='' THEN"
    " (SELECT ID FROM TermInfo WHERE (TermID=?) AND (UserInfo1='') ORDER BY ID ASC LIMIT 1)"
    " ELSE (SELECT ID FROM TermInfo WHERE (UserInfo1=?) ORDER BY ID ASC LIMIT 1) END)"
    " LEFT JOIN TermInfo AS p ON p.ID=t.firstProv");

const QString InsNotice = QStringLiteral(
    "INSERT INTO TermInfo (TermID, IPAddr, Vendor, MachineName, MachineType, VerBoot, VerApli, "
    "VerInfo1, VerInfo2, VerInfo3, TermTypeInfo1, TermTypeInfo2, UserInfo1, UserInfo2, Regist, "
    "EntryDate, TermIDAlert, IPAddrAlert, TermEntryType, ResultKind, ResultCode, ResultDate, "
    "LastNotice) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,1,0,0,?,?)");

// The UPDATE of a known or adopted row. result: 0 leaves the result, 1
// completes a terminal information request, 2 clears it (adopted row).
// firm: the row's waiting firmware check is decided.
QString noticeUpdateSql(bool setId, bool setAddr, bool setMac, int result, bool firm)
{
    QString sql = QStringLiteral("UPDATE TermInfo SET ");
    if (setId)
        sql += QLatin1String("TermID=?, ");
    if (setAddr)
        sql += QLatin1String("IPAddr=?, ");
    sql += QLatin1String("Vendor=?, MachineName=?, MachineType=?, VerBoot=?, VerApli=?, "
                         "VerInfo1=?, VerInfo2=?, VerInfo3=?, TermTypeInfo1=?, TermTypeInfo2=?, ");
    if (setMac)
        sql += QLatin1String("UserInfo1=?, ");
    sql += QLatin1String("UserInfo2=?, Regist=?, EntryDate=?, LastNotice=?, TermEntryType=1, "
                         "TermIDAlert=?, IPAddrAlert=?");
    if (firm)
        sql += QLatin1String(", FirmCheck=?, FirmCheckDate=?");
    if (result == 1)
        sql += QLatin1String(", ResultKind=1, ResultCode=0, ResultDate=?");
    else if (result == 2)
        sql += QLatin1String(", ResultKind=0, ResultCode=0, ResultDate=?");
    return sql + QLatin1String(" WHERE ID=?");
}

// Marks the other rows holding a duplicated ID or address.
const QString SetIdAlert =
    QStringLiteral("UPDATE TermInfo SET TermIDAlert=1 WHERE TermID=? AND TermIDAlert IS NOT 1");
const QString SetAddrAlert =
    QStringLiteral("UPDATE TermInfo SET IPAddrAlert=1 WHERE IPAddr=? AND IPAddrAlert IS NOT 1");
// A new row takes the terminal ID: a firmware check still waiting on another
// row of the ID was for a terminal that has been replaced.
const QString DropIdWaits =
    QStringLiteral("UPDATE TermInfo SET FirmCheck=0 WHERE TermID=? AND FirmCheck=1");

} // namespace

// ---------------------------------------------------------------- register update

int CTermDatabase::registerUpdate(const RegistrationData &data, RegisterOutcome *outcome)
{
    if (!isOpen())
        return DbAnswer::NotOpen;
    return updateOne(data, outcome);
}

int CTermDatabase::registerUpdates(const std::vector<RegistrationData> &batch,
                                   std::vector<int> *answers,
                                   std::vector<RegisterOutcome> *outcomes,
                                   const std::function<bool(std::size_t)> &mayAdd)
{
    if (answers)
        answers->clear();
    if (outcomes)
        outcomes->clear();
    if (!isOpen())
        return DbAnswer::NotOpen;
    int result = DbAnswer::Done;
    const bool inTx = beginTransaction();
    for (std::size_t i = 0; i < batch.size(); ++i) {
        RegisterOutcome oc = RegisterOutcome::Updated;
        const int a = updateOne(batch[i], &oc,
                                mayAdd ? std::function<bool()>([&] { return mayAdd(i); })
                                       : std::function<bool()>());
        if (a != DbAnswer::Done)
            result = DbAnswer::Failed;
        if (answers)
            answers->push_back(a);
        if (outcomes)
            outcomes->push_back(oc);
    }
    if (inTx && !commitTransaction()) {
        result = DbAnswer::Failed;
        if (answers)
            std::fill(answers->begin(), answers->end(), DbAnswer::Failed);
    }
    return result;
}

int CTermDatabase::updateOne(const RegistrationData &d, RegisterOutcome *outcome,
                             const std::function<bool()> &mayAdd)
{
    const QString termId = StoredTermId(d.TermID);
    const QString addr = StoredIpAddr(d.IPAddr);
    const QByteArray now = nowText().toUtf8();

    // The row this terminal already has: by MAC address, else the one
    // provisional row waiting for its terminal ID.
    enum { None, Known, Adopt } kind = None;
    bool provisional = false;
    qint64 rowId = 0;
    qint32 rowResultKind = 0;
    QString rowTermId, rowAddr, rowMac;
    qint64 idRows = 0, addrRows = 0, idWaits = 0;
    std::int32_t firmCheck = FirmCheckState::None, firmKind = 0;
    QString firmVer;
    {
        DirectStatement *q = direct(UpdateLookup);
        if (!q)
            return DbAnswer::Failed;
        for (const QString *v : {&addr, &termId, &d.UserInfo1, &termId, &d.UserInfo1})
            q->bind(*v);
        bool row = false;
        if (!run(*q, &row))
            return DbAnswer::Failed;
        if (row) {
            idRows = q->int64(5);
            addrRows = q->int64(9);
            idWaits = q->int64(19);
            if (!q->isNull(0)) {
                kind = Known;
                rowId = q->int64(0);
                rowTermId = q->text(1);
                rowAddr = q->text(2);
                rowMac = q->text(3);
                rowResultKind = qint32(q->int64(4));
                firmCheck = qint32(q->int64(13));
                firmKind = qint32(q->int64(14));
                if (firmCheck == FirmCheckState::Waiting)
                    firmVer = q->text(15);
            } else if (q->int64(6) == 1) {
                kind = Adopt;
                rowId = q->int64(7);
                rowTermId = termId;
                rowAddr = q->text(8);
                rowMac = q->text(10);
                provisional = q->int64(11) == TermEntryKind::Provisional;
                rowResultKind = qint32(q->int64(12));
                firmCheck = qint32(q->int64(16));
                firmKind = qint32(q->int64(17));
                if (firmCheck == FirmCheckState::Waiting)
                    firmVer = q->text(18);
            }
        }
        q->finish();
    }
    // The alerts follow from the other rows holding the ID and the address,
    // so the row is written once with its final alerts.
    if (kind != None) {
        if (rowTermId.compare(termId, Qt::CaseInsensitive) == 0)
            --idRows;
        if (rowAddr.compare(addr, Qt::CaseInsensitive) == 0)
            --addrRows;
    }
    const bool idDup = idRows > 0;
    const bool addrDup = addrRows > 0;
    if (kind == None && mayAdd && !mayAdd()) {
        if (outcome)
            *outcome = RegisterOutcome::Refused;
        return DbAnswer::Done;
    }

    // An update leaves indexed columns that keep their value out of the SET
    // list, which spares their index maintenance; the row ends the same.
    // An adopted row keeps its terminal ID; a provisional one starts without
    // result, a MAC-less registered one keeps its result (the end of a
    // terminal-initiated update recorded there). A row whose terminal
    // information request is pending (kind 13) has it completed.
    const bool setId = kind == Known && rowTermId != termId;
    const bool setAddr = rowAddr != addr;
    const bool setMac = rowMac != d.UserInfo1;
    const bool adoptProvisional = kind == Adopt && provisional;
    const int result = adoptProvisional ? 2 : rowResultKind == 13 ? 1 : 0;
    // The first notice after a firmware write decides its check.
    const bool firm = kind != None && firmCheck == FirmCheckState::Waiting;
    const std::int32_t verdict =
        firm ? FirmCheckVerdict(firmKind, firmVer, d.VerBoot, d.VerApli) : FirmCheckState::None;
    DirectStatement *w =
        direct(kind == None ? InsNotice : noticeUpdateSql(setId, setAddr, setMac, result, firm));
    if (!w)
        return DbAnswer::Failed;
    RegisterOutcome oc;
    if (kind == None) {
        for (const QString *v : {&termId, &addr, &d.Vendor, &d.MachineName, &d.MachineType,
                                 &d.VerBoot, &d.VerApli, &d.VerInfo1, &d.VerInfo2, &d.VerInfo3,
                                 &d.TermTypeInfo1, &d.TermTypeInfo2, &d.UserInfo1, &d.UserInfo2})
            w->bind(*v);
        w->bind(int(d.Regist));
        w->bindUtf8(now);
        w->bind(int(idDup));
        w->bind(int(addrDup));
        w->bindUtf8(now);
        w->bindUtf8(now);
        oc = addrDup ? RegisterOutcome::DuplicateAddress
             : idDup ? RegisterOutcome::DuplicateId
                     : RegisterOutcome::Added;
    } else {
        if (setId)
            w->bind(termId);
        if (setAddr)
            w->bind(addr);
        for (const QString *v :
             {&d.Vendor, &d.MachineName, &d.MachineType, &d.VerBoot, &d.VerApli, &d.VerInfo1,
              &d.VerInfo2, &d.VerInfo3, &d.TermTypeInfo1, &d.TermTypeInfo2})
            w->bind(*v);
        if (setMac)
            w->bind(d.UserInfo1);
        w->bind(d.UserInfo2);
        w->bind(int(d.Regist));
        w->bindUtf8(now);
        w->bindUtf8(now);
        w->bind(int(idDup));
        w->bind(int(addrDup));
        if (firm) {
            w->bind(int(verdict));
            w->bindUtf8(now);
        }
        if (result != 0)
            w->bindUtf8(now);
        w->bind(rowId);
        oc = adoptProvisional ? RegisterOutcome::Adopted : RegisterOutcome::Updated;
    }
    bool ok = run(*w);
    w->finish();
    if (ok && idDup)
        ok = markDuplicates(SetIdAlert, termId);
    if (ok && addrDup)
        ok = markDuplicates(SetAddrAlert, addr);
    if (ok && kind == None && idWaits > 0)
        ok = markDuplicates(DropIdWaits, termId);
    if (outcome)
        *outcome = oc;
    if (!ok)
        return DbAnswer::Failed;

    // A new row holding another's ID or address is what forged notices
    // bring in numbers: its lines are counted rather than each written.
    const QString shownId = TrimmedTermId(termId);
    if (oc == RegisterOutcome::Adopted)
        writeLog(RegisterLogKind::TermId, shownId, QString());
    else if (oc == RegisterOutcome::DuplicateId)
        writeLog(RegisterLogKind::TermId, shownId, QString(), true);
    else if (oc == RegisterOutcome::DuplicateAddress)
        writeLog(RegisterLogKind::Address, shownId, DottedIpAddr(d.IPAddr), true);
    if (verdict == FirmCheckState::Mismatch)
        writeLog(RegisterLogKind::FirmMismatch, shownId,
                 FirmCheckLogDetail(firmVer, firmKind == FirmKind::Boot ? d.VerBoot : d.VerApli));
    return DbAnswer::Done;
}

bool CTermDatabase::markDuplicates(const QString &sql, const QString &value)
{
    DirectStatement *q = direct(sql);
    if (!q)
        return false;
    q->bind(value);
    const bool ok = run(*q);
    q->finish();
    return ok;
}
