#pragma once
// Starts the real kelmngpc on a program folder and watches it from outside.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

class ProgramRunner
{
public:
    explicit ProgramRunner(const QString &programFolder, const QStringList &extraArgs = {},
                           const QString &platform = QStringLiteral("offscreen"),
                           const QString &display = QString());
    ~ProgramRunner();

    // An environment variable for the program (before start()).
    void setEnv(const QString &name, const QString &value);
    void start();
    // Waits for the process to end; answers false on time-out.
    bool waitForExit(int ms = 15000);
    void terminate(); // SIGTERM
    bool running() const;
    int exitCode() const { return m_proc.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_proc.exitStatus(); }
    QString stderrText();

    QProcess &process() { return m_proc; }

private:
    QProcess m_proc;
    QString m_folder;
    QStringList m_args;
    QByteArray m_err;
};

// Polls cond every 20 ms until it holds or ms have passed.
bool WaitFor(const std::function<bool()> &cond, int ms);

// Lays out a minimal program folder: Config/FTPauth.ini with the given INI
// text (none when empty) and an empty Log folder.
void MakeProgramFolder(const QString &dir, const QByteArray &ftpAuth);
