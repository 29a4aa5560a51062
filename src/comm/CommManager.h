#pragma once
// The decisions of the communication manager, without threads or sockets:
// which request runs, which worker gets which terminal, the remote file
// names, progress and completion, the log lines per result, and the queue of
// terminal-initiated requests over the standing request workers. The
// manager thread (CCommMgrThread) feeds it messages and implements ICommHost
// for every effect.

#include "comm/CommPayloads.h"
#include "comm/MaintenanceSession.h"
#include "comm/OpLog.h"

#include <QByteArray>
#include <QDateTime>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

enum class WorkerPool { User, Request };

class ICommHost
{
public:
    virtual ~ICommHost() = default;

    // Msg::Task to the user interface.
    virtual void postToView(std::unique_ptr<TaskMessage> message) = 0;
    // Tells the view that a terminal-initiated request was queued (0x2905).
    virtual void postRequestQueued() = 0;
    // Progress (kind 1) to a request's progress window.
    virtual void postProgress(ThreadId target, int done, int total) = 0;

    // Starts user worker `slot`; false when it can't be started.
    virtual bool startUserWorker(int slot) = 0;
    // Ends user worker `slot` (0x3500).
    virtual void endUserWorker(int slot) = 0;
    virtual void postToWorker(WorkerPool pool, int slot, std::uint32_t msg,
                              std::unique_ptr<Payload> payload = {}) = 0;

    // Sends a datagram; the sender keeps SendDelay between datagrams.
    virtual void send(std::uint32_t address, std::uint16_t port, const QByteArray &datagram) = 0;
    // Sends the answer to a terminal request, which waits behind session
    // datagrams, one per address (SendQueue).
    virtual void sendAnswer(const TermRequestPayload &request, const QByteArray &datagram)
    {
        send(request.sourceAddress, request.sourcePort, datagram);
    }
    // The next step of a terminal information request after a pause.
    virtual void scheduleTermInfoStep(int delayMs) = 0;
    // Posts 0x5310 to the manager itself.
    virtual void scheduleDispatch() = 0;

    virtual void writeOperationLog(const LogRecord &record) = 0;
    virtual void writeErrorLog(const LogRecord &record) = 0;
    // An error a stranger can repeat at will: one line a minute with a count.
    virtual void writeRepeatedErrorLog(const char *kind, const LogRecord &record)
    {
        (void)kind;
        writeErrorLog(record);
    }

    virtual QDateTime now() = 0;
    // Last-write time of a local file, nullopt when it does not exist.
    virtual std::optional<QDateTime> fileLastWrite(const QString &path) = 0;
    // Re-reads the FTP time-outs at the start of every request.
    virtual void reloadFtpTimeouts() = 0;
    // The operator-busy flag of the user interface.
    virtual bool operatorBusy() = 0;
    // Number of busy request workers, for the main window's close rule.
    virtual void setRemoteUpdateCount(int busy) = 0;
};

// The decision on a terminal-initiated request: which files the terminal
// needs. Supplied by the update-decision side; without one every request is
// answered "nothing to send" (or "busy").
class IUpdateDecider
{
public:
    virtual ~IUpdateDecider() = default;
    // Fills files and decision. busy: a user request runs or the operator
    // works in a menu (the decision is then 2).
    virtual void decide(TermRequestPayload &request, bool busy) = 0;
    // Before an initial-settings session: assign the terminal ID and make
    // its settings file (files filled). false: no session is run.
    virtual bool prepareInitialSettings(TermRequestPayload &request) = 0;
};

class CommManagerCore
{
public:
    static constexpr int UserWorkers = 10;
    static constexpr int RequestWorkers = 5;
    static constexpr int TermInfoPauseMs = 200;
    // Terminal requests being decided: one per source address, at most this
    // many in all; a request whose decision never came back is forgotten
    // after DecidingSeconds.
    static constexpr int MaxDeciding = 32;
    static constexpr int DecidingSeconds = 30;
    // Accepted requests waiting for a request worker.
    static constexpr int MaxQueued = 32;

    explicit CommManagerCore(ICommHost &host);
    ~CommManagerCore();

    void setDecider(IUpdateDecider *decider) { m_decider = decider; }
    // Whether the 5 standing request workers are running.
    void setRequestWorkersRunning(bool running) { m_requestWorkersRunning = running; }

