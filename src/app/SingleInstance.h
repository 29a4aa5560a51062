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

// The machine-wide guard of the UDP port: a lock file in the system's
// temporary folder named after the port and the network stack the program
// runs in. A second copy started on another program folder with the same
// port would otherwise take the terminals' traffic from the first.
class UdpPortLock
{
public:
    explicit UdpPortLock(int port, const QString &folder = QString());
    ~UdpPortLock();

    // False when another running copy holds the port.
    bool acquire();
    QString fileName() const { return m_path; }

    // "QUVAIPPHONEMANAGER-udp<port>-net<id>.lock"; the id tells network
    // stacks (namespaces) apart, where the same port number is another port.
    static QString lockName(int port);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
