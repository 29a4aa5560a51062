#pragma once
// The two start-up guards, both locks that the kernel holds for the process
// (flock on an open file) and drops when it ends however it ends: what the
// lock file holds does not matter, so an empty or unreadable file left by a
// power cut, or put there by another user, never keeps the program from
// starting.
//
// SingleInstance: one copy per program folder, "QUVAIPPHONEMANAGER.lock" in
// the program folder (named after the program's mutex).
// UdpPortLock: one copy per UDP port and network stack, in a folder only the
// user can write ($XDG_RUNTIME_DIR, else "kelmngpc-<uid>" in the temporary
// folder, made 0700 and checked to be the user's own); a second copy
// started on another program folder with the same port would otherwise
// take the terminals' traffic from the first.

#include <QString>

class FileLock
{
public:
    explicit FileLock(const QString &path) : m_path(path) {}
    ~FileLock() { unlock(); }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // False when a live process holds the lock (or the file can't be made).
    bool tryLock();
    // Removes the file and lets go.
    void unlock();
    bool isLocked() const { return m_fd >= 0; }
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};

class SingleInstance
{
public:
    explicit SingleInstance(const QString &programFolder);

    // False when another running copy holds the lock.
    bool acquire() { return m_lock.tryLock(); }
    void release() { m_lock.unlock(); }

    static QString lockName() { return QStringLiteral("QUVAIPPHONEMANAGER.lock"); }

private:
    FileLock m_lock;
};

class UdpPortLock
{
public:
    // folder: where the lock goes; empty: lockFolder().
    explicit UdpPortLock(int port, const QString &folder = QString());

    // False when another running copy holds the port. Without a folder of
    // the user's own there is no lock; the socket's bind still refuses a
    // port that another program holds.
    bool acquire();
    QString fileName() const { return m_lock.path(); }

    // "QUVAIPPHONEMANAGER-udp<port>-net<id>.lock"; the id tells network
    // stacks (namespaces) apart, where the same port number is another port.
    static QString lockName(int port);
    // $XDG_RUNTIME_DIR when it is the user's own and nobody else may write
    // in it, else "<temporary folder>/kelmngpc-<uid>" (made 0700 when
    // missing, used only when the user's own with no group or other
    // rights); empty when neither will do.
    static QString lockFolder();

private:
    FileLock m_lock;
};
