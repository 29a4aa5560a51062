#pragma once
// Today's log (by the log's clock) of a program folder, decoded; empty while there is none.

#include "comm/OpLog.h"
#include "common/Cp932.h"

#include <QFile>
#include <QFileInfo>

inline QString todayLog(const QString &programFolder)
{
    QFile f(programFolder + QStringLiteral("/Log/") + QFileInfo(OpLog::todayFilePath()).fileName());
    return f.open(QIODevice::ReadOnly) ? Cp932::decode(f.readAll()) : QString();
}
