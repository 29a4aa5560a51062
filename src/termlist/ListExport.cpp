#include "termlist/ListExport.h"

#include "common/Cp932.h"
#include "common/SafeFile.h"

#include <QDir>
#include <QFileInfo>

namespace ListExport
{

QString relativePath()
{
    return QStringLiteral("Data/List.txt");
}

QByteArray build(const std::vector<ViewColumn> &columns, const std::vector<TermEntry> &entries)
{
    const QString comma(QLatin1Char(','));
    const QString lineEnd(QStringLiteral("\r\n"));
    QString text;
    for (ViewColumn c : columns)
        text += ListColumns::baseHeader(c) + comma;
    text += lineEnd;
    QByteArray out = Cp932::encode(text);
    for (const TermEntry &e : entries) {
        text.clear();
        for (ViewColumn c : columns)
            text += ListColumns::exportText(c, e) + comma;
        text += lineEnd;
        out += Cp932::encode(text);
    }
    return out;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SafeFile::write(path, bytes);
}

} // namespace ListExport
