#include "common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicWriteResult WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    static std::atomic<unsigned> serial{0};
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray tmp = folder + "/." + QFile::encodeName(info.fileName()) + ".tmp" +
                           QByteArray::number(::getpid()) + "_" +
                           QByteArray::number(serial.fetch_add(1));

    struct stat old {
    };
    const bool exists = ::stat(target.constData(), &old) == 0;
    const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return AtomicWriteResult::CreateFailed;
    bool ok = writeAll(fd, bytes.constData(), bytes.size());
    if (ok && exists)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmp.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(tmp.constData());
        return AtomicWriteResult::WriteFailed;
    }
    syncFolder(folder);
    return AtomicWriteResult::Ok;
}
