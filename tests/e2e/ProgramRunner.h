#pragma once
// Starts the real kelmngpc (or another test program) and watches it from
// outside.

#include <QLocalSocket>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

class ProgramRunner
{
public:
    explicit ProgramRunner(const QString &programFolder = QString(),
                           const QStringList &extraArgs = {},
                           const QString &platform = QStringLiteral("offscreen"),
                           const QString &display = QString());
    ~ProgramRunner();

    // An environment variable for the program (before start()).
    void setEnv(const QString &name, const QString &value);
    // kelmngpc on the program folder; or any command (program, arguments).
    void start();
    void start(const QStringList &command);
    // Waits for the process to end; answers false on time-out.
    bool waitForExit(int ms = 15000);
    // Waits for the end: the exit code, or -1 on a crash or time-out.
    int finish(int ms = 15000);
    // Bytes for the program's standard input.
    void write(const QByteArray &bytes);
    void closeInput();
    void terminate(); // SIGTERM
    void kill();      // SIGKILL, then waits for the end
    bool running() const;
    int exitCode() const { return m_proc.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_proc.exitStatus(); }
    QString stderrText();
    // Reads stdout lines until one satisfies `until`; false when the program
    // ended or the time ran out first. lastLine() is the last line read.
    bool waitLine(const std::function<bool(const QByteArray &)> &until, int ms = 20000);
    QByteArray lastLine() const { return m_line; }

private:
    QProcess m_proc;
    QStringList m_args;
    QByteArray m_err, m_line;
};

// A client of the program's test-only control socket (KELMNGPC_TEST_CONTROL).
class ControlClient
{
public:
    // Connects, retrying until the program listens (20 s at most).
    bool connectTo(const QString &path);
    // One command line; its answer, or "(no answer)".
    QString ask(const QString &line);

private:
    QLocalSocket m_socket;
};

// Polls cond every 20 ms until it holds or ms have passed.
bool WaitFor(const std::function<bool()> &cond, int ms);

// An FTP account file with one account (model KT-100, termsim's kel/secret).
extern const QByteArray OneFtpAccount;

// Lays out a minimal program folder: Config/FTPauth.ini (owner-only) with
// the given INI text (none when empty) and an empty Log folder; with a UDP port, also a
// register that says to use it.
void MakeProgramFolder(const QString &dir, const QByteArray &ftpAuth = OneFtpAccount,
                       int udpPort = 0);

// A private X server (Xvfb) for the tests that need real windows: on the
// offscreen platform nobody could see a message box, so the program answers
// them itself.
class XServer
{
public:
    ~XServer();
    // False when Xvfb is not installed or does not come up.
    bool start();
    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};
