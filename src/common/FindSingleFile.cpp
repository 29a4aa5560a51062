#include "common/FindSingleFile.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace
{

// * and ? are the only wildcards; everything else is literal.
QRegularExpression wildcardExpression(const QString &name)
{
    QString re = QStringLiteral("\\A");
    QString literal;
    auto flush = [&] {
        re += QRegularExpression::escape(literal);
        literal.clear();
    };
    for (const QChar c : name) {
        if (c == QLatin1Char('*')) {
            flush();
            re += QStringLiteral(".*");
        } else if (c == QLatin1Char('?')) {
            flush();
            re += QLatin1Char('.');
        } else {
            literal += c;
        }
    }
    flush();
    re += QStringLiteral("\\z");
    return QRegularExpression(re, QRegularExpression::CaseInsensitiveOption |
                                      QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

FindSingleFileResult FindSingleFile(const QString &pattern)
{
    FindSingleFileResult result;
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : pattern.left(slash + 1);
    const QString name = pattern.mid(slash + 1);
    if (name.isEmpty())
        return result;

    const QRegularExpression re = wildcardExpression(name);
    QDir dir(folder);
    QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    std::sort(entries.begin(), entries.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    int matches = 0;
    for (const QString &entry : entries) {
        if (!re.match(entry).hasMatch())
            continue;
        ++matches;
        result.path = dir.absoluteFilePath(entry);
    }
    result.count = std::min(matches, 2);
    result.single = matches == 1;
    return result;
}
