#include "common/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile
{

namespace
{

// One writer at a time: two threads replacing the same target would share
// its temporary file.
QMutex &writeMutex()
{
    static QMutex m;
    return m;
}

StepHook &hook()
{
    static StepHook h;
    return h;
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Runs the hook for a step; false (errno EIO) when it refuses.
bool allowed(Step step, const QString &target)
{
    const StepHook &h = hook();
    if (h && !h(step, target)) {
        errno = EIO;
        return false;
    }
    return true;
}

bool fail(QString *error, const QString &what, const QString &path, int err)
{
    if (error)
        *error =
            QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(err)));
    return false;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

// Gives fd the old file's mode and owner, syncs and closes it, renames tmp
// over target and syncs the folder. fd is closed in every case; tmp is
// removed on failure.
bool finish(int fd, const QString &tmp, const QString &target, QString *error, unsigned flags)
{
    const QByteArray tmpName = native(tmp);
    auto abandon = [&](const QString &what, int err) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(tmpName.constData());
        return fail(error, what, target, err);
    };

    struct stat old {
    };
    // A link at the target's name is replaced like a missing file: its
    // target (anybody's file) gives neither mode nor owner.
    if (::lstat(native(target).constData(), &old) == 0 && !S_ISLNK(old.st_mode)) {
        if (!S_ISREG(old.st_mode))
            return abandon(QStringLiteral("not a regular file:"), EISDIR);
        if (!allowed(Step::Owner, target))
            return abandon(QStringLiteral("can't keep the owner of"), errno);
        struct stat now {
        };
        ::fstat(fd, &now);
        if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
                if (flags & OwnerRequired)
                    return abandon(QStringLiteral("can't keep the owner of"), errno);
                // At least the group, which a member of it may give.
                [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), old.st_gid);
            }
        }
        // After the owner: changing it clears the set-id bits.
        if (!(flags & PrivateMode) && ::fchmod(fd, old.st_mode & 07777) != 0)
            return abandon(QStringLiteral("can't keep the mode of"), errno);
    }
    if ((flags & PrivateMode) && ::fchmod(fd, 0600) != 0)
        return abandon(QStringLiteral("can't set the mode of"), errno);
    // Contents, mode and owner reach the disk before the name does.
    if (!allowed(Step::Sync, target) || ::fsync(fd) != 0)
        return abandon(QStringLiteral("can't sync"), errno);
    const int fdToClose = fd;
    fd = -1;
    if (::close(fdToClose) != 0)
        return abandon(QStringLiteral("can't write"), errno);
    if (!allowed(Step::Rename, target) ||
        ::rename(tmpName.constData(), native(target).constData()) != 0)
        return abandon(QStringLiteral("can't replace"), errno);
    // The new file is in place; a folder that can't be synced (some file
    // systems refuse) leaves it there all the same.
    if (allowed(Step::SyncFolder, target))
        syncFolder(folderOf(target));
    return true;
}

} // namespace

QString temporaryPath(const QString &target)
{
    return target + QLatin1String(".~new");
}

Outcome writeFile(const QString &path, const QByteArray &bytes, QString *error, unsigned flags)
{
    QMutexLocker lock(&writeMutex());
    const QString tmp = temporaryPath(path);
    const QByteArray tmpName = native(tmp);
    ::unlink(tmpName.constData());
    const int fd = ::open(tmpName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          (flags & (PrivateMode | PrivateWhenNew)) ? 0600 : 0666);
    if (fd < 0) {
        fail(error, QStringLiteral("can't create"), tmp, errno);
        return Outcome::NotCreated;
    }
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    bool ok = allowed(Step::Write, path);
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            ok = false;
            break;
        }
        p += n;
        left -= n;
    }
    if (!ok) {
        const int err = errno;
        ::close(fd);
        ::unlink(tmpName.constData());
        fail(error, QStringLiteral("can't write"), path, err);
        return Outcome::NotWritten;
    }
    return finish(fd, tmp, path, error, flags) ? Outcome::Written : Outcome::NotWritten;
}

bool replace(const QString &tmp, const QString &target, QString *error, unsigned flags)
{
    QMutexLocker lock(&writeMutex());
    const int fd = ::open(native(tmp).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        ::unlink(native(tmp).constData());
        return fail(error, QStringLiteral("can't open"), tmp, err);
    }
    return finish(fd, tmp, target, error, flags);
}

bool syncFile(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

void setStepHook(StepHook h)
{
    QMutexLocker lock(&writeMutex());
    hook() = std::move(h);
}

} // namespace SafeFile
