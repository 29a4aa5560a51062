#pragma once
// Replacing a file so that a crash or a full disk never leaves it half
// written: the new bytes go to a temporary file in the same folder, are
// flushed to disk, and only then renamed over the old file (which keeps its
// permissions). The folder is flushed too, so the rename survives a crash.

#include <QByteArray>
#include <QString>

enum class AtomicWriteResult {
    Ok,
    CreateFailed, // the temporary file could not be created (missing folder, no rights)
    WriteFailed,  // writing, flushing or renaming failed; the old file is untouched
};

AtomicWriteResult WriteFileAtomically(const QString &path, const QByteArray &bytes);
