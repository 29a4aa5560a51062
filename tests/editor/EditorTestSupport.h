#pragma once
// Shared pieces of the editor tests: sample files, small descriptions, a recording log.

#include "editor/DescriptionLoader.h"

#include <QFile>

#include <ostream>

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

// The version section, then the body as section "S" (entries count from DATA[1]).
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

// Index of the first entry with that key (the count of entries when none has it).
inline int keyIndex(const SettingsDescription &d, const QString &key)
{
    const auto it = std::find_if(d.entries.begin(), d.entries.end(),
                                 [&](const DescEntry &e) { return e.key == key; });
    return int(it - d.entries.begin());
}

struct RecordingLog {
    QList<std::pair<int, QString>> lines; // number, detail
    EditorErrorLog sink()
    {
        return [this](int number, const QString &, const QString &detail) {
            lines.append({number, detail});
        };
    }
};

} // namespace EditorTest
