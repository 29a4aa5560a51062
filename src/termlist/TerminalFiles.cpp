#include "termlist/TerminalFiles.h"

#include "common/ProcessValues.h"
#include "common/TerminalPaths.h"
#include "history/SettingsHistory.h"

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
    // IDs come over the network: an empty one would name the common files
    // beside the terminals' ones, one with separators or ".." a file
    // anywhere. Such a terminal has no files of its own.
    for (const QString &rel : TerminalPaths::allRelative(termId))
        if (QFile::remove(ProcessValues::programPath(rel)))
            ++removed;
    // The history of files that are gone goes with them.
    SettingsHistory::Store().removeAll(termId);
    return removed;
}

} // namespace TerminalFiles
