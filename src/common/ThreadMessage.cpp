#include "common/ThreadMessage.h"

#include <QCoreApplication>

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace
{

std::mutex g_regMutex;
std::unordered_map<ThreadId, MessageReceiver *> g_registry;
std::atomic<ThreadId> g_nextId{1000};

} // namespace

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
    QCoreApplication::postEvent(it->second, new ThreadMessageEvent(msg, wParam, std::move(lParam)));
    return true;
}
