#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// A folder that only this user can write in: its own, no write bits for
// group or others, not a link.
bool ownFolder(const QString &path)
{
    struct stat st {
    };
    return !path.isEmpty() && QDir::isAbsolutePath(path) &&
           ::lstat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

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

bool FileLock::tryLock()
{
    if (m_fd >= 0)
        return true;
    const QByteArray name = native(m_path);
    // A few rounds: the file may be replaced or removed between our open
    // and our lock by a holder that ends just then.
    for (int round = 0; round < 8; ++round) {
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        // Another user's lock file: a read-only descriptor locks it as well.
        if (fd < 0 && errno == EACCES)
            fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            // A link or a file nobody may open is no lock that a copy of
            // this program holds: it goes, and a file of our own takes its place.
            if ((errno == ELOOP || errno == EACCES) && ::unlink(name.constData()) == 0)
                continue;
            return false;
        }
        struct stat held {
        };
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            if (busy)
                return false;
            continue;
        }
        // Still the file at that name? A holder that just ended removed it.
        struct stat now {
        };
        if (::stat(name.constData(), &now) != 0 || now.st_ino != held.st_ino ||
            now.st_dev != held.st_dev) {
            ::close(fd);
            continue;
        }
        // For the curious only: nothing reads it back.
        if (::ftruncate(fd, 0) == 0) {
            const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
            [[maybe_unused]] const ssize_t n = ::pwrite(fd, pid.constData(), size_t(pid.size()), 0);
        }
        m_fd = fd;
        return true;
    }
    return false;
}

void FileLock::unlock()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so no other copy can lock the old file.
    ::unlink(native(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}

SingleInstance::SingleInstance(const QString &programFolder)
    : m_lock(QDir(programFolder).filePath(lockName()))
{
}

namespace
{
QString portLockPath(int port, const QString &folder)
{
    const QString in = folder.isEmpty() ? UdpPortLock::lockFolder() : folder;
    return in.isEmpty() ? QString() : QDir(in).filePath(UdpPortLock::lockName(port));
}
} // namespace

UdpPortLock::UdpPortLock(int port, const QString &folder) : m_lock(portLockPath(port, folder)) {}

bool UdpPortLock::acquire()
{
    if (m_lock.path().isEmpty()) {
        std::fprintf(stderr, "No folder of this user's own for the UDP port lock; "
                             "set XDG_RUNTIME_DIR.\n");
        return true;
    }
    return m_lock.tryLock();
}

QString UdpPortLock::lockName(int port)
{
    return QStringLiteral("QUVAIPPHONEMANAGER-udp%1-net%2.lock").arg(port).arg(networkStackId());
}

QString UdpPortLock::lockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (ownFolder(runtime))
        return runtime;
    const QString own = QDir(QDir::tempPath()).filePath(QStringLiteral("kelmngpc-%1").arg(::geteuid()));
    ::mkdir(native(own).constData(), 0700);
    return ownFolder(own) ? own : QString();
}
