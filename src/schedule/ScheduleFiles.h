#pragma once
// The schedule files below the program folder: "Schedule/ScheduleSettings%02d.ini"
// (section "ScheduleSettings"), "Schedule/Result/ScheduleResult%02d.ini"
// ("ScheduleResult") and "Schedule/ScheduleMng.ini" ("ScheduleMng"), CP932.
// The settings file is kept read-only and hidden between writes; every write
// opens it, clears read-only, saves the whole file at once (temporary file and
// rename) and protects it again, so a failure never leaves half a file.

#include "schedule/ScheduleTypes.h"

#include <QString>

namespace ScheduleFiles
{

// Paths of schedule n (1..10) below a program folder (ending in '/').
QString settingsPath(const QString &folder, int number);
QString resultPath(const QString &folder, int number);
QString mngPath(const QString &folder);

// Reads the integer keys in file order; false (and the schedule not set) at
// the first one missing. Texts default to empty. Flags read as 0 or 1.
bool readSettings(const QString &path, ScheduleSettings &settings);
// "TargetTermCount" and the target lines; an empty list without a file.
QList<ScheduleTarget> readTargets(const QString &path);
// SchEnabled alone; false when the key is missing (enabled left as it was).
bool readEnabled(const QString &path, bool &enabled);

// Every key of the settings and the targets: the old target lines (as many as
// the old count) go, the new count and lines follow. False when the file
// couldn't be written.
bool writeSettings(const QString &path, const ScheduleSettings &settings,
                   const QList<ScheduleTarget> &targets);
// The targets alone, as writeSettings() writes them.
bool writeTargets(const QString &path, const QList<ScheduleTarget> &targets);
bool writeEnabled(const QString &path, bool enabled);

// A complete result (every integer key present) or false.
bool readResult(const QString &path, ScheduleResult &result);
bool writeResult(const QString &path, const ScheduleResult &result);

// Deletes the settings file (clearing its protection first), the result
// file, or both; a missing file is no error.
enum class Delete { Both = 0, Settings = 1, Result = 2 };
void deleteFiles(const QString &settingsFile, const QString &resultFile, Delete what);

// SchCancelClose of the execution window; a missing key reads as 1 and is
// written back as 1.
bool readCancelClose(const QString &path);
bool writeCancelClose(const QString &path, bool close);

// "%s,%s,%s,%s" and back; the fourth field keeps any further commas.
QString targetLine(const ScheduleTarget &t);
ScheduleTarget parseTargetLine(const QString &line);

} // namespace ScheduleFiles
