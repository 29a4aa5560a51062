#pragma once
// Shared pieces of the editor tests: the repository's sample files, small
// descriptions built around a body, and a log that records its lines.

#include "editor/DescriptionLoader.h"

#include <QFile>

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
    return (QStringLiteral(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DISP><section key=\"Version\" "
                           u"name=\"版数\"><data><key>Version</key><name>版数</name><default>1.00"
                           u"</default><inputtype>7</inputtype><inputrule>0</inputrule></data>"
                           u"</section><section key=\"S\" name=\"設定\">") +
            body + QStringLiteral("</section></DISP>"))
        .toUtf8();
}

// One data element: key K<n>, a name, the given inner elements.
inline QString data(int n, const QString &inner)
{
    return QStringLiteral("<data><key>K%1</key><name>N%1</name>").arg(n) + inner + QStringLiteral("</data>");
}

struct RecordingLog {
    QList<std::pair<int, QString>> lines; // number, detail
    EditorErrorLog sink()
    {
        return [this](int number, const QString &, const QString &detail) { lines.append({number, detail}); };
    }
};

} // namespace EditorTest
