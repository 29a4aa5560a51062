#pragma once
// Rewriting a file so that a crash or a power cut at any moment leaves either
// the old file or the new one, never a mix: the bytes go to a temporary file
// beside the target, which is given the old file's mode and owner, synced,
// renamed over the target, and then the folder is synced so that the rename
// itself survives. Every file the program rewrites goes through here (INI
// files, the list export, the register's compaction, downloaded settings
// files). Appends (the daily log) don't: they never rewrite.

#include <QByteArray>
#include <QString>

#include <functional>

namespace SafeFile
{

enum Flags : unsigned {
    NoFlags = 0,
    // Refuse to replace the target when its owner can't be given to the new
    // file (another user's register would lock that user out).
    OwnerRequired = 0x1,
    // Owner-only mode 0600 from the first byte on, whatever the old file's
    // mode: for files that hold passwords.
    PrivateMode = 0x2,
    // A new file is made 0600 (files holding SIP data, the register); an
    // existing one keeps the mode its administrator gave it.
    PrivateWhenNew = 0x4,
};

// The temporary file used for a target: "<target>.~new". A leftover of a
// crashed write is simply overwritten by the next one.
QString temporaryPath(const QString &target);

enum class Outcome {
    Written,
    NotCreated, // the temporary file could not be created (missing folder, no rights)
    NotWritten, // writing, syncing or renaming failed (a full disk)
};
// Writes bytes to path as described above. A new file gets the usual mode
// (0666 less the umask; 0600 with PrivateWhenNew); an existing one keeps its mode and, as far as the
// process may, its owner. On failure *error tells why; the old file is then
// untouched and the temporary file removed.
Outcome writeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                  unsigned flags = NoFlags);
inline bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                  unsigned flags = NoFlags)
{
    return writeFile(path, bytes, error, flags) == Outcome::Written;
}

// Puts an already written file in place of target the same way: gives it
// target's mode and owner (when target exists), syncs it, renames it over
// target and syncs the folder. On failure tmp is removed and target left.
bool replace(const QString &tmp, const QString &target, QString *error = nullptr,
             unsigned flags = NoFlags);

// fsync of a file's contents; of a folder's entries (after a rename or a
// create in it). False when the file can't be opened or the sync fails.
bool syncFile(const QString &path);
bool syncFolder(const QString &folder);

// ---- test seam --------------------------------------------------------------
// The steps of write() and replace(), in their order.
enum class Step { Write, Owner, Sync, Rename, SyncFolder };
// Called before each step with the target's path. Answering false makes the
// step fail as if the system had refused it (EIO); a hook may also end the
// process there. An empty function removes the hook.
using StepHook = std::function<bool(Step step, const QString &target)>;
void setStepHook(StepHook hook);

} // namespace SafeFile
