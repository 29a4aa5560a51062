#pragma once
// The names under which files are moved on a terminal. Settings files that
// the PC writes carry the last-write stamp of the local file, which the
// terminal reports back when it asks for newer files.

#include <QDateTime>
#include <QString>

#include <optional>

namespace RemoteNames
{

// Day, month, year, hour, minute, second, zero-padded: 14 digits.
QString stamp(const QDateTime &t);

// The remote name for one terminal of a user request. lastWrite is the
// local file's last-write time, nullopt when the file does not exist; now
// stamps common files. An empty name means there is nothing to move (the
// worker then reports the missing file).
QString forUserRequest(int requestKind, const QString &localPath,
                       const std::optional<QDateTime> &lastWrite, const QDateTime &now);

// The remote name of one file pair of a schedule request: for settings
// writes and reads of an existing local file the given name is rebuilt
// around the local file's stamp; otherwise it stays as it is.
QString forSchedule(int requestKind, const QString &remoteName,
                    const std::optional<QDateTime> &lastWrite);

// The file name part of a local path (after the last '/' or '\').
QString fileNameOf(const QString &path);

} // namespace RemoteNames
