#include "editor/InputRules.h"

#include "common/Cp932.h"
#include "common/RegexTest.h"

#include <QStringList>

#include <algorithm>

namespace InputRules
{

namespace
{

// Only unsigned digit strings pass (the second "^" keeps a sign out).
const QString kNumberPattern = QStringLiteral("^[-+]?^[0-9]*$");
// File names: no control characters, quotes, angle brackets or bars.
const QString kFilePathPattern = QStringLiteral("(?![\\000-\\031\"<>\\|])*");

using Cp932::representable;

} // namespace

Checked checkNumber(const QString &text, const TextSettings &t)
{
    if (text.isEmpty())
        return {true, QString()};
    if (!RegexTest(kNumberPattern, text))
        return {};
    std::int64_t v = 0;
    for (QChar c : text)
        v = std::min<std::int64_t>(v * 10 + (c.unicode() - u'0'), std::int64_t(1) << 40);
    if (v < t.lower || v > t.upper)
        return {};
    return {true, QString::number(v)};
}

Checked checkFreeText(const QString &text, const TextSettings &t)
{
    if (text.isEmpty())
        return {true, QString()};
    if (!representable(text))
        return {};
    const qsizetype bytes = Cp932::byteLength(text);
    if (bytes < t.lower || bytes > t.upper)
        return {};
    if (!t.regExpression.isEmpty() && !RegexTest(t.regExpression, text))
        return {};
    return {true, text};
}

Checked checkText(const QString &text, const TextSettings &t)
{
    return t.textType == 1 ? checkFreeText(text, t) : checkNumber(text, t);
}

std::optional<std::uint32_t> parseAddress(const QString &text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return std::nullopt;
    std::uint32_t v = 0;
    for (const QString &p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return std::nullopt;
        int octet = 0;
        for (QChar c : p) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            octet = octet * 10 + (c.unicode() - u'0');
        }
        if (octet > 255)
            return std::nullopt;
        v = (v << 8) | std::uint32_t(octet);
    }
    return v;
}

QString formatAddress(std::uint32_t a)
{
    return QString::asprintf("%u.%u.%u.%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF);
}

Checked checkAddress(const QString &text, const AddressSettings &a)
{
    if (text.isEmpty())
        return {true, QString()};
    const std::optional<std::uint32_t> v = parseAddress(text);
    if (!v || *v < a.lower || *v > a.upper)
        return {};
    return {true, formatAddress(*v)};
}

Checked checkFilePath(const QString &text)
{
    if (text.isEmpty())
        return {true, QString()};
    if (!representable(text) || Cp932::byteLength(text) > FilePathLimit ||
        !RegexTest(kFilePathPattern, text))
        return {};
    return {true, text};
}

int textLimit(const TextSettings &t)
{
    if (t.textType == 1)
        return int(t.upper);
    return int(QString::number(t.upper).size());
}

QString cutToBytes(const QString &text, int limit)
{
    if (text.size() * 2 <= limit)
        return text;
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const int b = int(Cp932::byteLength(text.mid(i, n)));
        if (bytes + b > limit)
            break;
        bytes += b;
        i += n;
    }
    return text.left(i);
}

QString labelText(const QString &name, int inputNeed)
{
    return (inputNeed == 1 || inputNeed == 3 ? QStringLiteral("* ") : QStringLiteral("  ")) + name;
}

QString tooltipText(const QString &raw)
{
    QString out = raw;
    out.replace(QLatin1String("\\r\\n"), QLatin1String("\n"));
    return out;
}

int scrollLineTarget(int position, bool down, int maximum, int row)
{
    int target;
    if (down)
        target = (position / row + 1) * row;
    else
        target = position % row ? position / row * row : position - row;
    return std::clamp(target, 0, std::max(0, maximum));
}

} // namespace InputRules
