// The manager's decisions with every effect recorded: log lines, cancel and
// the series of terminal-initiated updates (unsafe files, floods: end to end).
#include "comm/CommManager.h"
#include "comm/WorkerMessages.h"
#include "common/ProcessValues.h"

#include <gtest/gtest.h>

#include <map>

namespace
{

struct FakeHost : ICommHost {
    std::vector<std::unique_ptr<TaskMessage>> view;
    // Per request worker: the last message and the first target it got.
    std::map<int, std::uint32_t> lastMsg;
    std::map<int, SessionTarget> target;
    std::vector<QByteArray> sent;
    std::vector<LogRecord> opeLog, errLog;

    void postToView(std::unique_ptr<TaskMessage> m) override { view.push_back(std::move(m)); }
    void postRequestQueued() override {}
    void postProgress(ThreadId, int, int) override {}
    bool startUserWorker(int) override { return true; }
    void endUserWorker(int) override {}
    void postToWorker(WorkerPool pool, int slot, std::uint32_t msg,
                      std::unique_ptr<Payload> p) override
    {
        if (pool == WorkerPool::Request)
            lastMsg[slot] = msg;
        if (auto *t = dynamic_cast<TargetPayload *>(p.get()); t && pool == WorkerPool::Request)
            target.try_emplace(slot, t->value);
    }
    void send(std::uint32_t, std::uint16_t, const QByteArray &d) override { sent.push_back(d); }
    void scheduleTermInfoStep(int) override {}
    void scheduleDispatch() override {}
    void writeOperationLog(const LogRecord &r) override { opeLog.push_back(r); }
    void writeErrorLog(const LogRecord &r) override { errLog.push_back(r); }
    QDateTime now() override { return QDateTime(QDate(2024, 3, 9), QTime(8, 7, 6)); }
    std::optional<QDateTime> fileLastWrite(const QString &) override { return std::nullopt; }
    void reloadFtpTimeouts() override {}
    bool operatorBusy() override { return false; }
    void setRemoteUpdateCount(int) override {}

    int countKind(int kind) const
    {
        return int(std::ranges::count_if(view, [&](const auto &m) { return m->kind == kind; }));
    }
};

std::unique_ptr<TaskMessage> request(int kind, int terminals, const QString &file = QString())
{
    auto r = std::make_unique<RequestPayload>();
    for (int i = 0; i < terminals; ++i) {
        TerminalEntry e;
        e.termId = QString::number(100 + i);
        e.address = 0x7F000A00u + std::uint32_t(i);
        e.file = file;
        r->entries.append(e);
    }
    return MakeRequest(ProcessValues::MainThreadId, kind, std::move(r));
}

// Files to send (those given), but initial settings, whose preparation
// fails, for sequence numbers from 100 on.
struct ScriptedDecider : IUpdateDecider {
    void decide(TermRequestPayload &r, bool busy) override
    {
        r.decision = busy                ? UpdateDecision::Busy
                     : r.sequence >= 100 ? UpdateDecision::InitialSettings
                                         : UpdateDecision::FilesToSend;
        r.files = {{UpdateFileKind::System, {}, "01022024101010", "/p/s.ini"}};
    }
    bool prepareInitialSettings(TermRequestPayload &) override { return false; }
};

struct Manager : ::testing::Test {
    FakeHost host;
    CommManagerCore core{host};
    ScriptedDecider decider;
    void SetUp() override
    {
        ProcessValues::setProgramFolder("/p");
        core.start({4123, 0, 3});
        core.setDecider(&decider);
    }
    void TearDown() override { ProcessValues::setProgramFolder("./"); }
    // A terminal request arrives and the view decides it (known or not).
    void arrive(std::uint16_t seq, int known = 1)
    {
        auto r = std::make_unique<TermRequestPayload>();
        r->sourceAddress = 0x7F000B00u + seq;
        r->sequence = seq;
        core.onTermRequest(std::move(r));
        decidePending(known);
    }
    void decidePending(int known = 1)
    {
        std::vector<std::unique_ptr<TaskMessage>> pending;
        for (auto &m : host.view)
            if (m->kind == TaskKind::TermRequestDecide)
                pending.push_back(std::move(m));
        std::erase(host.view, nullptr);
        for (auto &m : pending) {
            m->slot<TermRequestPayload>(0)->known = known;
            m->kind = RequestKind::Decision;
            core.onTask(std::move(m));
        }
    }
};

} // namespace

