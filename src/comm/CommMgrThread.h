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

#include <QString>

#include <atomic>

// The port the manager could not bind, and why.
struct PortProblem {
    int port = 0;
    QString reason;
};
using PortProblemPayload = ValuePayload<PortProblem>;

class CCommMgrThread : public MessageThread
{
public:
    explicit CCommMgrThread(QObject *parent = nullptr);
    ~CCommMgrThread() override;

    // The decision on terminal-initiated requests; set before launch().
    void setDecider(IUpdateDecider *decider) { m_decider = decider; }
    // Where to report a UDP port that can't be bound (PortUnavailableMsg
    // with a PortProblemPayload); 0 writes it to stderr. Set before launch().
    void setPortProblemReceiver(ThreadId receiver) { m_portProblemTo = receiver; }
    static constexpr std::uint32_t PortUnavailableMsg = 0x2908;
    // Test-only: lets the terminal simulator's sockets on specific loopback
    // addresses share the port the manager binds on all addresses.
    static constexpr const char *TestSharedPortVariable = "KELMNGPC_TEST_SHARED_UDP_PORT";

    // Whether the socket is bound (after the start message).
    bool socketOpen() const { return m_socketOpen.load(); }

protected:
    std::unique_ptr<MessageReceiver> makeReceiver() override;

private:
    IUpdateDecider *m_decider = nullptr;
    ThreadId m_portProblemTo = 0;
    std::atomic<bool> m_socketOpen{false};
    friend class CommReceiver;
};
