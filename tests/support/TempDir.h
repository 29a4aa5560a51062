#pragma once
// A fresh program folder for one test, removed afterwards.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempDir
{
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    // Full path of a file below the folder.
    QString file(const QString &relative) const;
    // Writes bytes into a file below the folder, creating folders on the way.
    void write(const QString &relative, const QByteArray &bytes) const;
    QByteArray read(const QString &relative) const;
    void mkdir(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};
