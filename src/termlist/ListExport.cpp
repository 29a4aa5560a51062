#include "termlist/ListExport.h"

#include "common/Cp932.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace ListExport
