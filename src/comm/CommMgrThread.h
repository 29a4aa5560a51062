#pragma once
// The communication manager thread: owns the UDP socket, answers and
// forwards terminal notices, runs user and schedule requests over up to 10
// terminal workers and terminal-initiated requests over 5 standing ones,
// routes session answers, writes the log and reports to the user interface.
//
// Start-up: launch() (after the timer thread), then post Msg::StartStop
// kind 0 with CommSettingsPayload (UDPPort, FTPMode, EntryInt) to
// ProcessValues::CommThreadId; kind 3 with the same payload changes FTP mode
// and interval; kind 1 ends the thread (or call stopAndWait()).
// The stored terminal-initiated requests stay on this thread: the user
// interface asks for their number or takes them with Msg::StoredRequests.

#include "comm/CommManager.h"
#include "comm/MessageThread.h"

#include <atomic>

class CCommMgrThread : public MessageThread
{
public:
    explicit CCommMgrThread(QObject *parent = nullptr);
    ~CCommMgrThread() override;

    // The decision on terminal-initiated requests; set before launch().
    void setDecider(IUpdateDecider *decider) { m_decider = decider; }

    // Whether the socket is bound (after the start message).
    bool socketOpen() const { return m_socketOpen.load(); }

protected:
    std::unique_ptr<MessageReceiver> makeReceiver() override;

private:
    IUpdateDecider *m_decider = nullptr;
    std::atomic<bool> m_socketOpen{false};
    friend class CommReceiver;
};
