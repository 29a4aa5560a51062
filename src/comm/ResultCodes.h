#pragma once
// The numbers that travel between the user interface, the communication
// manager, the terminal workers and the daily log, with every text the user
// sees for them: result codes, operation kinds (ResultKind of the register),
// request and completion kinds, worker operations and log numbers.

#include "common/UiLanguage.h"

#include <QString>

#include <cstdint>

// Result of one operation on one terminal.
namespace ResultCode
{
constexpr int Success = 0;
constexpr int PhoneInUse = 1;     // RemoteOpenNak reason 0
constexpr int RemoteMultiple = 2; // RemoteOpenNak reason 1
constexpr int Timeout = 3;        // no answer within the session time-out
constexpr int CommError = 4;
constexpr int FtpConnect = 5; // no account for the model, or no connection
constexpr int FtpTransfer = 6;
constexpr int Cancelled = 7;   // the terminal was never processed
constexpr int FileMissing = 8; // the file to send does not exist
constexpr int OtherFatal = 9;
constexpr int FileCreate = 10; // terminal-initiated requests and initial settings only
constexpr int NoFreeSipAddress = 11;
constexpr int ConfigXml = 12;
} // namespace ResultCode

// Text shown in the terminal list after the operation kind, e.g. "(正常終了)".
// Codes other than 0..9 show the dashed error text.
QString ResultListText(int code, TextFor use = TextFor::File);
// Text of result dialogs and operation-log lines; empty for codes other than 0..12.
QString ResultLongText(int code);

// Operation kinds stored in ResultKind of a terminal record.
namespace OperationKind
{
constexpr int None = 0;
constexpr int TermInfo = 1;
constexpr int ReadSys = 2;
constexpr int ReadUser = 3;
constexpr int ReadDial = 4;
constexpr int WriteSys = 5;
constexpr int WriteUser = 6;
constexpr int WriteDial = 7;
constexpr int WriteBoot = 8;
constexpr int WriteApli = 9;
constexpr int Restart = 10;
constexpr int ForceClose = 11;
constexpr int WriteCommon = 12;
constexpr int TermInfoPending = 13;
constexpr int RemoteWrite = 14;
constexpr int ScheduleFirmWrite = 15;
constexpr int ScheduleSettingsWrite = 16;
constexpr int ScheduleSettingsRead = 17;
constexpr int ScheduleRestart = 18;
constexpr int InitialSettings = 19;
constexpr int Count = 20; // kinds 0..19
} // namespace OperationKind

// Text of an operation kind in the terminal list ("その他　　　 " for unknown kinds).
QString OperationKindText(int kind, TextFor use = TextFor::File);
// The list's result cell: the kind text directly followed by the result's list
// text, except for kinds 0 and 13, which show the kind text alone.
QString ResultColumnText(int kind, int code, TextFor use = TextFor::File);

// Request kinds posted to the communication manager (TaskMessage kind on 0x2901).
namespace RequestKind
{
constexpr int TermInfo = 3;
constexpr int Restart = 6;
constexpr int ForceClose = 8;
constexpr int ReadSys = 10;
constexpr int ReadUser = 12;
constexpr int WriteSys = 14;
constexpr int WriteUser = 16;
constexpr int ReadDial = 18;
constexpr int WriteDial = 20;
constexpr int WriteCommon = 22;
constexpr int WriteBoot = 24;
constexpr int WriteApli = 26;
constexpr int Cancel = 28;
constexpr int ScheduleRestart = 29;
constexpr int ScheduleWriteSettings = 31;
constexpr int ScheduleReadSettings = 33;
constexpr int ScheduleWriteFirm = 35;
constexpr int RemoteWrite = 41; // terminal-initiated update (log number only)
constexpr int Decision = 51;    // the user interface's decision on a terminal request
} // namespace RequestKind

// Completion kinds: the manager answers a request with these.
namespace CompletionKind
{
constexpr int TermInfo = 4;
constexpr int Restart = 7;
constexpr int ForceClose = 9;
constexpr int ReadSys = 11;
constexpr int ReadUser = 13;
constexpr int WriteSys = 15;
constexpr int WriteUser = 17;
constexpr int ReadDial = 19;
constexpr int WriteDial = 21;
constexpr int WriteCommon = 23;
constexpr int WriteBoot = 25;
constexpr int WriteApli = 27;
constexpr int ScheduleRestart = 30;
constexpr int ScheduleWriteSettings = 32;
constexpr int ScheduleReadSettings = 34;
constexpr int ScheduleWriteFirm = 36;
} // namespace CompletionKind

