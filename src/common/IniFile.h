#pragma once
// INI files with the semantics of the platform's private-profile functions,
// which the program's configuration files were written for:
// - section and key names compare case-insensitively; the first occurrence wins;
// - names and values are trimmed of blanks, and a value enclosed in matching
//   quotes loses them;
// - updates change the file in place: every other line (comments, blank
//   lines, order, duplicates) stays; a new key goes to the end of its
//   section, a new section to the end of the file;
// - the text is CP932; lines are written with CR LF.
// Saving goes through SafeFile (a synced temporary file renamed into place),
// keeps the file's mode and owner and refuses a read-only file
// (FileAttributes.h).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class IniFile
{
public:
    IniFile() = default;
    // Bound to a path; nothing is read until load().
    explicit IniFile(const QString &path);

    // Reads the file. A missing file leaves an empty document and answers
    // false; so does an unreadable one (errorString() tells).
    bool load();
    // Writes the document back (atomic). False when the file is read-only,
    // its folder is missing or the write fails.
    bool save();

    // The document from / as CP932 bytes.
    static IniFile fromBytes(const QByteArray &bytes);
    void setBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    const QString &path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }
    bool existed() const { return m_existed; }
    QString errorString() const { return m_error; }

    // --- Reading ---------------------------------------------------------
    bool hasSection(const QString &section) const;
    bool hasKey(const QString &section, const QString &key) const;
    // The trimmed value; nullopt when the section or key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // The value or the default (trimmed, like the platform does). maxBytes > 0
    // cuts the answer to at most maxBytes - 1 CP932 bytes (the platform's
    // buffer size, terminator included), never inside a character.
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {},
                       int maxBytes = 0) const;
    // GetPrivateProfileInt: default when the key is missing or empty,
    // otherwise the leading decimal number (sign allowed; no digits gives 0).
    std::int32_t readInt(const QString &section, const QString &key,
                         std::int32_t defaultValue) const;
    // The program's own integer rule: "0x" or "&h" (either case) followed by
    // up to 8 hexadecimal digits, else readInt() with the default.
    // With ampersandHex false only "0x"/"0X" counts as a hex prefix.
    std::int32_t readNumber(const QString &section, const QString &key, std::int32_t defaultValue,
                            bool ampersandHex = true) const;
    // Section names in file order (each name once, first spelling).
    QStringList sectionNames() const;
    // Key names of a section in file order (each once).
    QStringList keys(const QString &section) const;

    // --- Changing (in memory; save() writes) ----------------------------
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInt(const QString &section, const QString &key, long value);
    // Removes the first line of the key; false when there was none.
    bool removeKey(const QString &section, const QString &key);
    // Removes the first section with the name, its header and its lines.
    bool removeSection(const QString &section);

private:
    struct Line {
        QByteArray raw; // as read (CP932, without line end)
        enum Kind { Other, Section, Key } kind = Other;
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed and unquoted
    };
    static Line parseLine(const QByteArray &raw);
    // Index of the first section header with the name, or -1.
    qsizetype findSection(const QString &section) const;
    // End of the section that starts at header index (index of the next header or size()).
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString &key) const;

    QString m_path;
    QList<Line> m_lines;
    bool m_existed = false;
    QString m_error;
};

// The integer rule on a text: "0x"/"&h" prefix (any case; "&h" only with
// ampersandHex) then up to 8 hexadecimal digits, else nullopt so the caller
// falls back to the decimal reading.
std::optional<std::int32_t> ParseProfileHex(const QString &text, bool ampersandHex = true);
// atol-like decimal reading of a text: optional blanks and sign, then digits.
std::int32_t ParseProfileDecimal(const QString &text);

// One-shot calls in the style of the platform functions; each reads (and
// writes) the file under one process-wide lock.
QString IniReadString(const QString &path, const QString &section, const QString &key,
                      const QString &defaultValue = {}, int maxBytes = 0);
std::int32_t IniReadInt(const QString &path, const QString &section, const QString &key,
                        std::int32_t defaultValue);
std::int32_t IniReadNumber(const QString &path, const QString &section, const QString &key,
                           std::int32_t defaultValue, bool ampersandHex = true);
QStringList IniSectionNames(const QString &path);
bool IniWriteString(const QString &path, const QString &section, const QString &key,
                    const QString &value);
bool IniWriteInt(const QString &path, const QString &section, const QString &key, long value);
bool IniDeleteKey(const QString &path, const QString &section, const QString &key);
bool IniDeleteSection(const QString &path, const QString &section);
