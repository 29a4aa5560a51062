#pragma once
// The remote-maintenance session of one terminal worker: open the session by
// UDP, let the worker move the files, close it (restarting the terminal where
// asked) and report one result code to the communication manager.
//
// A plain state machine: the worker turns its thread messages into calls of
// the event methods below and implements ISessionHost for every effect. The
// session owns no thread, socket, timer or clock, so every path can be
// driven directly.
//
// The worker's part: 0x4400 -> onTarget, 0x4401 -> onRemoteTarget, an
// operation message -> onOperation(*sessionEventForMessage(msg)), 0x4C00 ->
// Udp::parseIncoming and onOpenAck / onOpenNak(reason) / onCloseAck, timer
// kind 39 -> onTimeout(id), the end of its FTP step -> onTransferDone(result).
// The pauses around the FTP step (200 ms before connecting, 300 ms after)
// are the worker's; the session has no clock.

#include "comm/FtpSettings.h"
#include "comm/OpLog.h"
#include "comm/ResultCodes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// Messages of the terminal workers and the replies they post back.
namespace WorkerMsg
{
constexpr std::uint32_t Target = 0x4400; // lParam: SessionTarget of a user/schedule request
constexpr std::uint32_t RemoteTarget =
    0x4401; // lParam: SessionTarget of a terminal-initiated request
constexpr std::uint32_t RenewSession = 0x4410; // make a fresh session record
constexpr std::uint32_t Datagram = 0x4C00;     // lParam: a session answer datagram
constexpr std::uint32_t SessionSend = 0x3400;  // to the manager: send a session datagram
constexpr std::uint32_t End = 0x3500;          // end the thread
constexpr std::uint32_t OperationLog = 0x5340; // to the manager: write an operation log line
constexpr std::uint32_t ErrorLog = 0x5341;     // to the manager: write an error log line

// Operation messages (manager -> worker); the same numbers name the operations.
constexpr std::uint32_t ForceClose = WorkerOp::ForceClose;
constexpr std::uint32_t Restart = WorkerOp::Restart;
constexpr std::uint32_t ReadSettings = WorkerOp::ReadSettings;
constexpr std::uint32_t WriteSettings = WorkerOp::WriteSettings;
constexpr std::uint32_t WriteBoot = WorkerOp::WriteBoot;
constexpr std::uint32_t WriteApli = WorkerOp::WriteApli;
constexpr std::uint32_t RemoteMaintenanceMsg = WorkerOp::RemoteMaintenance;
constexpr std::uint32_t InitialSettingsMsg = WorkerOp::InitialSettings;
constexpr std::uint32_t SchedWriteSettings = WorkerOp::ScheduleWriteSettings;
constexpr std::uint32_t SchedReadSettings = WorkerOp::ScheduleReadSettings;
constexpr std::uint32_t SchedWriteFirmware = WorkerOp::ScheduleWriteFirm;

// Operation codes that differ from their message.
constexpr std::uint32_t RemoteMaintenance = 0x5320;
constexpr std::uint32_t InitialSettings = 0x5600;

// Replies (worker -> manager; wParam slot, lParam result code).
constexpr std::uint32_t ForceCloseDone = 0x4D00;
constexpr std::uint32_t RestartDone = 0x4E00;
constexpr std::uint32_t ReadSettingsDone = 0x4F00;
constexpr std::uint32_t WriteSettingsDone = 0x5000;
constexpr std::uint32_t WriteBootDone = 0x5100;
constexpr std::uint32_t WriteApliDone = 0x5200;
constexpr std::uint32_t RemoteMaintenanceDone = 0x5330;
constexpr std::uint32_t InitialSettingsDone = 0x5610;
constexpr std::uint32_t SchedWriteSettingsDone = 0x5400;
constexpr std::uint32_t SchedReadSettingsDone = 0x5401;
constexpr std::uint32_t SchedWriteFirmwareDone = 0x5402;
} // namespace WorkerMsg

