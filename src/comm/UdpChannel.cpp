#include "comm/UdpChannel.h"

#include "comm/UdpMessages.h"
#include "common/ProcessValues.h"

#include <QDateTime>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace
{
// Enough for a burst of tens of thousands of notices while the handler
// catches up.
constexpr int ReceiveBufferBytes = 32 * 1024 * 1024;
} // namespace

UdpChannel::UdpChannel() = default;

UdpChannel::~UdpChannel()
{
    close();
}

bool UdpChannel::open(std::uint16_t port, bool shareForTests)
{
    close();
    m_error.clear();
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Without SO_REUSEADDR a second socket on the port (another copy of the
    // program, say) can't bind it and silently take the terminals' traffic.
    if (shareForTests) {
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    // Beyond the system limit only with privileges; otherwise take what we get.
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &ReceiveBufferBytes,
                     sizeof ReceiveBufferBytes) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &ReceiveBufferBytes, sizeof ReceiveBufferBytes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    // Wakes the receiver at close, so that a close never waits on poll.
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_port = port;
    m_stop = false;
    m_receiver = std::thread([this] { receiveLoop(); });
    m_sender = std::thread([this] { sendLoop(); });
    return true;
}

void UdpChannel::close()
{
    if (m_fd < 0)
        return;
    {
        // Under the lock: otherwise the stop can fall between the sender's
        // look at the queue and its sleep, and nothing wakes it again.
        std::lock_guard lock(m_queueMutex);
        m_stop = true;
    }
    m_queueCv.notify_all();
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    if (m_receiver.joinable())
        m_receiver.join();
    if (m_sender.joinable())
        m_sender.join();
    ::close(m_fd);
    ::close(m_wakeFd);
    m_fd = m_wakeFd = -1;
    std::lock_guard lock(m_queueMutex);
    m_queue.clear();
}

void UdpChannel::send(std::uint32_t address, std::uint16_t port, const QByteArray &datagram)
{
    if (datagram.isEmpty())
        return;
    {
        std::lock_guard lock(m_queueMutex);
        m_queue.pushDatagram(address, port, datagram);
    }
    m_queueCv.notify_one();
}

std::optional<SendQueue::Dropped> UdpChannel::sendAnswer(std::uint32_t address,
                                                         std::uint16_t port,
                                                         const QByteArray &datagram,
                                                         bool unknownTerminal,
                                                         const QString &termId)
{
    if (datagram.isEmpty())
        return std::nullopt;
    std::optional<SendQueue::Dropped> dropped;
    {
        std::lock_guard lock(m_queueMutex);
        dropped = m_queue.pushAnswer(address, port, datagram, unknownTerminal, termId);
    }
    m_queueCv.notify_one();
    return dropped;
}

SendQueue::AckPush UdpChannel::sendNoticeAck(std::uint32_t source, std::uint32_t address,
                                             std::uint16_t port)
{
    SendQueue::AckPush pushed;
    {
        std::lock_guard lock(m_queueMutex);
        pushed = m_queue.pushAck(source, address, port);
    }
    if (pushed == SendQueue::AckPush::Queued)
        m_queueCv.notify_one();
    return pushed;
}

std::size_t UdpChannel::pendingSends() const
{
    std::lock_guard lock(m_queueMutex);
    return m_queue.size();
}

void UdpChannel::receiveLoop()
{
    char buffer[Udp::ReceiveSize];
    pollfd pfd[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    while (!m_stop.load(std::memory_order_relaxed)) {
        if (::poll(pfd, 2, -1) <= 0 || pfd[0].revents == 0)
            continue;
        // Drain everything that is there before polling again.
        for (;;) {
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr *>(&from), &len);
            if (n < 0)
                break;
            if (n == 0)
                continue; // an empty datagram is dropped
            m_received.fetch_add(1, std::memory_order_relaxed);
            if (m_handler)
                m_handler(QByteArray(buffer, static_cast<qsizetype>(n)),
                          ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
        }
    }
}

void UdpChannel::sendLoop()
{
    // The pause before every datagram paces all sends; the default slack of
    // a sleeping thread (50 us) would stretch each pause of 1 ms by 5..10 %.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        {
            std::unique_lock lock(m_queueMutex);
            m_queueCv.wait(lock, [this] { return m_stop.load() || !m_queue.empty(); });
            if (m_stop.load())
                return;
        }
        const int delay = ProcessValues::sendDelay.load();
        if (delay > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        // Chosen after the pause: a session datagram that came meanwhile
        // goes before the acks that were already waiting.
        std::optional<SendQueue::Item> next;
        {
            std::lock_guard lock(m_queueMutex);
            if (m_stop.load())
                return;
            next = m_queue.pop();
        }
        if (!next)
            continue;
        SendQueue::Item &out = *next;
        if (out.bytes.isEmpty())
            out.bytes = Udp::buildTermNotifyAck(QDateTime::currentDateTime(),
                                                static_cast<std::uint8_t>(m_entryInt.load()));
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(out.address);
        to.sin_port = htons(out.port);
        // A failed send is not repeated; the session time-out covers it.
        ::sendto(m_fd, out.bytes.constData(), static_cast<size_t>(out.bytes.size()), 0,
                 reinterpret_cast<sockaddr *>(&to), sizeof to);
    }
}
