#include "Child.h"

#include <QElapsedTimer>

Child::Child(const QStringList &args, const QStringList &before)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    proc.setProcessEnvironment(env);
    if (before.isEmpty())
        proc.start(QStringLiteral(KEL_CHILD), args);
    else
        proc.start(before.first(), before.mid(1) << QStringLiteral(KEL_CHILD) << args);
    proc.waitForStarted(5000);
}

Child::~Child()
{
    if (proc.state() != QProcess::NotRunning)
        kill();
}

bool Child::waitLine(const std::function<bool(const QByteArray &)> &until, int ms)
{
    QElapsedTimer t;
    t.start();
    for (;;) {
        while (proc.canReadLine()) {
            m_last = proc.readLine().trimmed();
            if (until(m_last))
                return true;
        }
        if (proc.state() == QProcess::NotRunning || t.elapsed() > ms)
            return false;
        proc.waitForReadyRead(20);
    }
}

void Child::kill()
{
    proc.kill();
    proc.waitForFinished(10000);
}

int Child::finish(int ms)
{
    if (!proc.waitForFinished(ms) || proc.exitStatus() != QProcess::NormalExit)
        return -1;
    return proc.exitCode();
}

QString Child::errors()
{
    return QString::fromUtf8(proc.readAllStandardError());
}
