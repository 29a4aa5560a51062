#pragma once
// The checks the editor form makes when the user leaves an input: numbers,
// free texts (lengths in CP932 bytes, a regular expression), IPv4 addresses
// within a range and file paths; the text limits of the inputs; the texts of
// labels and tooltips. Plain functions, so they are tested without a window.

#include "editor/SettingsDescription.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace InputRules
{

// Outcome of one check: valid input and the text to store for it.
struct Checked {
    bool valid = false;
    QString stored;
};

// A number entry (texttype other than 1): empty, or unsigned digits whose
// value lies within the limits; stored without leading zeros.
Checked checkNumber(const QString &text, const TextSettings &t);
// A free-text entry (texttype 1): empty, or a length in CP932 bytes within
// the limits that matches the entry's expression (none: anything). A text
// with characters that CP932 can't hold would be lost in the file and fails.
Checked checkFreeText(const QString &text, const TextSettings &t);
// Either of the two by the entry's text type.
Checked checkText(const QString &text, const TextSettings &t);
// An address: empty (blank), or "a.b.c.d" within the range; stored as
// "%d.%d.%d.%d".
Checked checkAddress(const QString &text, const AddressSettings &a);
// A file path: free text of at most 255 bytes with the fixed path rule.
Checked checkFilePath(const QString &text);

// "a.b.c.d" with 1..3 digits per octet, each 0..255; first octet most
// significant.
std::optional<std::uint32_t> parseAddress(const QString &text);
QString formatAddress(std::uint32_t address);

// The text limit of an edit in bytes: the upper limit for free text, else
// the number of digits of the upper limit. File paths: 255.
int textLimit(const TextSettings &t);
constexpr int FilePathLimit = 255;
// The text cut to at most `limit` CP932 bytes, never inside a character.
QString cutToBytes(const QString &text, int limit);

// "* " + name for a required entry (inputneed 1 or 3), two blanks + name else.
QString labelText(const QString &name, int inputNeed);
// The description's tooltip with each "\r\n" (four characters) a line break.
QString tooltipText(const QString &raw);

// Where a line step of a page's scroll bar goes: to the next row boundary
// (rows of `row` pixels) in the direction, or a whole row on from one,
// within 0..maximum.
int scrollLineTarget(int position, bool down, int maximum, int row = 40);

} // namespace InputRules