// Session events, with the values of the system's vocabulary.
namespace SessionEvent
{
constexpr std::uint32_t TargetGiven = 0x10;
constexpr std::uint32_t RemoteTargetGiven = 0x11;
constexpr std::uint32_t ForceClose = 0x100010;
constexpr std::uint32_t Restart = 0x100020;
constexpr std::uint32_t ReadSettings = 0x100030;
constexpr std::uint32_t WriteSettings = 0x100040;
constexpr std::uint32_t WriteBoot = 0x100050;
constexpr std::uint32_t WriteApli = 0x100060;
constexpr std::uint32_t RemoteMaintenance = 0x100100;
constexpr std::uint32_t InitialSettings = 0x100110;
constexpr std::uint32_t SchedWriteSettings = 0x101000;
constexpr std::uint32_t SchedReadSettings = 0x102000;
constexpr std::uint32_t SchedWriteFirmware = 0x103000;
constexpr std::uint32_t OpenAck = 0x200010;
constexpr std::uint32_t OpenNak = 0x200011;
constexpr std::uint32_t CloseAck = 0x200020;
// The worker's FTP step has finished (only while a transfer runs).
constexpr std::uint32_t TransferDone = 0x300000;
constexpr std::uint32_t TimeOut = 0x80000000;
} // namespace SessionEvent

// Session states.
enum class SessionState : std::uint32_t {
    Preparing = 0,       // new record, no target yet
    Idle = 0x10000,      // target known, no session open
    OpenWait = 0x20000,  // RemoteOpenReq sent (or, after the Ack, files moving)
    CloseWait = 0x30000, // RemoteCloseReq sent
};

// The event of a worker's operation message (ForceClose..SchedWriteFirmware),
// or nullopt for any other message.
std::optional<std::uint32_t> sessionEventForMessage(std::uint32_t workerMsg);
// The event of a session answer datagram code (0x8030, 0x8038, 0x8040).
std::optional<std::uint32_t> sessionEventForDatagram(std::uint16_t code);

// One operation started from idle.
struct SessionOperation {
    std::uint32_t operation = 0; // WorkerMsg operation code
    std::uint32_t reply = 0;     // reply message to the manager
    bool checkLocalFile = false; // the local file must exist before opening
};
// The operation an event starts, or nullopt when the event is no operation.
std::optional<SessionOperation> operationForEvent(std::uint32_t event);

// Names for traces ("準備中", "保守起動応答待ち", "RemoteOpenAck受信", ...).
QString sessionStateName(std::uint32_t state);
QString sessionEventName(std::uint32_t event);

// Timer of a worker slot and the length of every wait (ticks of 100 ms).
constexpr std::uint16_t sessionTimerId(int slot)
{
    return std::uint16_t(slot * 256 + 1);
}
constexpr int SessionTimeoutTicks = 900;

// One local file and the name it has on the terminal.
struct FilePair {
    QString localPath;
    QString remoteName;
    bool operator==(const FilePair &) const = default;
};

// What a worker is told about its terminal (messages 0x4400 and 0x4401).
// One record serves both: a user or schedule request fills the single-file
// fields, the schedule file list and restartAfterWrite; a terminal-initiated
// request fills termId, up to three files and restartAfterRemote.
struct SessionTarget {
    std::uint32_t address = 0; // terminal IPv4, host order
    std::uint16_t port = 0;    // where session datagrams go
    QString localPath;         // single-file operations
    QString remoteName;
    int ftpMode = 1; // 1 passive, 0 active
    QString termId;
    QString model;                   // key of the FTP account
    bool restartAfterWrite = false;  // schedule: restart after a successful write
    bool restartAfterRemote = false; // terminal-initiated: restart after the update
    QList<FilePair> files;           // schedule: up to 6; terminal-initiated: up to 3

    bool operator==(const SessionTarget &) const = default;
};

// Everything the worker needs to run the FTP step of an operation.
struct TransferJob {
    std::uint32_t operation = 0; // WorkerMsg operation code
    SessionTarget target;
    FtpAccount account;
};

