#pragma once
// A thread whose life is one message endpoint: run() builds the receiver in
// the new thread, registers it under its id and runs the event loop until the
// receiver ends it. launch() returns once messages can be posted to it.

#include "common/ThreadMessage.h"

#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <memory>

class MessageThread : public QThread
{
public:
    explicit MessageThread(QObject *parent = nullptr) : QThread(parent) {}
    ~MessageThread() override;

    // Starts the thread and waits until its receiver is registered. Answers
    // false when the thread could not be started.
    bool launch(QThread::Priority priority = QThread::InheritPriority);

    // The id messages are posted to (valid after launch()).
    ThreadId id() const { return m_id.load(); }

    // Ends the event loop and waits for the thread.
    void stopAndWait();

    // QThread::wait(); once the thread has ended, all it did is seen as done
    // before the caller goes on (also by the thread sanitizer, which can't
    // see Qt's own join).
    bool wait(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
    bool wait(unsigned long ms) { return wait(QDeadlineTimer(ms)); }

protected:
    // Called in the new thread; the receiver lives until the loop ends.
    virtual std::unique_ptr<MessageReceiver> makeReceiver() = 0;
    void run() override;

private:
    QSemaphore m_ready;
    std::atomic<ThreadId> m_id{0};
};
