#include "comm/RemoteNames.h"

#include "comm/ResultCodes.h"

namespace RemoteNames
{

QString stamp(const QDateTime &t)
{
    const QDate d = t.date();
    const QTime tm = t.time();
    return QStringLiteral("%1%2%3%4%5%6")
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(tm.hour(), 2, 10, QLatin1Char('0'))
        .arg(tm.minute(), 2, 10, QLatin1Char('0'))
        .arg(tm.second(), 2, 10, QLatin1Char('0'));
}

QString fileNameOf(const QString &path)
{
    const qsizetype at =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(at + 1);
}

namespace
{

QString stamped(const char *prefix, const std::optional<QDateTime> &lastWrite, const char *ext)
{
    if (!lastWrite)
        return QString();
    return QLatin1String(prefix) + stamp(*lastWrite) + QLatin1String(ext);
}

} // namespace

QString forUserRequest(int requestKind, const QString &localPath,
                       const std::optional<QDateTime> &lastWrite, const QDateTime &now)
{
    switch (requestKind) {
    case RequestKind::ReadSys:
        return QStringLiteral("kel_sys.ini");
    case RequestKind::ReadUser:
        return QStringLiteral("kel_user.ini");
    case RequestKind::ReadDial:
        return QStringLiteral("kel_dial.csv");
    case RequestKind::WriteSys:
        return stamped("kel_sys", lastWrite, ".ini");
    case RequestKind::WriteUser:
        return stamped("kel_user", lastWrite, ".ini");
    case RequestKind::WriteDial:
        return stamped("kel_dial", lastWrite, ".csv");
    case RequestKind::WriteCommon: {
        const QString name = fileNameOf(localPath);
        if (name.startsWith(QLatin1String("kel_sys")) || name.startsWith(QLatin1String("zor_sys")))
            return QStringLiteral("kel_sys") + stamp(now) + QStringLiteral(".ini");
        if (name.startsWith(QLatin1String("kel_user")) ||
            name.startsWith(QLatin1String("zor_user")))
            return QStringLiteral("kel_user") + stamp(now) + QStringLiteral(".ini");
        return QString();
    }
    case RequestKind::WriteBoot:
    case RequestKind::WriteApli:
        return lastWrite ? fileNameOf(localPath) : QString();
    default:
        return QString();
    }
}

QString forSchedule(int requestKind, const QString &remoteName,
                    const std::optional<QDateTime> &lastWrite)
{
    if ((requestKind != RequestKind::ScheduleWriteSettings &&
         requestKind != RequestKind::ScheduleReadSettings) ||
        !lastWrite)
        return remoteName;
    const qsizetype dot = remoteName.indexOf(QLatin1Char('.'));
    QString head = dot < 0 ? remoteName : remoteName.left(dot);
    const QString tail = dot < 0 ? QString() : remoteName.mid(dot);
    for (const char *base : {"kel_sys", "kel_user", "kel_dial"}) {
        if (head.contains(QLatin1String(base))) {
            head = QLatin1String(base);
            break;
        }
    }
    return head + stamp(*lastWrite) + tail;
}

} // namespace RemoteNames
