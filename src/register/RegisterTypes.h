#pragma once
// Records of the terminal register and the small interfaces its operations
// report through: the terminal entry the list shows, the full terminal
// record, the registration data of a terminal's notice, the system settings,
// the items of add/delete, the answer codes, and the stored forms of terminal
// IDs and addresses.

#include <QDateTime>
#include <QString>

#include <cstdint>

// Answers of every register operation.
namespace DbAnswer
{
constexpr int Done = 0;
constexpr int Failed = 1;  // a row couldn't be changed, or a database error was reported
constexpr int NoRow = 2;   // no matching row
constexpr int NotOpen = 9; // the database isn't open
constexpr int MissingArg = 100;
} // namespace DbAnswer

// TermEntryType values.
namespace TermEntryKind
{
constexpr std::int32_t Provisional = 0; // "仮登録": waiting for its terminal to register
constexpr std::int32_t InOperation = 1; // "運用中"
} // namespace TermEntryKind

// One TermInfo row as the list reads it. The terminal ID has its leading
// blanks removed; IPAddr is the stored zero-padded text. A NULL date reads as
// an invalid QDateTime.
struct TermEntry {
    std::int32_t ID = 0;
    QString TermID;
    QString IPAddr;
    QString Vendor;
    QString MachineName;
    QString MachineType;
    QString VerBoot;
    QString VerApli;
    QString UserInfo1; // MAC address
    QString UserInfo2; // user information
    std::int32_t Regist = 0;
    QDateTime EntryDate;
    std::int32_t TermIDAlert = 0;
    std::int32_t IPAddrAlert = 0;
    std::int32_t TermEntryType = 0;
    std::int32_t ResultKind = 0;
    std::int32_t ResultCode = 0;
    QDateTime ResultDate;
    QDateTime LastNotice; // invalid: no notice since the column exists
    std::int32_t FirmCheck = 0;
};

// FirmCheck values: the check of a firmware written with a restart, decided
// by the terminal's next notice.
namespace FirmCheckState
{
constexpr std::int32_t None = 0;     // nothing pending, or never written
constexpr std::int32_t Waiting = 1;  // written; waiting for the notice
constexpr std::int32_t Verified = 2; // the notice reports the written version
constexpr std::int32_t Mismatch = 3; // it reports another one
constexpr std::int32_t NoAnswer = 4; // no notice within the wait
constexpr std::int32_t Count = 5;
} // namespace FirmCheckState

// FirmCheckKind values: which version the notice is compared with.
namespace FirmKind
{
constexpr std::int32_t Boot = 1;
constexpr std::int32_t Apli = 2;
} // namespace FirmKind

// Every column of a TermInfo row (get by MAC fills all of them; get by
// terminal ID fills ID, TermID, IPAddr, UserInfo1 and MachineName).
struct TermRecord : TermEntry {
    QString Info03;
    QString Info04;
    QString VerInfo1;
    QString VerInfo2;
    QString VerInfo3;
    QString TermTypeInfo1;
    QString TermTypeInfo2;
    QDateTime FirmCheckDate; // when the wait began, or when it was decided
    QString FirmCheckVer;    // the version written
    std::int32_t FirmCheckKind = 0;
};

// What the communication side hands over for one terminal notice.
struct RegistrationData {
    QString TermID;           // as received; the update converts it to the stored form
    std::uint32_t IPAddr = 0; // IPv4, first octet in the lowest byte
    std::int32_t Regist = 0;
    QString Vendor;
    QString MachineName;
    QString MachineType;
    QString TermTypeInfo1;
    QString TermTypeInfo2;
    QString VerBoot;
    QString VerApli;
    QString VerInfo1;
    QString VerInfo2;
    QString VerInfo3;
    QString UserInfo1; // MAC address
    QString UserInfo2; // user information
};

// How a register update ended.
enum class RegisterOutcome {
    Updated,         // a row with the MAC address existed
    Adopted,         // the one provisional row with the terminal ID was taken over
    Added,           // a new row, no duplicate
    DuplicateId,     // a new row whose terminal ID another row holds too
    DuplicateAddress, // a new row whose address another row holds too (wins over DuplicateId)
    Refused           // no row: the caller did not let the notice add one
};

