#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>

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

namespace
{

// The network namespace of the process ("net:[4026531840]" -> 4026531840).
QString networkStackId()
{
    const QString link = QFile::symLinkTarget(QStringLiteral("/proc/self/ns/net"));
    QString digits;
    for (QChar c : link)
        if (c.isDigit())
            digits += c;
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

} // namespace

UdpPortLock::UdpPortLock(int port, const QString &folder)
    : m_path(QDir(folder.isEmpty() ? QDir::tempPath() : folder).filePath(lockName(port))),
      m_lock(std::make_unique<QLockFile>(m_path))
{
    m_lock->setStaleLockTime(0);
}

UdpPortLock::~UdpPortLock()
{
    if (m_lock->isLocked())
        m_lock->unlock();
}

bool UdpPortLock::acquire()
{
    return m_lock->tryLock(0);
}

QString UdpPortLock::lockName(int port)
{
    return QStringLiteral("QUVAIPPHONEMANAGER-udp%1-net%2.lock").arg(port).arg(networkStackId());
}
