#include "FullDiskVfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace FullDiskVfs
{

namespace
{

std::atomic<bool> full{false};
std::atomic<int> refused{0};
sqlite3_vfs *real = nullptr;
sqlite3_vfs shim;

struct File {
    sqlite3_file base;
    sqlite3_file *inner; // the real VFS's file, allocated right behind this one
};

sqlite3_io_methods methods;

sqlite3_file *in(sqlite3_file *f)
{
    return reinterpret_cast<File *>(f)->inner;
}

int xClose(sqlite3_file *f)
{
    sqlite3_file *i = in(f);
    return i->pMethods ? i->pMethods->xClose(i) : SQLITE_OK;
}
int xRead(sqlite3_file *f, void *buf, int n, sqlite3_int64 off)
{
    return in(f)->pMethods->xRead(in(f), buf, n, off);
}
int xWrite(sqlite3_file *f, const void *buf, int n, sqlite3_int64 off)
{
    if (full) {
        ++refused;
        return SQLITE_FULL;
    }
    return in(f)->pMethods->xWrite(in(f), buf, n, off);
}
int xTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    return in(f)->pMethods->xTruncate(in(f), size);
}
int xSync(sqlite3_file *f, int flags)
{
    return in(f)->pMethods->xSync(in(f), flags);
}
int xFileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    return in(f)->pMethods->xFileSize(in(f), size);
}
int xLock(sqlite3_file *f, int l)
{
    return in(f)->pMethods->xLock(in(f), l);
}
int xUnlock(sqlite3_file *f, int l)
{
    return in(f)->pMethods->xUnlock(in(f), l);
}
int xCheckReservedLock(sqlite3_file *f, int *out)
{
    return in(f)->pMethods->xCheckReservedLock(in(f), out);
}
int xFileControl(sqlite3_file *f, int op, void *arg)
{
    // Growing a file ahead of its writes counts as a write.
    if (full && op == SQLITE_FCNTL_SIZE_HINT) {
        ++refused;
        return SQLITE_FULL;
    }
    return in(f)->pMethods->xFileControl(in(f), op, arg);
}
int xSectorSize(sqlite3_file *f)
{
    return in(f)->pMethods->xSectorSize(in(f));
}
int xDeviceCharacteristics(sqlite3_file *f)
{
    return in(f)->pMethods->xDeviceCharacteristics(in(f));
}
int xShmMap(sqlite3_file *f, int pg, int sz, int extend, void volatile **p)
{
    return in(f)->pMethods->xShmMap(in(f), pg, sz, extend, p);
}
int xShmLock(sqlite3_file *f, int offset, int n, int flags)
{
    return in(f)->pMethods->xShmLock(in(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file *f)
{
    in(f)->pMethods->xShmBarrier(in(f));
}
int xShmUnmap(sqlite3_file *f, int del)
{
    return in(f)->pMethods->xShmUnmap(in(f), del);
}
int xFetch(sqlite3_file *f, sqlite3_int64 off, int n, void **p)
{
    return in(f)->pMethods->xFetch(in(f), off, n, p);
}
int xUnfetch(sqlite3_file *f, sqlite3_int64 off, void *p)
{
    return in(f)->pMethods->xUnfetch(in(f), off, p);
}

int xOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags)
{
    auto *file = reinterpret_cast<File *>(f);
    file->inner = reinterpret_cast<sqlite3_file *>(file + 1);
    std::memset(file->inner, 0, std::size_t(real->szOsFile));
    const int rc = real->xOpen(real, name, file->inner, flags, outFlags);
    // With no methods the engine won't call xClose; the inner file is gone.
    f->pMethods = file->inner->pMethods ? &methods : nullptr;
    return rc;
}

} // namespace

void install()
{
    if (real)
        return;
    real = sqlite3_vfs_find(nullptr);
    shim = *real;
    shim.zName = "kel-full-disk";
    shim.szOsFile = int(sizeof(File)) + real->szOsFile;
    shim.xOpen = xOpen;
    shim.pNext = nullptr;

    // Only the methods the real files have (the unix VFS: version 3).
    methods = sqlite3_io_methods{3,
                                 xClose,
                                 xRead,
                                 xWrite,
                                 xTruncate,
                                 xSync,
                                 xFileSize,
                                 xLock,
                                 xUnlock,
                                 xCheckReservedLock,
                                 xFileControl,
                                 xSectorSize,
                                 xDeviceCharacteristics,
                                 xShmMap,
                                 xShmLock,
                                 xShmBarrier,
                                 xShmUnmap,
                                 xFetch,
                                 xUnfetch};
    sqlite3_vfs_register(&shim, 1);
}

void setFull(bool f)
{
    full = f;
}

int refusedWrites()
{
    return refused;
}

} // namespace FullDiskVfs
