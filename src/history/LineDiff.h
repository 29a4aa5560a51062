#pragma once
// The side-by-side difference of two versions of a text file, line by line:
// each row holds a line of the left (older) version, of the right (newer)
// one, or both. Within a run of differing lines, a removed line and an added
// one are shown as one changed line: in INI files when they set the same key,
// in other files in their order. For INI files every row also names the
// section its line belongs to.

#include <QString>
#include <QStringList>

#include <vector>

namespace LineDiff
{

enum class RowKind { Same, Changed, Added, Removed };

struct Row {
    RowKind kind = RowKind::Same;
    int left = -1;  // line index on the left; -1: none there
    int right = -1; // line index on the right
    QString leftText;
    QString rightText;
    QString section; // INI: the line's section (on the right, else the left)
    QString key;     // INI: the key the line sets; empty for other lines
};

// Lines split at CR LF, LF or CR; a final line end adds no empty line.
QStringList splitLines(const QString &text);

// The section of every line of an INI text: a "[name]" line opens section
// name; a line beginning with "Version" opens the pseudo-section "Version".
QStringList sectionsOf(const QStringList &lines);
// The key a line of an INI text sets: the text before its first "="; empty
// for section headers and lines without "=".
QString keyOf(const QString &line);

std::vector<Row> compare(const QStringList &left, const QStringList &right, bool ini);

// The rows that differ and set a key: what changed, as section and key.
struct KeyChange {
    QString section;
    QString key;
    RowKind kind;
    bool operator==(const KeyChange &o) const = default;
};
std::vector<KeyChange> changedKeys(const std::vector<Row> &rows);

} // namespace LineDiff
