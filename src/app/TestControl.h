#pragma once
// Test-only: a local control socket through which a benchmark drives and
// watches the running program from outside (bench/bench_soak). It exists
// only when KELMNGPC_TEST_CONTROL names a socket path; never set it in
// operation. Every command is handled on the main thread's event loop, one
// line in, one line out:
//   ping              "pong": how fast it comes is how responsive the loop is
//   notices           "applied A pending P dropped D": the notice applier's counts
//   rows              the number of rows the list shows
//   select FIRST N    selects the rows of the N terminals from FIRST on in
//                     register order (stable while the list re-sorts); answers
//                     how many
//   run ACTION        triggers the maintenance command's menu action (object
//                     name, e.g. actionRestart): "posted" when its request went
//                     out, else "refused"
//   state             "running R socket S": a command runs (1/0), the UDP
//                     socket is open (1/0)
//   results           "KIND/CODE:COUNT ...": the rows' last operation kinds and
//                     result codes as the list shows them (rows without one left out)
//   statusbar         the non-empty texts of the main window's status bar,
//                     joined by " | "
//   open ACTION       triggers any menu action once this answer is out, so that
//                     a modal window it opens does not hold the answer: "opened"
//   windows           the titles of the visible top-level windows, "|" between
//   close             asks the main window to close, as its close button does:
//                     "closing" (whether it did shows in "windows")
// Questions of a command are answered as on any run without a window: on the
// offscreen platform the program's own prompter takes the default answer.

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class CTerminalView;
class QLocalServer;
class QLocalSocket;

class TestControl : public QObject
{
public:
    static constexpr const char *Variable = "KELMNGPC_TEST_CONTROL";

    TestControl(CTerminalView &view, std::function<bool()> socketOpen, QObject *parent = nullptr);
    ~TestControl() override;

    // Listens on the path (a stale socket file there is replaced).
    bool listen(const QString &path);
    QString errorText() const;

    // One command line; the answer without its line end. Exposed for tests.
    QString answer(const QString &line);

private:
    void onConnection();
    void onReadable(QLocalSocket *socket);

    QPointer<CTerminalView> m_view;
    std::function<bool()> m_socketOpen;
    QLocalServer *m_server;
};
