#include "common/RegexTest.h"

#include <QRegularExpression>

namespace
{

bool isHex(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Rewrites the constructs in which the scripting engine's syntax differs:
// "$" matches only at the very end of the text (ours also before a final line
// break), "\uXXXX" names a character, "[]" matches nothing and "[^]" anything.
QString translate(const QString &p)
{
    QString out;
    out.reserve(p.size() + 8);
    bool inClass = false;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == QLatin1Char('\\') && i + 1 < p.size()) {
            const QChar n = p[i + 1];
            if (n == QLatin1Char('u') && i + 5 < p.size() && isHex(p[i + 2]) && isHex(p[i + 3]) &&
                isHex(p[i + 4]) && isHex(p[i + 5])) {
                out += QStringLiteral("\\x{") + p.mid(i + 2, 4) + QLatin1Char('}');
                i += 5;
            } else {
                out += c;
                out += n;
                ++i;
            }
            continue;
        }
        if (inClass) {
            if (c == QLatin1Char(']'))
                inClass = false;
            out += c;
            continue;
        }
        if (c == QLatin1Char('[')) {
            if (p.mid(i, 2) == QLatin1String("[]")) {
                out += QStringLiteral("(?!)");
                i += 1;
                continue;
            }
            if (p.mid(i, 3) == QLatin1String("[^]")) {
                out += QStringLiteral("[\\s\\S]");
                i += 2;
                continue;
            }
            inClass = true;
            out += c;
            // A "]" right after "[" or "[^" would be literal for us but ends
            // the class for the scripting engine; the cases above cover it.
            if (i + 1 < p.size() && p[i + 1] == QLatin1Char('^')) {
                out += p[i + 1];
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char('$')) {
            out += QStringLiteral("\\z");
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

bool RegexTest(const QString &pattern, const QString &text)
{
    const QRegularExpression re(translate(pattern));
    if (!re.isValid())
        return false;
    return re.match(text).hasMatch();
}
