#pragma once
// The resident memory of this process, for the memory figures of the benches.

#include <QByteArray>
#include <QFile>

// VmRSS in kilobytes; -1 when it can't be read.
inline long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