// Operation messages that the manager posts to a terminal worker.
namespace WorkerOp
{
constexpr std::uint32_t ForceClose = 0x4600;
constexpr std::uint32_t Restart = 0x4700;
constexpr std::uint32_t ReadSettings = 0x4800;
constexpr std::uint32_t WriteSettings = 0x4900;
constexpr std::uint32_t WriteBoot = 0x4A00;
constexpr std::uint32_t WriteApli = 0x4B00;
constexpr std::uint32_t RemoteMaintenance = 0x4B10;
constexpr std::uint32_t InitialSettings = 0x4B20;
constexpr std::uint32_t ScheduleWriteSettings = 0x5500;
constexpr std::uint32_t ScheduleReadSettings = 0x5501;
constexpr std::uint32_t ScheduleWriteFirm = 0x5502;
} // namespace WorkerOp

// True for the request kinds that run over terminal workers (even kinds 6..26
// and 29, 31, 33, 35).
bool IsWorkerRequestKind(int requestKind);
// Worker operation of a request kind; 0 when the kind runs no worker (3, 28, unknown).
std::uint32_t WorkerOperationOf(int requestKind);
// Completion kind of a request kind; -1 when it has none (28, unknown).
int CompletionKindOf(int requestKind);
// Operation-log number written when a terminal's operation starts; -1 when the
// kind writes none. Terminal information requests (3) log number 9 per terminal.
int RequestOpeLogNumber(int requestKind);

// Error-log numbers (lines marked Err).
namespace ErrLog
{
constexpr int Success = 0;
constexpr int IpAddressMismatch = 1;
constexpr int TermIdMismatch = 2;
constexpr int OpenRefused = 3; // detail 0 Busy, 1 Remote, 2 NoAnswer
constexpr int Ftp = 4;
constexpr int CommError = 5;
constexpr int Cancelled = 6;
constexpr int FileMissing = 7;
constexpr int Other = 9;
constexpr int FileOpen = 10;
constexpr int NoFreeSipAddress = 11;
constexpr int ConfigXml = 12; // detail text instead of the terminal ID
constexpr int PhoneBook = 13; // detail text instead of the terminal ID
// A firmware written with a restart: the terminal's next notice reported
// another version, or no notice came in time (detail: the versions).
constexpr int FirmMismatch = 14;
constexpr int FirmNoAnswer = 15;
} // namespace ErrLog

// Refusal details of error number 3.
namespace OpenRefusal
{
constexpr int Busy = 0;
constexpr int Remote = 1;
constexpr int NoAnswer = 2;
} // namespace OpenRefusal

// Operation-log numbers (lines marked Ope).
namespace OpeLog
{
constexpr int ReadSys = 1;
constexpr int ReadUser = 2;
constexpr int ReadDial = 3;
constexpr int WriteSys = 4;
constexpr int WriteUser = 5;
constexpr int WriteDial = 6;
constexpr int WriteBoot = 7;
constexpr int WriteApli = 8;
constexpr int TermInfo = 9;
constexpr int Restart = 10;
constexpr int ForceClose = 11;
constexpr int Cancel = 12;
constexpr int WriteCommon = 13;
constexpr int RemoteWrite = 14;
constexpr int FirmWrite = 15;
constexpr int SettingsWrite = 16;
constexpr int SettingsRead = 17;
constexpr int TermRestart = 18;
constexpr int SettingsEdit = 19;
constexpr int CommonEdit = 20;
constexpr int InitialSettings = 21;
constexpr int InitialSettingsEnd = 22;
} // namespace OpeLog

// Text of an error-log number ("その他のエラー" for unlisted numbers).
QString ErrLogText(int number);
// Text of an operation-log number ("その他の操作" for unlisted numbers).
QString OpeLogText(int number);
// Detail written after the terminal ID for error number 3 ("unknown" for other values).
QString OpenRefusalText(int detail);

// How a terminal's result is logged.
struct ResultLogEntry {
    bool errorLine = false; // false: an operation line with the result's long text
    int number = 0;         // error-log number when errorLine
    int detailCode = 0;     // refusal detail for number 3
    QString detailText;     // detail text for number 4
};

// Codes 0 and 8 are logged as operation lines; every other code as an error
// line with the number and detail of the result-to-log table (codes outside
// it log number 9 without detail).
ResultLogEntry ResultLogMapping(int resultCode);
// The error-log number and detail of a result code by the table alone
// (8 gives number 7, the "file missing" error).
ResultLogEntry ResultErrLogMapping(int resultCode);
