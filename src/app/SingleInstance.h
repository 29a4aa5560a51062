#pragma once
// The single-instance guard: a lock file named after the program's mutex,
// "QUVAIPPHONEMANAGER", in the program folder. A lock left behind by a run
// that crashed is recognised as stale (its process is gone) and taken over.

#include <QLockFile>
#include <QString>

#include <memory>

class SingleInstance
{
public:
    explicit SingleInstance(const QString &programFolder);
    ~SingleInstance();

    // False when another running copy holds the lock.
    bool acquire();
    void release();

    static QString lockName() { return QStringLiteral("QUVAIPPHONEMANAGER.lock"); }

private:
    std::unique_ptr<QLockFile> m_lock;
};
