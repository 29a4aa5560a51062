// The one-row tables: system settings, list conditions, the ID range.
#include "register/TermDatabaseInternal.h"

#include <QSqlRecord>

using namespace TermDatabaseInternal;

namespace
{

const QString SelConfig =
    QStringLiteral("SELECT * FROM ConfigInfo WHERE ID IS NOT NULL  ORDER BY ID ASC");
const QString SelListCond =
    QStringLiteral("SELECT * FROM ListCondInfo WHERE ID IS NOT NULL  ORDER BY ID ASC");
const QString SelInit = QStringLiteral("SELECT * FROM InitInfo");

} // namespace

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
