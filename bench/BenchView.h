#pragma once
// The window benches run in two processes: the parent prepares a register in
// a temporary folder, then starts itself again with "--view FOLDER", so the
// figures (time, resident size) are the window's, not the register filling's.

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

// main() of such a bench. parent() gets the child ready to start (program and
// arguments set) and answers the exit code.
inline int RunViewBench(int argc, char **argv,
                        const std::function<int(int, char **, const QString &)> &view,
                        const std::function<bool(const QString &)> &prepare,
                        const std::function<int(QProcess &)> &parent)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == "--view")
        return view(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!prepare(dir.path())) {
        std::fprintf(stderr, "could not prepare the register\n");
        return 1;
    }
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("--view"), dir.path()});
    return parent(child);
}
