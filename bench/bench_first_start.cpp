// The first start of the real program on an empty per-user folder (HOME in a
// temporary folder): from the start to the first-start dialog, and from its
// OK to the main window. Offscreen, the dialog's questions come on stderr
// where the dialog opens and the answers go to stdin; the main window is up
// when the test-only control socket answers (it listens once the window
// shows). Under Xvfb (when installed) the start to the real dialog window is
// measured too. Medians of several runs.
//   bench_first_start [RUNS]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

const QString Caption = QStringLiteral("初回起動 - FTPアカウントの設定");

QProcessEnvironment homeIn(const QString &home, const QString &platform)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.remove(QStringLiteral("KELMNGPC_PROGRAM_FOLDER"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("KELMNGPC_TEST_CONTROL"), home + QStringLiteral("/control.sock"));
    return env;
}

// Polls every 2 ms; the elapsed milliseconds of `clock`, or -1 after 30 s.
double waitFor(const QElapsedTimer &clock, const std::function<bool()> &cond)
{
    while (!cond()) {
        if (clock.elapsed() > 30000)
            return -1;
        QThread::msleep(2);
    }
    return clock.nsecsElapsed() / 1e6;
}

bool pong(const QString &path)
{
    QLocalSocket s;
    s.connectToServer(path);
    if (!s.waitForConnected(50))
        return false;
    s.write("ping\n");
    s.waitForBytesWritten(1000);
    return s.waitForReadyRead(5000) && s.readLine().trimmed() == "pong";
}

void stop(QProcess &p)
{
    p.terminate();
    if (!p.waitForFinished(10000))
        p.kill();
    p.waitForFinished(5000);
}

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString program = qEnvironmentVariable("KEL_PROGRAM", QStringLiteral(KEL_PROGRAM));
    std::vector<double> toDialog, okToMain, toWindow;

    for (int i = 0; i < runs; ++i) {
        QTemporaryDir home;
        QProcess p;
        p.setProcessEnvironment(homeIn(home.path(), QStringLiteral("offscreen")));
        QByteArray err;
        QElapsedTimer clock;
        clock.start();
        p.start(program, {});
        const double dialog = waitFor(clock, [&] {
            p.waitForReadyRead(1);
            err += p.readAllStandardError();
            return QString::fromUtf8(err).contains(Caption);
        });
        clock.restart();
        p.write("KT-100\nkel\nsecret\n");
        p.waitForBytesWritten(5000);
        const double main =
            waitFor(clock, [&] { return pong(home.path() + QStringLiteral("/control.sock")); });
        stop(p);
        if (dialog < 0 || main < 0) {
            std::fprintf(stderr, "bench_first_start: run %d failed:\n%s\n", i, err.constData());
            return 1;
        }
        toDialog.push_back(dialog);
        okToMain.push_back(main);
    }

    // The real dialog under an X server: when its window is mapped.
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
    if (!xvfb.isEmpty() && !xwininfo.isEmpty()) {
        QProcess server;
        server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                            QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1366x768x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp"), QStringLiteral("-noreset")});
        if (server.waitForReadyRead(10000)) {
            const QString display =
                QStringLiteral(":") + QString::fromLatin1(server.readLine()).trimmed();
            for (int i = 0; i < runs; ++i) {
                QTemporaryDir home;
                QProcessEnvironment env = homeIn(home.path(), QStringLiteral("xcb"));
                env.insert(QStringLiteral("DISPLAY"), display);
                QProcess p;
                p.setProcessEnvironment(env);
                QElapsedTimer clock;
                clock.start();
                p.start(program, {});
                const double shown = waitFor(clock, [&] {
                    QProcess info;
                    info.setProcessEnvironment(env);
                    info.start(xwininfo, {QStringLiteral("-root"), QStringLiteral("-tree")});
                    info.waitForFinished(5000);
                    return QString::fromUtf8(info.readAllStandardOutput()).contains(Caption);
                });
                stop(p);
                if (shown >= 0)
                    toWindow.push_back(shown);
            }
        }
        server.terminate();
        server.waitForFinished(5000);
    }

    std::printf("BENCH first_start_to_dialog_ms %.0f ms\n", median(toDialog));
    std::printf("BENCH first_start_ok_to_main_window_ms %.0f ms\n", median(okToMain));
    if (!toWindow.empty())
        std::printf("BENCH first_start_to_dialog_window_xvfb_ms %.0f ms\n", median(toWindow));
    return 0;
}
