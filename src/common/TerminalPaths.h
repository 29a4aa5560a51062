#pragma once
// The files a terminal has below the program folder, named from its terminal
// ID. Terminal IDs arrive over the network, so an ID only names a file when
// it can't lead anywhere else: an empty ID would name the common file
// ("kel_sys.ini"), and separators, "..", NUL or control characters could
// leave the folder or confuse the file system.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace TerminalPaths
{

enum class Kind { System, User, PhoneBook };

// Not empty (after the stored form's leading blanks are removed by the
// caller), no '/', '\\', "..", NUL or other control characters.
bool isSafeId(QStringView termId);

// A terminal model as part of a file name or search pattern
// ("Config/Sys/sysconfig_<model>_*.xml"): a safe ID without the wildcards
// '*' and '?', which would let one model's search find another's files.
bool isSafeModel(QStringView model);

// "Data/Sys/kel_sys<ID>.ini", "Data/User/kel_user<ID>.ini",
// "Data/Dial/kel_dial<ID>.csv"; empty when the ID is not safe.
QString relative(Kind kind, const QString &termId);
// The same below the program folder; empty when the ID is not safe.
QString absolute(Kind kind, const QString &termId);
// All three relative paths; empty list when the ID is not safe.
QStringList allRelative(const QString &termId);

// The folder of the terminal's settings history, "Data/History/<ID>"; empty
// when the ID is not safe or is "." (which, as a folder name, would be
// "Data/History" itself).
QString historyRelative(const QString &termId);

// Whether path, once "." and ".." are resolved, lies inside folder (both
// absolute; folder with or without its trailing '/').
bool isInside(const QString &path, const QString &folder);

} // namespace TerminalPaths
