#pragma once
// The one UDP socket of the management PC, bound to 0.0.0.0:UDPPort. Two
// threads of its own keep receiving apart from sending: the receiver drains
// the socket as fast as datagrams come (a large receive buffer, nothing else
// to wait for) and hands each one to a callback; the sender sleeps SendDelay
// before each datagram, so datagrams leave at least SendDelay apart without
// ever holding up the receiving side. What leaves next is chosen after the
// pause (SendQueue): session datagrams, then answers to terminal requests,
// then notice acks, one waiting answer and one waiting ack per address, each
// ack's date and time taken as it leaves.

#include "comm/SendQueue.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class UdpChannel
{
public:
    // Called on the receiving thread with each datagram (at most 326 bytes,
    // never empty), its source address (host order) and source port.
    using Handler = std::function<void(const QByteArray &, std::uint32_t, std::uint16_t)>;

    UdpChannel();
    ~UdpChannel();
    UdpChannel(const UdpChannel &) = delete;
    UdpChannel &operator=(const UdpChannel &) = delete;

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // The registration interval carried by the acks (hours, 0..255).
    void setEntryInt(int hours) { m_entryInt = hours; }

    // Binds the port on all local addresses and starts both threads. The
    // port is this program's alone: another socket bound to it makes the
    // bind fail. shareForTests lets sockets of specific loopback addresses
    // share it (the terminal simulator's); nothing but tests asks for that.
    bool open(std::uint16_t port, bool shareForTests = false);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    QString errorText() const { return m_error; }
    std::uint16_t port() const { return m_port; }

    // Queues a session or request datagram; it leaves before anything else.
    void send(std::uint32_t address, std::uint16_t port, const QByteArray &datagram);
    // Queues the answer to a terminal request (SendQueue::pushAnswer).
    std::optional<SendQueue::Dropped> sendAnswer(std::uint32_t address, std::uint16_t port,
                                                 const QByteArray &datagram,
                                                 bool unknownTerminal, const QString &termId);
    // Queues a TermNotifyAck unless one for the notice's source still waits
    // or too many wait; its date and time are taken when it leaves.
    SendQueue::AckPush sendNoticeAck(std::uint32_t source, std::uint32_t address,
                                     std::uint16_t port);

    // Datagrams waiting to be sent.
    std::size_t pendingSends() const;
    // Datagrams received so far.
    std::uint64_t receivedCount() const { return m_received.load(); }

private:
    void receiveLoop();
    void sendLoop();

    int m_fd = -1;
    int m_wakeFd = -1;
    std::uint16_t m_port = 0;
    QString m_error;
    Handler m_handler;
    std::atomic<int> m_entryInt{1};
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_received{0};
    std::thread m_receiver;
    std::thread m_sender;
    mutable std::mutex m_queueMutex;
    std::condition_variable m_queueCv;
    SendQueue m_queue;
};