    // ---- settings ----
    void start(const CommSettings &settings);
    void settingsChanged(int ftpMode, int entryInt);
    int udpPort() const { return m_udpPort; }
    int ftpMode() const { return m_ftpMode; }
    int entryInt() const { return m_entryInt; }

    // ---- requests from the user interface and schedules (Msg::Task) ----
    void onTask(std::unique_ptr<TaskMessage> message);
    // 0x4501
    void onTermInfoStep();
    // A user worker's reply: its slot, reply message and result code.
    void onUserWorkerDone(int slot, std::uint32_t replyMsg, int result);

    // ---- datagrams ----
    // A session answer from the socket: routed to the worker serving the address.
    void onSessionAnswer(std::uint32_t source, const QByteArray &datagram);

    // ---- terminal-initiated requests ----
    void onTermRequest(std::unique_ptr<TermRequestPayload> request); // 0x5300
    void onDispatch();                                               // 0x5310
    void onRequestWorkerDone(int slot, int result);                  // 0x5330, 0x5610
    // Hands the queued requests over (the queue is empty afterwards).
    std::vector<std::unique_ptr<TermRequestPayload>> takeQueued();
    int queuedCount() const { return static_cast<int>(m_queue.size()); }

    // ---- state ----
    bool busy() const { return m_request != nullptr; }
    int activeUserWorkers() const { return m_activeUserWorkers; }
    int busyRequestWorkers() const;
    bool remoteUpdateRunning() const { return m_remoteUpdate; }
    // The address a user worker serves now, nullopt when it serves none.
    std::optional<std::uint32_t> userWorkerAddress(int slot) const;

    // When the manager ends: the series-ended message if a series was running.
    void shutdown();

private:
    void refuse(std::unique_ptr<TaskMessage> message);
    void startTermInfo(std::unique_ptr<TaskMessage> message);
    void startOperation(std::unique_ptr<TaskMessage> message);
    void cancel();
    void decided(std::unique_ptr<TermRequestPayload> request);
    // Whether an accepted request of the same terminal (its MAC address or
    // the address it asks from) is queued or running.
    bool alreadyAccepted(const TermRequestPayload &request) const;
    // Gives the next entry to a user worker (renew, target, start log line).
    void handOut(int slot);
    // False when the request names the terminal's own files and its ID or a
    // local path of the entry could lead outside the program folder.
    bool terminalFilesSafe(const TerminalEntry &entry) const;
    SessionTarget targetFor(const TerminalEntry &entry) const;
    SessionTarget targetFor(const TermRequestPayload &request) const;
    void finishRequest(int completionKind);
    void reportProgress();
    void logResult(const TerminalEntry &entry, int result, bool scheduleOp);
    // Kind 45 once the last busy request worker has ended and nothing is queued.
    void endSeriesIfIdle();
    // Kind 46: the five request workers' terminals, for the update window.
    void postSlots();

    ICommHost &m_host;
    IUpdateDecider *m_decider = nullptr;
    bool m_requestWorkersRunning = true;

    int m_udpPort = 4000;
    int m_ftpMode = 1;
    int m_entryInt = 1;

    // The request in progress.
    std::unique_ptr<TaskMessage> m_request;
    int m_requestKind = 0;
    std::uint32_t m_workerOp = 0;
    int m_cursor = 0;          // next position in m_order (terminal information: in the entries)
    std::vector<int> m_order;  // entries to hand to workers, in order
    int m_total = 0;
    int m_handed = 0;
    int m_finished = 0;
    bool m_cancel = false;
    int m_activeUserWorkers = 0;

    struct UserSlot {
        bool running = false;
        int entry = -1; // index of the entry in work, -1 none
    };
    std::array<UserSlot, UserWorkers> m_userSlots;

    struct RequestSlot {
        bool busy = false;
        std::unique_ptr<TermRequestPayload> request;
    };
    std::array<RequestSlot, RequestWorkers> m_requestSlots;
    std::deque<std::unique_ptr<TermRequestPayload>> m_queue;
    bool m_remoteUpdate = false;
    // Source addresses of the requests being decided, with their arrival.
    std::map<std::uint32_t, QDateTime> m_deciding;
};