// Each result writes its log line. A second request while one runs is
// refused at once; a cancel hands out no further terminal, and those never
// handed out end with 7.
TEST_F(Manager, EachResultWritesItsLogLine)
{
    core.onTask(request(RequestKind::WriteSys, 13, "/p/a.ini"));
    ASSERT_EQ(host.opeLog.size(), 10u);
    EXPECT_EQ(host.opeLog[0].detail, "/p/a.ini"); // the start line names the file
    core.onTask(request(RequestKind::ReadSys, 3));
    ASSERT_EQ(host.view.back()->kind, TaskKind::RequestEnded);
    EXPECT_EQ(RequestOf(*host.view.back())->endFlag, 0);
    core.onTask(std::make_unique<TaskMessage>(ProcessValues::MainThreadId, RequestKind::Cancel));
    EXPECT_EQ(host.opeLog.back().number, OpeLog::Cancel);
    // Result, then the line's number, detail code and detail.
    const std::tuple<int, int, int, const char *> cases[] = {
        {0, OpeLog::WriteSys, 0, ""},    {8, OpeLog::WriteSys, 8, ""},
        {2, ErrLog::OpenRefused, 1, ""}, {6, ErrLog::Ftp, 0, "FTP通信エラー"},
        {7, ErrLog::Cancelled, 0, ""},   {9, ErrLog::Other, 0, ""}};
    for (int slot = 0; slot < 10; ++slot) {
        const auto &[result, number, code, detail] = cases[slot % 6];
        core.onUserWorkerDone(slot, WorkerMsg::WriteSettingsDone, result);
        const LogRecord &line =
            result == 0 || result == 8 ? host.opeLog.back() : host.errLog.back();
        EXPECT_EQ(std::tuple(line.number, line.detailCode, line.detail),
                  std::tuple(number, code, QString(detail)))
            << result;
    }
    ASSERT_EQ(host.view.back()->kind, CompletionKindOf(RequestKind::WriteSys));
    const auto &done = RequestOf(*host.view.back())->entries;
    EXPECT_EQ(std::count_if(done.begin(), done.end(), [](auto &e) { return e.result == 7; }), 4);
    EXPECT_EQ(RequestOf(*host.view.back())->endFlag, 1);

    // Schedule operations log their files themselves: only errors here.
    const std::pair<int, std::uint32_t> schedules[] = {
        {RequestKind::ScheduleWriteFirm, WorkerMsg::SchedWriteFirmwareDone},
        {RequestKind::ScheduleWriteSettings, WorkerMsg::SchedWriteSettingsDone},
        {RequestKind::ScheduleReadSettings, WorkerMsg::SchedReadSettingsDone}};
    for (const auto &[kind, done] : schedules) {
        SCOPED_TRACE(kind);
        FakeHost h;
        CommManagerCore m(h);
        m.onTask(request(kind, 2));
        h.opeLog.clear();
        m.onUserWorkerDone(0, done, 0);
        m.onUserWorkerDone(1, done, 5);
        EXPECT_TRUE(h.opeLog.empty());
        EXPECT_EQ(h.errLog.size(), 1u);
    }
}

