#pragma once
// The real communication stack for end-to-end tests: program folder, register,
// timer and manager threads, a view stand-in applying notices, the simulator.

#include "comm/CommMgrThread.h"
#include "comm/CommPayloads.h"
#include "comm/TimerService.h"
#include "register/TermDatabase.h"
#include "support/TempDir.h"
#include "support/TodayLog.h"
#include "termlist/NoticeApplier.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <functional>
#include <memory>
#include <vector>

// Runs the event loop until the condition holds; false when the time is up.
bool pumpUntil(const std::function<bool()> &done, int timeoutMs);

// The list as the notice applier sees it: always enabled, redrawn at once.
struct ListHost : NoticeApplier::Host {
    bool pending = false;
    bool refreshPending() const override { return pending; }
    void setRefreshPending() override { pending = true; }
    bool mainWindowEnabled() const override { return true; }
    void refreshList() override { pending = false; }
};

// The main thread's endpoint: keeps every notification, applies notices and
// answers terminal requests as known terminals.
class TestView : public MessageReceiver, public ListHost
{
public:
    explicit TestView(CTermDatabase &db);
    std::vector<std::unique_ptr<TaskMessage>> messages;
    std::vector<RequestProgress> progress; // kind 1, sent to this endpoint too
    NoticeApplier applier;

    int count(int kind) const;
    TaskMessage *last(int kind) const;
    bool waitFor(int kind, int count = 1, int timeoutMs = 20000);

protected:
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> lParam) override;
};

// termsim's options for `count` terminals from `base` towards UDP `port`:
// no start notices, FTP account kel/secret for model KT-100.
QStringList simArgs(const QString &base, int count, int port);

// The terminal simulator, driven over its stdin.
class Termsim
{
public:
    ~Termsim();
    bool start(const QStringList &args);
    // One command; the text after "OK" (ok() false on ERR or TIMEOUT).
    QString cmd(const QString &line);
    QJsonValue json(const QString &line);
    QJsonArray received(int terminal, const QString &name);
    QJsonObject fields(int terminal, const QString &name); // of the first one received
    int closes(int terminal, int restart); // RemoteCloseReq received with this restart flag
    bool ok() const { return m_ok; }
    QString lastLine() const { return m_last; }

private:
    QProcess m_proc;
    bool m_ok = false;
    QString m_last;
};

// The timer and manager threads of a stack: started with the
// communication settings, stopped by stop() or on destruction.
class StackThreads
{
public:
    ~StackThreads() { stop(); }
    // True once the manager's socket is open.
    bool start(const CommSettings &settings, IUpdateDecider *decider);
    void stop();

private:
    std::unique_ptr<CTimerThread> m_timer;
    std::unique_ptr<CCommMgrThread> m_comm;
};

struct StackOptions {
    int udpPort = 0;
    int entryInt = 1;
    int ftpMode = 1;
    int sendDelayMs = 1;
    IUpdateDecider *decider = nullptr;
    // The program folder below dir ("" = dir itself), so that a test has
    // room beside it.
    QString subfolder = {};
};

class CommStack
{
public:
    explicit CommStack(const StackOptions &options);
    ~CommStack();
    bool up() const { return m_up; }

    // Posts a request; run() also waits for its completion (nullptr on time-out).
    void post(int kind, const QList<TerminalEntry> &entries);
    TaskMessage *run(int kind, const QList<TerminalEntry> &entries);
    TerminalEntry entry(const QString &address, const QString &termId,
                        const QString &file = QString(), const QString &model = "KT-100") const;
    QString log() const { return todayLog(folder()); }
    QString folder() const;        // the program folder
    std::vector<TermEntry> rows(); // the register

    TempDir dir;
    std::unique_ptr<CTermDatabase> db;
    std::unique_ptr<TestView> view;

private:
    StackOptions m_options;
    StackThreads m_threads;
    bool m_up = false;
};
