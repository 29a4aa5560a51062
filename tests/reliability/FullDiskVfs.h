#pragma once
// A disk that fills up on command, for the register: an SQLite VFS made the
// process's default that hands everything to the real one, except that while
// "full" every write and every growth of a file answers SQLITE_FULL, as the
// real one does on ENOSPC. In WAL mode the register then fails at COMMIT,
// exactly where a full disk shows. Installed before the register is opened.

namespace FullDiskVfs
{

void install();
void setFull(bool full);
// Writes refused since install().
int refusedWrites();

// Fills the disk for the life of the object.
class Full
{
public:
    Full() { setFull(true); }
    ~Full() { setFull(false); }
    Full(const Full &) = delete;
    Full &operator=(const Full &) = delete;
};

} // namespace FullDiskVfs
