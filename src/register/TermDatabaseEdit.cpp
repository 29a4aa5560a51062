// Adding and deleting terminals by hand, and their terminal IDs as numbers.
#include "register/TermDatabaseInternal.h"

#include "register/JetSql.h"

#include <QSqlError>

#include <cstdlib>

using namespace TermDatabaseInternal;

namespace
{

// Look-ups that only need the record number of the first matching row.
const QString FindForAdd =
    QStringLiteral("SELECT ID FROM TermInfo WHERE ID IS NOT NULL AND TermID=? ORDER BY ID ASC");
const QString FindById = QStringLiteral("SELECT ID FROM TermInfo WHERE (ID=?) ORDER BY ID ASC");

const QString SelAllIds = QStringLiteral("SELECT TOP 65535 * FROM TermInfo ORDER BY TermID ASC");

const QString InsProvisional =
    QStringLiteral("INSERT INTO TermInfo (TermID, EntryDate, ResultDate) VALUES (?,?,?)");
const QString DelById = QStringLiteral("DELETE FROM TermInfo WHERE ID=?");

// atol: leading blanks, optional sign, digits.
std::int64_t atolLike(const QString &text)
{
    const QByteArray b = text.toLatin1();
    return std::strtoll(b.constData(), nullptr, 10);
}

} // namespace

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
