#include "register/JetSql.h"

#include <QRegularExpression>

namespace
{

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// End (exclusive) of the string literal that starts at i ('...' with '' inside).
qsizetype literalEnd(const QString &s, qsizetype i)
{
    qsizetype j = i + 1;
    while (j < s.size()) {
        if (s.at(j) == QLatin1Char('\'')) {
            if (j + 1 < s.size() && s.at(j + 1) == QLatin1Char('\'')) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return s.size(); // unterminated: the engine reports it
}

QString literalValue(const QString &literal)
{
    QString inner = literal.mid(1, literal.size() >= 2 ? literal.size() - 2 : 0);
    inner.replace(QLatin1String("''"), QLatin1String("'"));
    return inner;
}

QString quoted(const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

// Jet Format() pattern -> strftime pattern.
QString formatPattern(const QString &jet)
{
    static const struct {
        const char *jet;
        const char *sqlite;
    } map[] = {{"yyyy", "%Y"}, {"mm", "%m"}, {"dd", "%d"},
               {"hh", "%H"},   {"nn", "%M"}, {"ss", "%S"}};
    QString out;
    for (qsizetype i = 0; i < jet.size();) {
        bool done = false;
        for (const auto &m : map) {
            const QLatin1String token(m.jet);
            if (jet.mid(i, token.size()).compare(token, Qt::CaseInsensitive) == 0) {
                out += QLatin1String(m.sqlite);
                i += token.size();
                done = true;
                break;
            }
        }
        if (done)
            continue;
        if (jet.at(i) == QLatin1Char('%'))
            out += QLatin1String("%%");
        else
            out += jet.at(i);
        ++i;
    }
    return out;
}

// Index of the ")" matching the "(" at open, or -1.
qsizetype matchingParen(const QString &s, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\'')) {
            i = literalEnd(s, i) - 1;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            if (--depth == 0)
                return i;
        }
    }
    return -1;
}

QStringList splitArgs(const QString &s)
{
    QStringList args;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\''))
            i = literalEnd(s, i) - 1;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        else if (c == QLatin1Char(',') && depth == 0) {
            args << s.mid(start, i - start);
            start = i + 1;
        }
    }
    args << s.mid(start);
    return args;
}

QString translateBody(const QString &s);

// Translates Format(a,'pattern') whose "(" is at open; answers false when the
// call doesn't have that shape (it is then copied as it is).
bool translateFormat(const QString &s, qsizetype open, qsizetype close, QString &out)
{
    const QStringList args = splitArgs(s.mid(open + 1, close - open - 1));
    if (args.size() != 2)
        return false;
    const QString pattern = args.at(1).trimmed();
    if (pattern.size() < 2 || !pattern.startsWith(QLatin1Char('\'')) ||
        literalEnd(pattern, 0) != pattern.size())
        return false;
    out += QLatin1String("strftime(") + quoted(formatPattern(literalValue(pattern))) +
           QLatin1Char(',') + translateBody(args.at(0)) + QLatin1Char(')');
    return true;
}

QString translateBody(const QString &s)
{
    QString out;
    out.reserve(s.size() + 32);
    QString lastWord; // the last keyword or name, cleared by anything but blanks
    for (qsizetype i = 0; i < s.size();) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype end = literalEnd(s, i);
            const QString literal = s.mid(i, end - i);
            if (lastWord.compare(QLatin1String("LIKE"), Qt::CaseInsensitive) == 0)
                out +=
                    quoted(JetLikeToSqlite(literalValue(literal))) + QLatin1String(" ESCAPE '\\'");
            else
                out += literal;
            lastWord.clear();
            i = end;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = s.indexOf(QLatin1Char(']'), i);
            const qsizetype stop = end < 0 ? s.size() : end + 1;
            out += s.mid(i, stop - i);
            lastWord.clear();
            i = stop;
        } else if (isIdentStart(c)) {
            qsizetype j = i + 1;
            while (j < s.size() && isIdentChar(s.at(j)))
                ++j;
            const QString word = s.mid(i, j - i);
            qsizetype k = j;
            while (k < s.size() && s.at(k).isSpace())
                ++k;
            const bool call = k < s.size() && s.at(k) == QLatin1Char('(');
            if (call && word.compare(QLatin1String("Format"), Qt::CaseInsensitive) == 0) {
                const qsizetype close = matchingParen(s, k);
                if (close > 0 && translateFormat(s, k, close, out)) {
                    lastWord.clear();
                    i = close + 1;
                    continue;
                }
            }
            if (call && (word.compare(QLatin1String("LTrim"), Qt::CaseInsensitive) == 0 ||
                         word.compare(QLatin1String("RTrim"), Qt::CaseInsensitive) == 0 ||
                         word.compare(QLatin1String("Trim"), Qt::CaseInsensitive) == 0))
                out += word.toLower();
            else
                out += word;
            lastWord = word;
            i = j;
        } else {
            out += c;
            if (!c.isSpace())
                lastWord.clear();
            ++i;
        }
    }
    return out;
}

} // namespace

QString JetLikeToSqlite(const QString &jetPattern)
{
    QString out;
    out.reserve(jetPattern.size() + 4);
    for (const QChar c : jetPattern) {
        switch (c.unicode()) {
        case '*':
            out += QLatin1Char('%');
            break;
        case '?':
            out += QLatin1Char('_');
            break;
        case '%':
        case '_':
        case '\\':
            out += QLatin1Char('\\');
            out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString JetToSqlite(const QString &jetSql)
{
    static const QRegularExpression top(QStringLiteral("^\\s*SELECT\\s+TOP\\s+(\\d+)\\s+"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = top.match(jetSql);
    if (!m.hasMatch())
        return translateBody(jetSql);
    QString body = QLatin1String("SELECT ") + jetSql.mid(m.capturedEnd());
    // A trailing ";" must stay after the LIMIT clause.
    QString tail;
    while (body.endsWith(QLatin1Char(';')) || body.endsWith(QLatin1Char(' '))) {
        tail.prepend(body.back());
        body.chop(1);
    }
    return translateBody(body) + QLatin1String(" LIMIT ") + m.captured(1) + tail;
}
