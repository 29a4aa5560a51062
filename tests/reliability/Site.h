#pragma once
// The real program on a folder of its own below a temporary root, so that
// whatever leaks out of the program folder lands where a test can see it.

#include "PrivateMount.h"
#include "ProgramRunner.h"
#include "support/TempDir.h"

#include <QMap>
#include <QStringList>

#include <memory>

class Site
{
public:
    // tmpfsBytes > 0: the root is a tmpfs of that size (private mounts only).
    explicit Site(int udpPort, qint64 tmpfsBytes = 0);
    QString folder() const { return m_folder; }
    QString root() const { return m_root.path(); }
    // A register in the folder with provisional rows for the IDs first.. first+count-1.
    static void addRows(const QString &programFolder, int first, int count);
    std::unique_ptr<ProgramRunner> start(); // no pause before its UDP sends
    // The terminal IDs of the day's "Err01" log lines (a provisional row adopted).
    QStringList loggedIds() const;

    // The register read from outside (the program must not hold it).
    struct Register {
        QString integrity;
        QMap<QString, QPair<int, QString>> rows; // trimmed ID -> (TermEntryType, MAC)
    };
    Register readRegister() const { return readRegister(m_folder); }
    static Register readRegister(const QString &programFolder);

private:
    TempDir m_root;
    std::unique_ptr<PrivateMount::Tmpfs> m_fs;
    QString m_folder;
};

// Runs a role of the reliability child and kills it once its progress window
// shows at least `atLeast` for the operation; answers what it showed last.
int killedAt(const QStringList &role, int operation, int atLeast);