// The effects of a session, implemented by its worker.
class ISessionHost
{
public:
    virtual ~ISessionHost() = default;

    // Hands a datagram to the manager for sending (message 0x3400). false
    // when it could not be handed over.
    virtual bool sendDatagram(std::uint32_t address, std::uint16_t port,
                              const QByteArray &datagram) = 0;
    // Timer service: start (kind 37) or stop (kind 38) the worker's timer.
    virtual void startTimer(std::uint16_t timerId, int ticks) = 0;
    virtual void stopTimer(std::uint16_t timerId) = 0;
    virtual bool localFileExists(const QString &path) = 0;
    // The FTP account of a terminal model (FtpAccountTable::lookup).
    virtual std::optional<FtpAccount> lookupAccount(const QString &model) = 0;
    // Starts the FTP step. The worker answers with onTransferDone(result),
    // either before returning from here or later.
    virtual void startTransfer(const TransferJob &job) = 0;
    // Closes the FTP connection if one is open.
    virtual void closeFtp() = 0;
    // The reply of the operation to the manager (wParam slot, lParam result).
    virtual void reportResult(std::uint32_t replyMsg, int result) = 0;
    // An error log line for the manager to write (message 0x5341).
    virtual void postErrorLog(const LogRecord &record) = 0;
    // A trace of what the session did; optional.
    virtual void trace(const QString &) {}
};

class MaintenanceSession
{
public:
    MaintenanceSession(ISessionHost &host, int slot);

    // ---- events ----
    void onTarget(const SessionTarget &target);       // 0x10
    void onRemoteTarget(const SessionTarget &target); // 0x11
    // An operation event (SessionEvent::ForceClose .. SchedWriteFirmware).
    void onOperation(std::uint32_t event);
    void onOpenAck();
    void onOpenNak(std::uint16_t reason);
    void onCloseAck();
    // Timer expiry; a time-out of another timer id is ignored.
    void onTimeout(std::uint16_t timerId);
    // The FTP step has finished with result 0, 5, 6 or 8.
    void onTransferDone(int result);
    // Any event by number (unknown events are ignored). The target, reason,
    // timer id or result come from the arguments that the event uses.
    void handle(std::uint32_t event, const SessionTarget *target = nullptr,
                std::uint16_t nakReason = 0, std::uint16_t timerId = 0, int result = 0);

    // ---- state ----
    SessionState state() const { return m_state; }
    bool transferRunning() const { return m_transferRunning; }
    bool timerRunning() const { return m_timerRunning; }
    int result() const { return m_result; }
    std::uint32_t operation() const { return m_operation; }
    std::uint32_t replyMessage() const { return m_reply; }
    std::uint16_t timerId() const { return m_timerId; }
    int slot() const { return m_slot; }
    const SessionTarget &target() const { return m_target; }
    const FtpAccount &account() const { return m_account; }

    // The restart flag of the close after the FTP step: only after success,
    // and only for the operations that leave new firmware or settings behind.
    static bool restartAfterTransfer(std::uint32_t operation, int result,
                                     const SessionTarget &target);

private:
    void setTarget(const SessionTarget &target, bool remote);
    void startOperation(std::uint32_t event);
    void openAck();
    void openNak(std::uint16_t reason);
    void openTimeout();
    void closeDone(bool timedOut);
    void transferDone(int result);
    // Sends RemoteCloseReq and waits for its answer; false if it could not be sent.
    bool sendClose(bool restart);
    bool sendOpen();
    void startWait();
    void stopWait();
    // Reports the result, closes FTP and goes idle.
    void finish();
    void enter(SessionState s);

    ISessionHost &m_host;
    int m_slot;
    std::uint16_t m_timerId;
    SessionState m_state = SessionState::Preparing;
    SessionTarget m_target;
    FtpAccount m_account;
    std::uint32_t m_operation = 0;
    std::uint32_t m_reply = 0;
    int m_result = 0;
    bool m_timerRunning = false;
    bool m_transferRunning = false;
    bool m_inTransferCall = false;
    std::optional<int> m_earlyTransferResult;
};
