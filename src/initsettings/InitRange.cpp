#include "initsettings/InitRange.h"

#include <algorithm>
#include <cstdlib>

namespace
{

QString rightAligned(const QString &s, int width)
{
    return s.size() >= width ? s : QString(width - s.size(), QLatin1Char(' ')) + s;
}

// atol: leading blanks, then digits as far as they go.
std::int64_t atolLike(const QString &text)
{
    const QByteArray b = text.toLatin1();
    return std::strtoll(b.constData(), nullptr, 10);
}

} // namespace

QString InitRange::prefix() const
{
    const qsizetype n = m_startNo.size();
    return rightAligned(n > 4 ? m_startNo.left(n - 4) : QString(), 60);
}

QString InitRange::suffix() const
{
    return rightAligned(m_startNo.right(4), 4);
}

int InitRange::suffixValue() const
{
    return static_cast<int>(atolLike(suffix()));
}

bool InitRange::fits(const QString &startNo, int setRange)
{
    return InitRange(startNo, setRange).suffixValue() + setRange < 10000;
}

std::int64_t InitRange::firstNumber() const
{
    return atolLike(prefix().right(5)) * 10000 + suffixValue();
}

QString InitRange::termIdFor(int fourDigits) const
{
    const QString id = prefix() + QString::asprintf("%04d", fourDigits);
    qsizetype i = 0;
    while (i < id.size() && (id[i] == QLatin1Char(' ') || id[i] == QLatin1Char('0')))
        ++i;
    return i == id.size() ? QStringLiteral("0") : id.mid(i);
}

bool InitRange::isDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

QString InitRange::withoutLeadingZeros(const QString &digits)
{
    qsizetype i = 0;
    while (i < digits.size() && digits[i] == QLatin1Char('0'))
        ++i;
    return i == digits.size() ? QStringLiteral("0") : digits.mid(i);
}

int InitRange::parseRange(const QString &text)
{
    if (!isDigits(text) || text.size() > 4)
        return -1;
    const int v = text.toInt();
    return v >= InitRangeRules::MinRange && v <= InitRangeRules::MaxRange ? v : -1;
}
