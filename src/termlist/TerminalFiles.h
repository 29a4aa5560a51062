#pragma once
// The three settings files a terminal has below the program folder: system
// settings, user settings and phone book.

#include <QString>
#include <QStringList>

namespace TerminalFiles
{

// "Data/Sys/kel_sys<ID>.ini", "Data/User/kel_user<ID>.ini", "Data/Dial/kel_dial<ID>.csv";
// none for an ID that is not safe (TerminalPaths::isSafeId).
QStringList relativePaths(const QString &termId);
// Deletes them in the program folder, and their settings history; a missing
// file is no error. Answers how many files were removed.
int remove(const QString &termId);

} // namespace TerminalFiles
