#include "comm/MessageThread.h"

#include "common/TsanHandOver.h"

MessageThread::~MessageThread()
{
    stopAndWait();
}

bool MessageThread::launch(QThread::Priority priority)
{
    start(priority);
    // A thread that never comes up would leave us waiting forever.
    if (!m_ready.tryAcquire(1, 10000))
        return false;
    return m_id.load() != 0;
}

void MessageThread::stopAndWait()
{
    if (isRunning())
        quit();
    wait();
}

bool MessageThread::wait(QDeadlineTimer deadline)
{
    if (!QThread::wait(deadline))
        return false;
    TsanHandOver::acquire(this);
    return true;
}

void MessageThread::run()
{
    std::unique_ptr<MessageReceiver> receiver = makeReceiver();
    m_id = receiver ? receiver->threadId() : 0;
    m_ready.release();
    if (receiver) {
        exec();
        receiver.reset();
    }
    TsanHandOver::release(this);
}
