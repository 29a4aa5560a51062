#include "common/ThreadMessage.h"

#include "common/TsanHandOver.h"

#include <QCoreApplication>

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace
{

std::mutex g_regMutex;
// Never destroyed: a receiver of a thread that ends while the process exits
// must still find it (static destructors run on the exiting thread).
std::unordered_map<ThreadId, MessageReceiver *> &g_registry =
    *new std::unordered_map<ThreadId, MessageReceiver *>;
std::atomic<ThreadId> g_nextId{1000};

} // namespace

ThreadMessageEvent::~ThreadMessageEvent()
{
    // Delivered, or dropped with a receiver that went: freed by the taking thread.
    TsanHandOver::acquire(this);
}

QEvent::Type ThreadMessageEvent::eventType()
{
    static const int t = QEvent::registerEventType();
    return static_cast<QEvent::Type>(t);
}

ThreadId AllocateThreadId()
{
    return g_nextId.fetch_add(1);
}

MessageReceiver::MessageReceiver(ThreadId id, QObject *parent) : QObject(parent)
{
    reRegister(id ? id : AllocateThreadId());
}

MessageReceiver::~MessageReceiver()
{
    std::lock_guard lock(g_regMutex);
    auto it = g_registry.find(m_id);
    if (it != g_registry.end() && it->second == this)
        g_registry.erase(it);
}

void MessageReceiver::reRegister(ThreadId id)
{
    std::lock_guard lock(g_regMutex);
    if (m_id) {
        auto it = g_registry.find(m_id);
        if (it != g_registry.end() && it->second == this)
            g_registry.erase(it);
    }
    m_id = id;
    g_registry[id] = this;
}

bool MessageReceiver::event(QEvent *e)
{
    // Before anything of the event is read, its type included.
    TsanHandOver::acquire(e);
    if (e->type() == ThreadMessageEvent::eventType()) {
        auto *m = static_cast<ThreadMessageEvent *>(e);
        onMessage(m->msg, m->wParam, std::move(m->lParam));
        return true;
    }
    return QObject::event(e);
}

bool PostToThread(ThreadId id, std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam)
{
    // Held while posting so that the receiver can't be destroyed in between;
    // a receiver destroyed later drops its pending events with their payloads.
    std::lock_guard lock(g_regMutex);
    auto it = g_registry.find(id);
    if (it == g_registry.end())
        return false;
    auto *event = new ThreadMessageEvent(msg, wParam, std::move(lParam));
    // Qt's queue hands the event over under a lock the sanitizer can't see.
    TsanHandOver::release(event);
    QCoreApplication::postEvent(it->second, event);
    return true;
}
