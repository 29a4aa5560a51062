#include "common/ProcessValues.h"

#include <QDir>
#include <QMutex>

#include <cstdlib>

namespace
{
QMutex g_folderMutex;
QString g_programFolder = QStringLiteral("./");
} // namespace

namespace ProcessValues
{

QString programFolder()
{
    QMutexLocker lock(&g_folderMutex);
    return g_programFolder;
}

void setProgramFolder(const QString &dir)
{
    QString d = QDir::cleanPath(QDir(dir).absolutePath());
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    QMutexLocker lock(&g_folderMutex);
    g_programFolder = d;
}

QString programPath(const QString &relative)
{
    return programFolder() + relative;
}

int timerTickMs()
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue("KELMNGPC_TICK_MS", &ok);
    return ok && v > 0 ? v : 100;
}

} // namespace ProcessValues

std::int32_t ParseSendDelay(const QString &commandLine)
{
    QString line = commandLine;
    while (!line.isEmpty() && line.front() == QLatin1Char(' '))
        line.remove(0, 1);
    line = line.toLower();
    const QString key = QStringLiteral("/wait=");
    const qsizetype at = line.indexOf(key);
    if (at < 0)
        return 100;
    QString value = line.mid(at + key.size());
    const qsizetype blank = value.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        value.truncate(blank);
    // atol: leading white space, optional sign, digits; anything else ends it.
    const long v = std::atol(value.toLatin1().constData());
    return v == 0 ? 100 : static_cast<std::int32_t>(v);
}
