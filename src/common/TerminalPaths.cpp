#include "common/TerminalPaths.h"

#include "common/ProcessValues.h"

#include <QDir>

namespace TerminalPaths
{

bool isSafeId(QStringView termId)
{
    if (termId.isEmpty() || termId.contains(QLatin1String("..")))
        return false;
    for (QChar c : termId) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || u == u'/' || u == u'\\')
            return false;
    }
    return true;
}

bool isSafeModel(QStringView model)
{
    return isSafeId(model) && !model.contains(u'*') && !model.contains(u'?');
}

QString relative(Kind kind, const QString &termId)
{
    if (!isSafeId(termId))
        return {};
    switch (kind) {
    case Kind::System:
        return QStringLiteral("Data/Sys/kel_sys") + termId + QStringLiteral(".ini");
    case Kind::User:
        return QStringLiteral("Data/User/kel_user") + termId + QStringLiteral(".ini");
    case Kind::PhoneBook:
        return QStringLiteral("Data/Dial/kel_dial") + termId + QStringLiteral(".csv");
    }
    return {};
}

QString absolute(Kind kind, const QString &termId)
{
    const QString rel = relative(kind, termId);
    return rel.isEmpty() ? QString() : ProcessValues::programPath(rel);
}

QStringList allRelative(const QString &termId)
{
    if (!isSafeId(termId))
        return {};
    return {relative(Kind::System, termId), relative(Kind::User, termId),
            relative(Kind::PhoneBook, termId)};
}

QString historyRelative(const QString &termId)
{
    if (!isSafeId(termId) || termId == QLatin1String("."))
        return {};
    return QStringLiteral("Data/History/") + termId;
}

bool isInside(const QString &path, const QString &folder)
{
    const QString f = QDir::cleanPath(folder);
    const QString p = QDir::cleanPath(path);
    if (f.isEmpty() || p.isEmpty() || QDir::isRelativePath(f) || QDir::isRelativePath(p))
        return false;
    return p.startsWith(f.endsWith(u'/') ? f : f + u'/');
}

} // namespace TerminalPaths
