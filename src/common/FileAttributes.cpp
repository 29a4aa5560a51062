#include "common/FileAttributes.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

namespace
{

// The "User" bits tell what the current user may do (always everything for
// root), not what the file says; only owner, group and other bits count.
constexpr QFile::Permissions UserBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
constexpr QFile::Permissions WriteBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
constexpr QFile::Permissions OthersRead = QFile::ReadGroup | QFile::ReadOther;

QFile::Permissions modeOf(const QFileInfo &info)
{
    return info.permissions() & ~UserBits;
}

unsigned attributesOf(QFile::Permissions p)
{
    unsigned a = 0;
    if (!(p & WriteBits))
        a |= FileAttr::ReadOnly;
    if (!(p & OthersRead))
        a |= FileAttr::Hidden;
    return a;
}

QFile::Permissions applied(QFile::Permissions p, unsigned attributes)
{
    if (attributes & FileAttr::ReadOnly)
        p &= ~WriteBits;
    else if (!(p & WriteBits))
        p |= QFile::WriteOwner;
    if (attributes & FileAttr::Hidden)
        p &= ~OthersRead;
    else if (!(p & OthersRead))
        p |= OthersRead;
    // The owner must still be able to read its own files.
    return p | QFile::ReadOwner;
}

} // namespace

// A symbolic link counts as no file: its target may be anybody's file, and
// a chmod through it would change that one.
std::optional<unsigned> GetFileAttributes(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isSymLink())
        return std::nullopt;
    return attributesOf(modeOf(info));
}

bool SetFileAttributes(const QString &path, unsigned attributes)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isSymLink())
        return false;
    const QFile::Permissions now = modeOf(info);
    const QFile::Permissions wanted = applied(now, attributes);
    if (wanted == now)
        return true;
    // Owner, group and other bits of QFile::Permissions sit in the nibbles
    // 0x7000, 0x0070 and 0x0007.
    const unsigned p = unsigned(wanted);
    const mode_t mode = mode_t(((p >> 12) & 07) << 6 | ((p >> 4) & 07) << 3 | (p & 07));
    // Not through a link put there meanwhile.
    return ::fchmodat(AT_FDCWD, QFile::encodeName(path).constData(), mode,
                      AT_SYMLINK_NOFOLLOW) == 0;
}

bool AddFileAttributes(const QString &path, unsigned attributes)
{
    const auto now = GetFileAttributes(path);
    return now && SetFileAttributes(path, *now | attributes);
}

bool ClearFileAttributes(const QString &path, unsigned attributes)
{
    const auto now = GetFileAttributes(path);
    return now && SetFileAttributes(path, *now & ~attributes);
}

bool IsReadOnly(const QString &path)
{
    const auto a = GetFileAttributes(path);
    return a && (*a & FileAttr::ReadOnly);
}

bool IsHidden(const QString &path)
{
    const auto a = GetFileAttributes(path);
    return a && (*a & FileAttr::Hidden);
}
