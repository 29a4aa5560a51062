#include "ProgramRunner.h"

#include "register/TermDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <csignal>

const QByteArray OneFtpAccount = "[System]\r\nCount=1\r\n\r\n[ModelSet1]\r\nMODEL=KT-100\r\n"
                                 "ID=kel\r\nPW=secret\r\n";

ProgramRunner::ProgramRunner(const QString &programFolder, const QStringList &extraArgs,
                             const QString &platform, const QString &display)
{
    m_args << QStringLiteral("--program-folder=%1").arg(programFolder) << extraArgs;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("KELMNGPC_TICK_MS"), QStringLiteral("10"));
    // The program's own language whatever the machine's locale, and no
    // language the user chose elsewhere; a test sets others itself.
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    if (!programFolder.isEmpty())
        env.insert(QStringLiteral("XDG_CONFIG_HOME"),
                   programFolder + QStringLiteral("/.userconfig"));
    m_proc.setProcessEnvironment(env);
}

ProgramRunner::~ProgramRunner()
{
    if (running())
        kill();
}

void ProgramRunner::setEnv(const QString &name, const QString &value)
{
    QProcessEnvironment env = m_proc.processEnvironment();
    env.insert(name, value);
    m_proc.setProcessEnvironment(env);
}

void ProgramRunner::start()
{
    start(QStringList{QStringLiteral(KEL_PROGRAM)} + m_args);
}

void ProgramRunner::start(const QStringList &command)
{
    m_proc.start(command.first(), command.mid(1));
    m_proc.waitForStarted(5000);
}

bool ProgramRunner::waitForExit(int ms)
{
    return m_proc.waitForFinished(ms);
}

int ProgramRunner::finish(int ms)
{
    if (!waitForExit(ms) || exitStatus() != QProcess::NormalExit)
        return -1;
    return exitCode();
}

void ProgramRunner::write(const QByteArray &bytes)
{
    m_proc.write(bytes);
    m_proc.waitForBytesWritten(5000);
}

void ProgramRunner::closeInput()
{
    m_proc.closeWriteChannel();
}

void ProgramRunner::terminate()
{
    if (running())
        ::kill(static_cast<pid_t>(m_proc.processId()), SIGTERM);
}

void ProgramRunner::kill()
{
    m_proc.kill();
    m_proc.waitForFinished(10000);
}

bool ProgramRunner::running() const
{
    return m_proc.state() != QProcess::NotRunning;
}

QString ProgramRunner::stderrText()
{
    // While the program runs, what it wrote arrives through the event loop.
    QCoreApplication::processEvents();
    m_err += m_proc.readAllStandardError();
    return QString::fromUtf8(m_err);
}

bool ProgramRunner::waitLine(const std::function<bool(const QByteArray &)> &until, int ms)
{
    QElapsedTimer t;
    t.start();
    for (;;) {
        while (m_proc.canReadLine()) {
            m_line = m_proc.readLine().trimmed();
            if (until(m_line))
                return true;
        }
        if (!running() || t.elapsed() > ms)
            return false;
        m_proc.waitForReadyRead(20);
    }
}

bool ControlClient::connectTo(const QString &path)
{
    m_socket.abort(); // a program started before
    return WaitFor(
        [&] {
            m_socket.connectToServer(path);
            if (m_socket.waitForConnected(200))
                return true;
            m_socket.abort();
            return false;
        },
        20000);
}

QString ControlClient::ask(const QString &line)
{
    m_socket.write(line.toUtf8() + '\n');
    m_socket.waitForBytesWritten(5000);
    while (!m_socket.canReadLine())
        if (!m_socket.waitForReadyRead(10000))
            return QStringLiteral("(no answer)");
    return QString::fromUtf8(m_socket.readLine()).trimmed();
}

bool WaitFor(const std::function<bool()> &cond, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

void MakeProgramFolder(const QString &dir, const QByteArray &ftpAuth, int udpPort)
{
    QDir().mkpath(dir + QStringLiteral("/Log"));
    if (!ftpAuth.isEmpty()) {
        QDir().mkpath(dir + QStringLiteral("/Config"));
        QFile f(dir + QStringLiteral("/Config/FTPauth.ini"));
        if (f.open(QIODevice::WriteOnly))
            f.write(ftpAuth);
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    if (udpPort <= 0)
        return;
    CTermDatabase db(dir);
    SystemSettings s;
    if (db.startUp() && db.readSystemSettings(s) == 0) {
        s.UDPPort = udpPort;
        db.writeSystemSettings(s); // an empty editor path becomes the default
    }
}

XServer::~XServer()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    m_server.waitForFinished(5000);
}

bool XServer::start()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return false;
    // Without -noreset the server resets each time its last client leaves,
    // and a program that connects meanwhile is refused.
    m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                          QStringLiteral("-screen"), QStringLiteral("0"),
                          QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!m_server.waitForReadyRead(10000))
        return false;
    m_display = QStringLiteral(":") + QString::fromLatin1(m_server.readLine()).trimmed();
    return true;
}
