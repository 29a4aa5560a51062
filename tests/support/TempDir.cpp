#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempDir::TempDir() : m_dir(QDir::tempPath() + QStringLiteral("/kelmng-test-XXXXXX")) {}

QString TempDir::file(const QString &relative) const
{
    return m_dir.filePath(relative);
}

void TempDir::write(const QString &relative, const QByteArray &bytes) const
{
    const QString p = file(relative);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TempDir::read(const QString &relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TempDir::mkdir(const QString &relative) const
{
    QDir().mkpath(file(relative));
}
