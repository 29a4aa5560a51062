#include "ProgramRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>

ProgramRunner::ProgramRunner(const QString &programFolder, const QStringList &extraArgs,
                             const QString &platform, const QString &display)
    : m_folder(programFolder)
{
    m_args << QStringLiteral("--program-folder=%1").arg(programFolder) << extraArgs;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("KELMNGPC_TICK_MS"), QStringLiteral("10"));
    m_proc.setProcessEnvironment(env);
}

ProgramRunner::~ProgramRunner()
{
    if (running()) {
        m_proc.kill();
        m_proc.waitForFinished(5000);
    }
}

void ProgramRunner::setEnv(const QString &name, const QString &value)
{
    QProcessEnvironment env = m_proc.processEnvironment();
    env.insert(name, value);
    m_proc.setProcessEnvironment(env);
}

void ProgramRunner::start()
{
    m_proc.start(QStringLiteral(KEL_PROGRAM), m_args);
    m_proc.waitForStarted(5000);
}

bool ProgramRunner::waitForExit(int ms)
{
    return m_proc.waitForFinished(ms);
}

void ProgramRunner::terminate()
{
    if (running())
        ::kill(static_cast<pid_t>(m_proc.processId()), SIGTERM);
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

void MakeProgramFolder(const QString &dir, const QByteArray &ftpAuth)
{
    QDir().mkpath(dir + QStringLiteral("/Log"));
    if (!ftpAuth.isEmpty()) {
        QDir().mkpath(dir + QStringLiteral("/Config"));
        QFile f(dir + QStringLiteral("/Config/FTPauth.ini"));
        if (f.open(QIODevice::WriteOnly))
            f.write(ftpAuth);
    }
}
