#pragma once
// Cross-thread posting. Threads share nothing but messages posted through
// PostToThread; each message carries an owned payload that the receiver
// takes over (or hands back), so no object is ever shared between threads.

#include <QEvent>
#include <QObject>

#include <array>
#include <cstdint>
#include <memory>

using ThreadId = std::uint32_t;

// Message numbers used between threads and towards the view.
namespace Msg
{
constexpr std::uint32_t StartStop = 0x2900; // TaskMessage kind 0 start, 1 stop, 3 settings changed
constexpr std::uint32_t Task = 0x2901;      // TaskMessage of the kinds below
constexpr std::uint32_t TimerTick = 0x2902; // timer service tick
constexpr std::uint32_t HeaderClick = 0x2903;   // deferred column header click (view to itself)
constexpr std::uint32_t DiscardRequests = 0x2904; // the terminal-update window's "中止" (to the view)
constexpr std::uint32_t RequestQueued = 0x2905; // a terminal-initiated request was queued
// The manager's stored terminal-initiated requests: to the manager with
// wParam StoredAsk::Count or StoredAsk::TakeAll; the answer comes back to the
// asking thread under the same number (StoredRequestsPayload).
constexpr std::uint32_t StoredRequests = 0x2906;
constexpr std::uint32_t CloseBox = 0x2907;      // close a message box from outside
} // namespace Msg

// Kinds carried by a TaskMessage.
namespace TaskKind
{
constexpr std::int32_t Start = 0;
constexpr std::int32_t Stop = 1;
constexpr std::int32_t Progress = 1;        // on Msg::Task: progress of a request
constexpr std::int32_t SettingsChanged = 3; // on Msg::StartStop
constexpr std::int32_t TermInfoRequest = 3; // on Msg::Task
constexpr std::int32_t RequestEnded = 4;
constexpr std::int32_t TermInfoSent = 5;
constexpr std::int32_t Cancel = 28;
constexpr std::int32_t TimerStart = 37;
constexpr std::int32_t TimerStop = 38;
constexpr std::int32_t TimerExpired = 39;
constexpr std::int32_t TermNotice = 40;
constexpr std::int32_t TermRequestEnded = 43;
constexpr std::int32_t RemoteSeriesBegan = 44;
constexpr std::int32_t RemoteSeriesEnded = 45;
constexpr std::int32_t RemoteSlots = 46; // what the five request workers serve now
constexpr std::int32_t TermRequestDecide = 50;
constexpr std::int32_t TermRequestDecision = 51;
} // namespace TaskKind

// Base of everything that travels in a message.
struct Payload {
    virtual ~Payload() = default;
};

// The object carried by Msg::StartStop and Msg::Task.
struct TaskMessage : Payload {
    ThreadId sender = 0;
    std::int32_t kind = 0;
    std::array<std::unique_ptr<Payload>, 4> payload;

    TaskMessage() = default;
    TaskMessage(ThreadId s, std::int32_t k) : sender(s), kind(k) {}

    template <class T> T *slot(int i) const { return dynamic_cast<T *>(payload[i].get()); }
};

// A value payload for small data (counts, codes, settings).
template <class T> struct ValuePayload : Payload {
    T value{};
    ValuePayload() = default;
    explicit ValuePayload(T v) : value(std::move(v)) {}
};

// The event that carries one posted message to a receiver.
class ThreadMessageEvent : public QEvent
{
public:
    static QEvent::Type eventType();
    ThreadMessageEvent(std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam)
        : QEvent(eventType()), msg(msg), wParam(wParam), lParam(std::move(lParam))
    {
    }
    // Also where an undelivered message's payload is freed (its receiver went).
    ~ThreadMessageEvent() override;
    std::uint32_t msg;
    quintptr wParam;
    std::unique_ptr<Payload> lParam;
};

// A message endpoint living in one thread. It registers itself under a
// thread id for as long as it exists; messages posted to that id are
// delivered to onMessage() in the receiver's thread.
class MessageReceiver : public QObject
{
    Q_OBJECT
public:
    // id 0 allocates a fresh id (workers); the long-lived threads pass theirs.
    explicit MessageReceiver(ThreadId id = 0, QObject *parent = nullptr);
    ~MessageReceiver() override;

    ThreadId threadId() const { return m_id; }

    // Takes the id over from whoever holds it (the view takes the main id).
    void reRegister(ThreadId id);

protected:
    virtual void onMessage(std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam) = 0;
    bool event(QEvent *e) override;

private:
    ThreadId m_id = 0;
};

// Posts a message to the receiver registered under the id. Answers false when
// no receiver holds the id; the payload is then deleted.
bool PostToThread(ThreadId id, std::uint32_t msg, quintptr wParam = 0,
                  std::unique_ptr<Payload> lParam = {});

// A fresh id for a worker thread.
ThreadId AllocateThreadId();
