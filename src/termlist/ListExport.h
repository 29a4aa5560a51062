#pragma once
// The text export of the terminal list ("Data/List.txt"): a header line with
// the shown columns' names, then one line per terminal in display order;
// every value is followed by "," and every line ends with CR LF; CP932.

#include "termlist/ListColumns.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace ListExport
{

// The file below the program folder.
QString relativePath();
// The bytes of the file for the given columns and entries.
QByteArray build(const std::vector<ViewColumn> &columns, const std::vector<TermEntry> &entries);
// Writes the bytes to `path` through SafeFile: the old file is replaced only
// by a complete, synced new one; false when it can't be created or written.
bool write(const QString &path, const QByteArray &bytes);

} // namespace ListExport
