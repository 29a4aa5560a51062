#pragma once
// The register database: the file "KELMNGPC_V11.MDB" in the program folder
// (an SQLite database), its preparation at start (old file removed,
// compaction, exclusive open) and every read and change of its tables.
// Main thread only; one named QSqlDatabase connection per object.
//
// Every operation answers DbAnswer codes: 0 done, 1 failed (a database error
// was shown under "DB Error"), 2 no matching row, 9 not open, 100 missing
// argument.

#include "register/ListCond.h"
#include "register/RegisterTypes.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

class QSqlQuery;
class DirectStatement;

class CTermDatabase
{
public:
    static constexpr const char *FileName = "KELMNGPC_V11.MDB";
    static constexpr const char *OldFileName = "KELMNGPC.MDB";
    static constexpr const char *CompactPrefix = "_Comp_";

    // folder: the program folder (ending in '/' or not); empty means
    // ProcessValues::programFolder().
    explicit CTermDatabase(const QString &folder = QString());
    ~CTermDatabase();
    CTermDatabase(const CTermDatabase &) = delete;
    CTermDatabase &operator=(const CTermDatabase &) = delete;

    QString filePath() const;

    // Start-up: deletes the old file, creates the file when absent, compacts
    // it into "_Comp_KELMNGPC_V11.MDB" and swaps. Answers 1 done, 0 failed
    // (the compaction message shown, ProcessValues::startupAbort set).
    int prepare();
    // Opens the file exclusively (read-write); answers 1, or 0 after showing
    // the error under "DB Error" and setting ProcessValues::startupAbort.
    int open();
    bool isOpen() const;
    void close();
    // prepare() and, when it succeeded, open(); true when open.
    bool startUp();
    // The lay-out of a new program folder: creates the file with its tables
    // and one-row settings when there is none. True when the file exists.
    bool createIfAbsent();

    // Where the register update writes its error-log lines (may be null).
    void setLogWriter(IRegisterLog *log) { m_log = log; }
    // The clock behind every "now" written into rows (local time); tests
    // set a fixed one. Null restores the system clock.
    void setClock(std::function<QDateTime()> now);

    // ---- TermInfo ----
    // Register update after a terminal's notice: 0, 1, 9.
    int registerUpdate(const RegistrationData &data, RegisterOutcome *outcome = nullptr);
    // A burst of register updates in one transaction, each with the same
    // semantics as registerUpdate(). answers (if given) receives one answer
    // per item; the result is 9 when not open, 1 when any item failed, else 0.
    // mayAdd (if given) is asked, with the item's index, before an item adds
    // a row; false leaves the register as it is for that item (answer 0,
    // outcome Refused).
    int registerUpdates(const std::vector<RegistrationData> &batch,
                        std::vector<int> *answers = nullptr,
                        std::vector<RegisterOutcome> *outcomes = nullptr,
                        const std::function<bool(std::size_t)> &mayAdd = {});
    // Explicit transaction around a loop of single operations (nestable:
    // only the outermost pair begins and commits). A failed commit is shown
    // and rolled back and answers false. The register update's log lines of
    // a transaction are written only once it has committed.
    bool beginTransaction();
    bool commitTransaction();

    // Appends one entry per row of the list query built from cond.
    int readList(const ListCondInfo &cond, std::vector<TermEntry> &list);
    // Runs an already built list query (Jet text) and appends its rows.
    int readListSql(const QString &jetSql, std::vector<TermEntry> &list);

    int setResultByAddress(const QString &termId, std::uint32_t ipAddr, std::int32_t kind,
                           std::int32_t code);
    int setResultByMac(const QString &mac, std::int32_t kind, std::int32_t code);
    int getByMac(const QString &mac, TermRecord &record);
    int getByTermId(const QString &termId, TermRecord &record);

    // ---- firmware checks and silence ----
    // A firmware of the kind (FirmKind) written with a restart: the row (by
    // MAC address, or by address when the MAC is empty, as results are set)
    // waits for the terminal's next notice to report `version`, from now on.
    // An empty version (a file without one) can't be checked: the row's
    // check is cleared instead. Answers 0, 1, 2 (no row), 9.
    // A notice that came since `ended` (the terminal's session end, when
    // known) was the one after the restart: it decides the check at once.
    int startFirmCheck(const QString &mac, std::uint32_t ipAddr, std::int32_t kind,
                       const QString &version, const QDateTime &ended = {});
    // Waits that began at or before startedBefore end without answer; their
    // log lines follow the commit. *ended: how many. Answers 0, 1, 9.
    int expireFirmChecks(const QDateTime &startedBefore, int *ended = nullptr);
    // When the oldest running wait began; invalid when none runs.
    QDateTime oldestFirmCheck();
    // The start of the silence by the clock and the stored refresh interval
    // (invalid when the interval is 0 or can't be read).
    QDateTime silentSince();
    // Silent terminals (see SilentCondition). Answers 0, 1, 9.
    int countSilent(qint64 &count);
    // Runs one aggregate query (SQLite text, not translated; values bound in
    // order) and appends its rows. Answers 0, 1 (error shown), 9.
    int aggregate(const QString &sql, const QVariantList &values, std::vector<QVariantList> &rows);
    // The clock behind every "now" of the register.
    QDateTime now() const;

