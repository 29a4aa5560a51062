#pragma once
// Where the program folder is, and how a new one is laid out.
//
// The folder, in this order: --program-folder=DIR; the environment variable
// KELMNGPC_PROGRAM_FOLDER; the executable's own folder when it already is a
// program folder (the portable layout: it holds Config/FTPauth.ini or the
// register); otherwise the per-user data folder (~/.local/share/KelMngPC).

#include <QString>
#include <QStringList>

namespace ProgramFolder
{

constexpr const char *Option = "--program-folder=";
constexpr const char *EnvironmentVariable = "KELMNGPC_PROGRAM_FOLDER";
// The model the samples were written for; a lay-out for another model
// names its copies after that model.
constexpr const char *SampleModel = "KT-100";

struct Choice {
    enum Source { CommandLine, Environment, Executable, UserData };
    QString folder;
    Source source = UserData;
};

// Whether dir holds Config/FTPauth.ini or the register file.
bool holdsProgramFolder(const QString &dir);

// The rule above. envValue: the variable's value (empty when unset);
// userDataDir: the per-user folder.
Choice resolve(const QStringList &args, const QString &envValue, const QString &exeDir,
               const QString &userDataDir);

// The per-user data folder: "KelMngPC" below the XDG data home.
QString userDataFolder();

// Makes the folder when it is missing, readable by its owner only: it will
// hold the phones' settings and accounts. False when it can't be made.
bool create(const QString &dir);

// A folder that does not exist or holds nothing but the names in `ignored`
// (the single-instance lock a start has just taken): the first start lays
// it out.
bool isFresh(const QString &dir, const QStringList &ignored = {});

// The installed samples ("share/kelmngpc" beside the executable's "bin",
// or below the build tree's executable); empty when there are none.
QString samplesFolder(const QString &exeDir);

// Lays out a program folder: the folder tree, the register, FTPTimer.ini
// with its defaults and the samples of samplesDir/Config (files named after
// the sample model are named after `model` when one is given). Files that
// exist are left alone. False, with *error, when something could not be made.
bool layOut(const QString &dir, const QString &samplesDir, const QString &model,
            QString *error = nullptr);

} // namespace ProgramFolder
