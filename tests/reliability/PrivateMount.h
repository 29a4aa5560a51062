#pragma once
// Small full file systems: the test runs again in a child with a private mount
// namespace (unshare -m), where its tmpfs vanishes with it. Needs root.

#include <QString>

namespace PrivateMount
{

enum class Where { Child, Parent, NotRoot }; // Parent: the child ran the test

Where runTestInChild();

// A tmpfs of `bytes` mounted on a folder for the life of the object.
class Tmpfs
{
public:
    Tmpfs(const QString &folder, qint64 bytes);
    ~Tmpfs();
    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

// Fills the file system of `folder` with one file (leaving `room` bytes in
// whole pages) and answers its path; removing it frees the room.
QString fill(const QString &folder, qint64 room = 0);

} // namespace PrivateMount

#define KEL_IN_PRIVATE_MOUNTS()                                                                    \
    do {                                                                                           \
        const PrivateMount::Where where_ = PrivateMount::runTestInChild();                         \
        if (where_ == PrivateMount::Where::NotRoot)                                                \
            GTEST_SKIP() << "needs root for a private tmpfs";                                      \
        if (where_ == PrivateMount::Where::Parent)                                                 \
            return;                                                                                \
    } while (0)
