#pragma once
// A terminal worker: one thread that serves one terminal at a time. It holds
// the maintenance session of its terminal, turns its thread messages into
// session events and, once the terminal has opened the session, moves the
// files of the operation by FTP. Up to 10 serve a user or schedule request;
// 5 more, started with the manager, serve terminal-initiated requests.

#include "comm/CommManager.h"
#include "comm/FtpTransfer.h"
#include "comm/MessageThread.h"

#include <QString>

#include <atomic>

// Reply of a worker to the manager: lParam of the operation's reply message.
struct WorkerReply {
    WorkerPool pool = WorkerPool::User;
    int slot = 0;
    int result = 0;
};
using WorkerReplyPayload = ValuePayload<WorkerReply>;

// The FTP step of one operation on one terminal, on the worker's own client.
// Answers the result code (0, 5, 6 or 8). Exposed for tests.
class FtpStep
{
public:
    FtpStep(FtpClient &client, quint16 ftpPort = 21) : m_client(client), m_port(ftpPort) {}

    // Writes the schedule operations' log lines itself; the lines of
    // terminal-initiated requests go to postOperationLog (the manager writes them).
    using LogPoster = std::function<void(const LogRecord &)>;
    int run(const TransferJob &job, const LogPoster &postOperationLog);

    // The FTP options an operation runs with; others keep the current ones.
    static FtpOptions optionsFor(std::uint32_t operation, const FtpOptions &current);
    // Pauses before connecting and after the transfers (ms); tests shorten them.
    int pauseBeforeMs = 200;
    int pauseAfterMs = 300;

private:
    bool upload(const FilePair &file);
    bool download(const FilePair &file);

    FtpClient &m_client;
    quint16 m_port;
    QString m_termId; // of the job in progress
};

class CTermProcThread : public MessageThread
{
public:
    CTermProcThread(WorkerPool pool, int slot, ThreadId manager, QObject *parent = nullptr);
    ~CTermProcThread() override;

    WorkerPool pool() const { return m_pool; }
    // Ends a running FTP connection attempt or transfer at once (shutdown).
    void abortTransfers() { m_abort = true; }
    int slot() const { return m_slot; }

protected:
    std::unique_ptr<MessageReceiver> makeReceiver() override;

private:
    WorkerPool m_pool;
    int m_slot;
    ThreadId m_manager;
    std::atomic<bool> m_abort{false};
};

// A local path as the program uses it: relative paths are below the program folder.
QString ResolveLocalPath(const QString &path);
