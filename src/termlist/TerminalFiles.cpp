#include "termlist/TerminalFiles.h"

#include "common/ProcessValues.h"
#include "common/TerminalPaths.h"

#include <QFile>

namespace TerminalFiles
{

QStringList relativePaths(const QString &termId)
{
    return TerminalPaths::allRelative(termId);
}

int remove(const QString &termId)
{
    int removed = 0;
    // An ID that could name a file elsewhere (or, empty, the common files)
    // names none: nothing is deleted for it.
    for (const QString &rel : TerminalPaths::allRelative(termId))
        if (QFile::remove(ProcessValues::programPath(rel)))
            ++removed;
    return removed;
}

} // namespace TerminalFiles