    // Adds provisional rows; item results in items. Answers 0, 1 (some item
    // is not updatable: its statement or its step's commit failed) or 9.
    int addTerminals(std::vector<TermItem> &items, IRegisterProgress *progress = nullptr);
    // Deletes by record number; answers 0, 1 (some item not updatable, as
    // for add: its row is still there), 2 (some row was gone) or 9.
    int deleteTerminals(std::vector<TermItem> &items, IRegisterProgress *progress = nullptr);

    // Stored terminal IDs (with their blanks) between the start number in
    // stored form and the range's upper bound, descending. Answers 0, 2 (no
    // row), 9, 100 (ids null or start number empty or range < 1).
    int termIdsInRange(const QString &startNo, int setRange, QStringList *ids);
    // The upper bound: "%60s%4s" of the start number's prefix (all but its
    // last 4 characters) and the last number "%04d" (suffix + range - 1).
    static QString RangeUpperBound(const QString &startNo, int setRange);
    // Up to 65535 rows in ascending terminal-ID order: the slot at the row's
    // position receives the number of the ID's last nine characters when the
    // ID is "0" or converts to a non-zero number; other slots are left as
    // they are. numbers is grown to the row count. Answers 0, 2 (no row), 9, 100.
    int allTermIdNumbers(std::vector<std::int64_t> *numbers, int *count);

    // ---- ConfigInfo ----
    int readSystemSettings(SystemSettings &settings);
    // An empty editor path is first replaced by DefaultEditorPath.
    int writeSystemSettings(SystemSettings &settings);

    // ---- ListCondInfo ----
    int readListCond(ListCondInfo &cond);
    int writeListCond(const ListCondInfo &cond);

    // ---- InitInfo ----
    // Answers 0 (read), 2 (no row: the range is not configured), 1, 9.
    int readInitInfo(InitInfo &info);
    // Edits the first row or adds one.
    int writeInitInfo(const InitInfo &info);

    // The database error text of the last failed operation (also shown).
    QString lastError() const { return m_lastError; }

private:
    struct Statements;
    QSqlQuery &stmt(const QString &jetSql);
    bool exec(QSqlQuery &q);
    // The notice path's statements, run on SQLite itself (null, and the
    // failure told, when the driver is not SQLite's).
    DirectStatement *direct(const QString &jetSql);
    // One step; false (and the error told) on failure. *row: a row came.
    bool run(DirectStatement &st, bool *row = nullptr);
    // Runs an UPDATE/INSERT/DELETE: 0, or 1 after the error was shown.
    int runChange(QSqlQuery &u);
    // The record number of the first row a one-value look-up finds: 0, 1
    // or 2 (no row).
    int firstRow(const QString &lookup, const QString &value, qint64 &id);
    int reportError(const QString &description);
    static bool readListDirect(void *handle, const QString &sql, std::vector<TermEntry> &list,
                               QString &error);
    int updateOne(const RegistrationData &data, RegisterOutcome *outcome,
                  const std::function<bool()> &mayAdd = {});
    bool markDuplicates(const QString &sql, const QString &value);
    // A register-update log line: written now, or at the commit of the open
    // transaction (dropped when it rolls back). repeated: a line that a
    // stranger's notices can bring at will (IRegisterLog::repeatedErrorLog).
    void writeLog(int kind, const QString &termId, const QString &address, bool repeated = false);
    bool createFile(const QString &path);
    int compactionFailed();

    QString m_folder;
    QString m_connection;
    QString m_heldKey;
    QSqlDatabase m_db;
    IRegisterLog *m_log = nullptr;
    std::function<QDateTime()> m_now;
    QString nowText() const;
    mutable qint64 m_nowSecs = -1;
    mutable QString m_nowText;
    std::unique_ptr<Statements> m_stmts;
    int m_txDepth = 0;
    struct DeferredLog {
        int kind;
        QString termId;
        QString address;
        bool repeated;
    };
    std::vector<DeferredLog> m_deferredLog;
    QString m_lastError;
};

// The SQLite text the list read prepares for a Jet list query: translated,
// and reading only the columns a list entry carries.
QString ListReadSql(const QString &jetSql);
