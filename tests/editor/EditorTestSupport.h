#pragma once
// Shared pieces of the editor tests: the repository's sample files, small
// descriptions built around a body, and a log that records its lines.

#include "editor/DescriptionLoader.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <ostream>

// Readable strings in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace EditorTest
{

inline QByteArray repoFile(const QString &relative)
{
    QFile f(QStringLiteral(KEL_SOURCE_DIR "/") + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A description whose first section is the version section; the body
// follows as the second section "S" (so its entries count from DATA[1]).
inline QByteArray withVersion(const QString &body)
{
    return (QStringLiteral(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DISP>"
                           u"<section key=\"Version\" name=\"版数\"><data><key>Version</key>"
                           u"<name>版数</name><default>1.00</default><inputtype>7</inputtype>"
                           u"<inputrule>0</inputrule></data></section>"
                           u"<section key=\"S\" name=\"設定\">") +
            body + QStringLiteral("</section></DISP>"))
        .toUtf8();
}

// One data element: key K<n>, a name, the given inner elements.
inline QString data(int n, const QString &inner)
{
    return QStringLiteral("<data><key>K%1</key><name>N%1</name>").arg(n) + inner +
           QStringLiteral("</data>");
}

struct LogLine {
    int number;
    QString termId, detail;
};

struct RecordingLog {
    QList<LogLine> lines;
    EditorErrorLog sink()
    {
        return [this](int number, const QString &termId, const QString &detail) {
            lines.append({number, termId, detail});
        };
    }
};

} // namespace EditorTest
