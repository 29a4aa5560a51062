#include "termlist/TerminalFiles.h"

#include "common/ProcessValues.h"

#include <QFile>

namespace TerminalFiles
{

QStringList relativePaths(const QString &termId)
{
    return {QStringLiteral("Data/Sys/kel_sys") + termId + QStringLiteral(".ini"),
            QStringLiteral("Data/User/kel_user") + termId + QStringLiteral(".ini"),
            QStringLiteral("Data/Dial/kel_dial") + termId + QStringLiteral(".csv")};
}

int remove(const QString &termId)
{
    int removed = 0;
    // An empty ID would name the common files beside the terminals' ones.
    if (termId.isEmpty())
        return 0;
    for (const QString &rel : relativePaths(termId))
        if (QFile::remove(ProcessValues::programPath(rel)))
            ++removed;
    return removed;
}

} // namespace TerminalFiles