// The system settings object: the ConfigInfo values (all 0 and empty until read).
struct SystemSettings {
    std::int32_t UDPPort = 0;
    std::int32_t FTPMode = 0;  // non-zero passive
    std::int32_t EntryInt = 0; // hours, 0..255
    QString EditerPath;
    std::int32_t HistoryKeep = 0; // versions kept per settings file, 1..999
    std::int32_t FirmCheckWait = 900; // seconds a firmware check waits for the notice
    // Terminals that notices from one source address may add a minute
    // (1..65535); a stored 0 reads as the default.
    std::int32_t NewTermRate = 0;
};

// Versions kept per settings file when the register holds no value.
constexpr std::int32_t DefaultHistoryKeep = 50;
// Generous for a site's boot storm behind one router; the storm benchmark
// measures it.
constexpr std::int32_t DefaultNewTermRate = 1000;

// The editor used when the stored editor path is empty: the desktop's
// opener, looked up on the PATH when it is started.
inline const char *const DefaultEditorPath = "xdg-open";

// The InitInfo row (range of initial settings).
struct InitInfo {
    std::int32_t ID = 0;
    QString StartNo;
    std::int32_t SetRange = 0;
};

// One item of add terminals (TermID) or delete terminals (ID, TermID for the
// caller's summary); result is filled per item: 0 done, 1 not updatable,
// 2 empty ID / no row, 3 already registered.
struct TermItem {
    std::int32_t ID = 0;
    QString TermID;
    int result = 0;
};

namespace ItemResult
{
constexpr int Done = 0;
constexpr int NotUpdatable = 1;
constexpr int EmptyOrMissing = 2;
constexpr int AlreadyRegistered = 3;
} // namespace ItemResult

// Receives the error-log lines of the register update. Kind 1 carries the
// terminal ID (adopted row, duplicate ID); kind 2 also the dotted address
// (duplicate address); kinds 3 and 4 (a firmware check that found another
// version, or no notice) the versions as text in place of the address.
// The terminal ID is given without leading blanks.
class IRegisterLog
{
public:
    virtual ~IRegisterLog() = default;
    virtual void errorLog(int kind, const QString &termId, const QString &address) = 0;
    // A line that notices from a stranger can bring in numbers (a new row
    // with another's ID or address); by default written like any other.
    virtual void repeatedErrorLog(int kind, const QString &termId, const QString &address)
    {
        errorLog(kind, termId, address);
    }
};

namespace RegisterLogKind
{
constexpr int TermId = 1;
constexpr int Address = 2;
constexpr int FirmMismatch = 3;
constexpr int FirmNoAnswer = 4;
} // namespace RegisterLogKind

// Progress of add and delete: (0, total) first, then (done, total) after
// every step-th item and after the last. yieldOnce() runs after each item so
// the window stays responsive; by default it processes pending events.
class IRegisterProgress
{
public:
    virtual ~IRegisterProgress() = default;
    virtual void progress(int done, int total) = 0;
    virtual void yieldOnce();
};

// Items between two progress reports: total / 100, at least 1, at most 250.
int ProgressStep(int total);

// Stored forms. A terminal ID is kept right-aligned in 64 characters (the
// rightmost 64 when longer) so that text order is numeric order; an address
// is kept as "%03d.%03d.%03d.%03d".
QString StoredTermId(const QString &termId);
QString TrimmedTermId(const QString &stored); // leading blanks removed
QString StoredIpAddr(std::uint32_t ipAddr);
QString DottedIpAddr(std::uint32_t ipAddr); // as inet_ntoa gives it
// Every "'" doubled ("''"); no enclosing quotes.
QString QuoteText(const QString &text);

// The outcome of a waiting firmware check on the terminal's notice: Verified
// when the reported version of the written kind (blanks aside) is the one
// written, else Mismatch.
std::int32_t FirmCheckVerdict(std::int32_t kind, const QString &written, const QString &verBoot,
                              const QString &verApli);
// The detail of a firmware check's log line: the written version, and the
// reported one when there was a notice.
QString FirmCheckLogDetail(const QString &written);
QString FirmCheckLogDetail(const QString &written, const QString &reported);
