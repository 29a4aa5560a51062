#pragma once
// The terminals' settings files (and Config/FirmFilePath.ini): reading one
// into a SettingsFileImage, merging its values into a SettingsDescription,
// and writing the file back from the description in the terminals' exact
// format: CP932, CR LF, the version line first, sections and keys in the
// description's order.

#include "editor/SettingsDescription.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct SettingsKeyRecord {
    int section = 0; // index into SettingsFileImage::sections
    QString key;     // text before the first '='
    QString value;   // text after it, as it stands
};

// A settings file as read, line by line in file order.
class SettingsFileImage
{
public:
    // Section names in file order; the version line opens the pseudo-section
    // "Version" where it stands.
    QStringList sections;
    QList<SettingsKeyRecord> keys;

    // Lines are read in pieces of at most this many bytes (a longer line
    // becomes several lines).
    static constexpr qsizetype LineLimit = 511;
    // A larger file is refused as unreadable.
    static constexpr qsizetype MaxFileBytes = 16 * 1024 * 1024;

    // The image of a file's bytes. Lines that begin with a blank or are
    // empty are skipped; a line "[name]" opens a section; any other line is
    // a key of the open section. Key lines before the first section, and
    // every version line after the first, are ignored.
    static SettingsFileImage fromBytes(const QByteArray &bytes);

    enum class ReadStatus { Ok, OpenFailed, ReadFailed };
    // Reads a file; an empty path gives an empty image (a common file that
    // doesn't exist yet).
    static ReadStatus read(const QString &path, SettingsFileImage *out);

    // The first record with this section name and key (exact case), or null.
    const SettingsKeyRecord *find(const QString &section, const QString &key) const;
};

// Puts the file's values into the description: a section the file has gets
// its tab flag; an entry whose section and key the file has (first occurrence,
// exact case) is present and kept, and for types 1..5 takes the file's value
// as its current and file value.
void MergeSettings(const SettingsFileImage &image, SettingsDescription &description);

// The bytes of the settings file written from the description. The written
// values are trimmed of surrounding white space, and the trimmed text
// replaces the value in the description.
QByteArray FormatSettingsFile(SettingsDescription &description, FileMode mode);

// Error-log lines of the editor: number, terminal ID, detail.
using EditorErrorLog = std::function<void(int, const QString &, const QString &)>;
// Writes through the daily log.
EditorErrorLog DailyEditorLog();

// Writes the file beside the old one under a temporary name and renames it
// into place once complete and flushed to disk, so a failed save leaves the
// old file as it was. False when the file can't be created (a read-only file
// counts) or the write fails; a failure after creating logs error 12.
bool WriteSettingsFile(const QString &path, SettingsDescription &description, FileMode mode,
                       const EditorErrorLog &log = DailyEditorLog());
