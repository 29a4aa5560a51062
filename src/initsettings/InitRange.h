#pragma once
// The range of terminal IDs handed to new terminals: a start number of up to
// 64 decimal digits and a count of 1..1000. Only the last four digits (the
// suffix) vary within the range; the rest (the prefix) is the same for every
// number, so the range may never carry into the prefix: suffix + count must
// stay below 10000.

#include <QString>

#include <cstdint>

namespace InitRangeRules
{
constexpr int MaxStartNoLength = 64;
constexpr int MinRange = 1;
constexpr int MaxRange = 1000;
} // namespace InitRangeRules

class InitRange
{
public:
    InitRange() = default;
    InitRange(const QString &startNo, int setRange) : m_startNo(startNo), m_setRange(setRange) {}

    QString startNo() const { return m_startNo; }
    int setRange() const { return m_setRange; }

    // All but the last four characters, right-aligned in 60 ("%60s").
    QString prefix() const;
    // The last four characters, right-aligned in 4 ("%4s").
    QString suffix() const;
    int suffixValue() const;

    // suffix + count < 10000: the range stays within the prefix.
    bool fits() const { return fits(m_startNo, m_setRange); }
    static bool fits(const QString &startNo, int setRange);

    // The range as whole numbers: the prefix's last five characters times
    // 10000 plus the suffix, and that plus count - 1. Register IDs are
    // compared by the number of their last nine characters.
    std::int64_t firstNumber() const;
    std::int64_t lastNumber() const { return firstNumber() + m_setRange - 1; }

    // The terminal ID of a four-digit number of the range: the prefix
    // followed by "%04d", leading blanks and zeros removed ("0" if nothing
    // is left).
    QString termIdFor(int fourDigits) const;

    // Start number text as the field takes it: digits only, not empty.
    static bool isDigits(const QString &text);
    // Leading zeros removed; "0" when nothing is left.
    static QString withoutLeadingZeros(const QString &digits);
    // Range text as the field takes it: digits only, 1..1000. Answers the
    // value, or -1 when the text is refused.
    static int parseRange(const QString &text);

private:
    QString m_startNo;
    int m_setRange = 0;
};
