#include "setup/ProgramFolder.h"

#include "comm/FtpSettings.h"
#include "common/SafeFile.h"
#include "register/TermDatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramFolder
{

namespace
{

// The folder tree of a program folder (Log must exist for the daily log).
const char *const kFolders[] = {"Config",    "Config/Sys", "Config/User",    "Data/Sys",
                                "Data/User", "Data/Dial",  "Boot",           "Apli",
                                "Log",       "Schedule",   "Schedule/Result"};

bool failed(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Copies every sample below samplesDir/Config that is not there yet.
bool copySamples(const QString &dir, const QString &samplesDir, const QString &model,
                 QString *error)
{
    const QString from = samplesDir + QLatin1String("/Config");
    const QString sampleTag = QLatin1Char('_') + QLatin1String(SampleModel) + QLatin1Char('_');
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        QString rel = QDir(from).relativeFilePath(source);
        if (!model.isEmpty())
            rel.replace(sampleTag, QLatin1Char('_') + model + QLatin1Char('_'));
        const QString target = dir + QLatin1String("/Config/") + rel;
        if (QFileInfo::exists(target))
            continue;
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            return failed(error, QStringLiteral("can't read %1: %2").arg(source, in.errorString()));
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return failed(error, QStringLiteral("can't create the folder of ") + target);
        QString why;
        if (!SafeFile::write(target, in.readAll(), &why))
            return failed(error, why);
    }
    return true;
}

} // namespace

bool holdsProgramFolder(const QString &dir)
{
    const QDir d(dir);
    return QFileInfo::exists(d.filePath(QStringLiteral("Config/FTPauth.ini"))) ||
           QFileInfo::exists(d.filePath(QLatin1String(CTermDatabase::FileName)));
}

Choice resolve(const QStringList &args, const QString &envValue, const QString &exeDir,
               const QString &userDataDir)
{
    const QString option = QLatin1String(Option);
    for (const QString &a : args)
        if (a.startsWith(option))
            return {a.mid(option.size()), Choice::CommandLine};
    if (!envValue.isEmpty())
        return {envValue, Choice::Environment};
    if (holdsProgramFolder(exeDir))
        return {exeDir, Choice::Executable};
    return {userDataDir, Choice::UserData};
}

QString userDataFolder()
{
    // Named here rather than through the application's name, which an
    // organisation name set for the settings would move.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/KelMngPC");
}

bool create(const QString &dir)
{
    if (QFileInfo(dir).isDir())
        return true;
    return QDir().mkpath(dir) &&
           QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool isFresh(const QString &dir, const QStringList &ignored)
{
    const QDir d(dir);
    if (!d.exists())
        return true;
    const QStringList entries =
        d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries)
        if (!ignored.contains(e))
            return false;
    return true;
}

QString samplesFolder(const QString &exeDir)
{
    for (const char *rel : {"/../share/kelmngpc", "/share/kelmngpc"}) {
        const QString candidate = QDir::cleanPath(exeDir + QLatin1String(rel));
        if (QFileInfo(candidate + QLatin1String("/Config")).isDir())
            return candidate;
    }
    return {};
}

bool layOut(const QString &dir, const QString &samplesDir, const QString &model, QString *error)
{
    if (!create(dir))
        return failed(error, QStringLiteral("can't create the folder ") + dir);
    for (const char *sub : kFolders) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(sub);
        if (!QDir().mkpath(path))
            return failed(error, QStringLiteral("can't create the folder ") + path);
    }
    CTermDatabase reg(dir);
    if (!reg.createIfAbsent())
        return failed(error, QStringLiteral("can't create the register ") + reg.filePath());
    // Reading the timer file writes its missing keys with their defaults.
    const QString timer = dir + QLatin1String("/FTPTimer.ini");
    ReadFtpTimerFile(timer);
    if (!QFileInfo::exists(timer))
        return failed(error, QStringLiteral("can't create ") + timer);
    if (samplesDir.isEmpty())
        return failed(error, QStringLiteral("no samples installed (share/kelmngpc)"));
    return copySamples(dir, samplesDir, model, error);
}

} // namespace ProgramFolder