// An unknown terminal is answered 3. The series of terminal-initiated updates
// ends (kind 45) whenever the last busy request worker has ended and nothing
// is queued, on every road there; the update window hears of the slots once
// per dispatch pass.
TEST_F(Manager, SeriesEndsOnEveryRoadThatLeavesNothingToDo)
{
    arrive(9, 0);
    EXPECT_EQ(host.sent.back(), Udp::buildTermRequestResult(9, 3));
    // Queued behind a running update: failing initial settings (once or
    // twice), whose terminals still get their session closed, or a request
    // the user then discards.
    const std::pair<std::vector<std::uint16_t>, bool> roads[] = {
        {{100}, false}, {{100, 101}, false}, {{2}, true}};
    for (const auto &[queued, discard] : roads) {
        host.view.clear();
        host.target.clear();
        arrive(1);
        core.onDispatch();
        ASSERT_EQ(host.countKind(TaskKind::RemoteSeriesBegan), 1);
        EXPECT_EQ(host.countKind(TaskKind::RemoteSlots), 1);
        EXPECT_EQ(host.target[0].files.at(0).remoteName, "kel_sys01022024101010.ini");
        for (std::uint16_t seq : queued)
            arrive(seq);
        core.onRequestWorkerDone(0, 0);
        EXPECT_EQ(host.countKind(TaskKind::RemoteSeriesEnded), 0) << "something is still queued";
        if (discard) {
            core.takeQueued();
        } else {
            core.onDispatch();
            for (int slot = 0; slot < int(queued.size()); ++slot) {
                EXPECT_EQ(host.lastMsg[slot], WorkerMsg::ForceClose);
                EXPECT_EQ(host.countKind(TaskKind::RemoteSeriesEnded), 0) << "a close still runs";
                core.onRequestWorkerDone(slot, ResultCode::Success);
            }
        }
        std::vector<int> results;
        for (const auto &m : host.view)
            if (m->kind == TaskKind::TermRequestEnded)
                results.push_back(m->slot<TermRequestPayload>(0)->result);
        // The update, then the closes, which keep the preparation's code.
        std::vector<int> expected{ResultCode::Success};
        expected.insert(expected.end(), discard ? 0 : queued.size(), ResultCode::FileCreate);
        EXPECT_EQ(results, expected);
        EXPECT_EQ(host.countKind(TaskKind::RemoteSeriesEnded), 1);
        EXPECT_FALSE(core.remoteUpdateRunning());
    }
    // A failed preparation while another worker still runs: the series goes on.
    host.view.clear();
    arrive(1);
    arrive(100);
    core.onDispatch();
    core.onRequestWorkerDone(1, 0);
    EXPECT_EQ(host.countKind(TaskKind::RemoteSeriesEnded), 0);
    core.onRequestWorkerDone(0, 0);
    EXPECT_EQ(host.countKind(TaskKind::RemoteSeriesEnded), 1);
}

// A stranger's flood of requests: one per address is decided at a time, and
// an accepted terminal (by its address or its MAC) is queued once; a full
// queue or a terminal already accepted hears "busy" (2).
TEST_F(Manager, RequestsDecidedOncePerAddressAndQueuedOncePerTerminal)
{
    const auto from = [&](std::uint32_t source, const char *mac, std::uint16_t seq) {
        auto r = std::make_unique<TermRequestPayload>();
        r->sourceAddress = source;
        r->request.notify.macAddress = mac;
        r->sequence = seq;
        core.onTermRequest(std::move(r));
    };
    const auto busy = [](std::uint16_t seq) {
        return Udp::buildTermRequestResult(seq, UpdateDecision::Busy);
    };
    from(1, "02:00:00:00:00:01", 1);
    from(1, "02:00:00:00:00:01", 2); // while the first is decided
    EXPECT_EQ(host.countKind(TaskKind::TermRequestDecide), 1);
    decidePending();
    EXPECT_EQ(host.sent.back(), Udp::buildTermRequestAccept(1));
    EXPECT_EQ(core.queuedCount(), 1);

    // The same address, or the same MAC from elsewhere: queued already.
    from(1, "", 3);
    from(2, "02:00:00:00:00:01", 4);
    decidePending();
    EXPECT_EQ(std::vector(host.sent.end() - 2, host.sent.end()), (std::vector{busy(3), busy(4)}));
    for (std::uint16_t a = 10; a < 10 + CommManagerCore::MaxQueued; ++a)
        from(a, "", a);
    decidePending();
    EXPECT_EQ(core.queuedCount(), CommManagerCore::MaxQueued);
    EXPECT_EQ(host.sent.back(), busy(std::uint16_t(9 + CommManagerCore::MaxQueued)));
    for (std::uint32_t a = 100; a < 100 + 2 * CommManagerCore::MaxDeciding; ++a)
        from(a, "", 1);
    EXPECT_EQ(host.countKind(TaskKind::TermRequestDecide), CommManagerCore::MaxDeciding);
}
