#pragma once
// Looks for the one file that a wildcard path names, e.g.
// programPath("Config/Sys/sysconfig_X_*.xml"). The wildcards * (any run of
// characters) and ? (one character) are allowed in the file-name part only;
// names compare case-insensitively, as on the original file system.

#include <QString>

struct FindSingleFileResult {
    bool single = false; // exactly one file matched
    int count = 0;       // 0, 1, or 2 for two or more
    QString path;        // full path of the last match seen (names in sorted order)
};

FindSingleFileResult FindSingleFile(const QString &pattern);
