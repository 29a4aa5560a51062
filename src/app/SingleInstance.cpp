#include "app/SingleInstance.h"

#include <QDir>

SingleInstance::SingleInstance(const QString &programFolder)
    : m_lock(std::make_unique<QLockFile>(QDir(programFolder).filePath(lockName())))
{
    // A live holder keeps its lock however long it runs.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::acquire()
{
    return m_lock->tryLock(0);
}

void SingleInstance::release()
{
    if (m_lock->isLocked())
        m_lock->unlock();
}
