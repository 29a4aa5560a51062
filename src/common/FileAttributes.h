#pragma once
// Read-only and hidden file attributes on a file system without them:
// read-only means no write permission bits, hidden additionally no read
// permission for group and others. Writers of a protected file clear
// read-only, write, and set the attributes again.

#include <QString>

#include <optional>

namespace FileAttr
{
constexpr unsigned ReadOnly = 0x1;
constexpr unsigned Hidden = 0x2;
} // namespace FileAttr

// The file's attributes (FileAttr bits); nullopt when it does not exist.
std::optional<unsigned> GetFileAttributes(const QString &path);
// Sets exactly the given attributes (others cleared). False when the file
// does not exist or its permissions can't be changed.
bool SetFileAttributes(const QString &path, unsigned attributes);
// Adds or clears some attributes, leaving the others as they are.
bool AddFileAttributes(const QString &path, unsigned attributes);
bool ClearFileAttributes(const QString &path, unsigned attributes);

// Short forms: false for a missing file.
bool IsReadOnly(const QString &path);
bool IsHidden(const QString &path);
