// The manager's decisions with every effect recorded: log lines, remote
// names and the queue of terminal-initiated requests.
#include "comm/CommManager.h"
#include "comm/RemoteNames.h"
#include "comm/WorkerMessages.h"
#include "common/ProcessValues.h"

#include <gtest/gtest.h>

#include <map>

namespace
{

struct Posted {
    WorkerPool pool;
    int slot;
    std::uint32_t msg;
    std::unique_ptr<Payload> payload;
};

struct FakeHost : ICommHost {
    std::vector<std::unique_ptr<TaskMessage>> view;
    std::vector<int> started, ended;
    std::vector<Posted> posted;
    std::vector<QByteArray> sent;
    std::vector<LogRecord> opeLog, errLog;
    std::map<QString, QDateTime> files;
    int failWorkerAt = -1, remoteCount = -1;

    void postToView(std::unique_ptr<TaskMessage> m) override { view.push_back(std::move(m)); }
    void postRequestQueued() override {}
    std::vector<std::pair<int, int>> progress;
    void postProgress(ThreadId, int done, int total) override { progress.push_back({done, total}); }
    bool startUserWorker(int slot) override
    {
        started.push_back(slot);
        return slot != failWorkerAt;
    }
    void endUserWorker(int slot) override { ended.push_back(slot); }
    void postToWorker(WorkerPool pool, int slot, std::uint32_t msg,
                      std::unique_ptr<Payload> p) override
    {
        posted.push_back({pool, slot, msg, std::move(p)});
    }
    void send(std::uint32_t, std::uint16_t, const QByteArray &d) override { sent.push_back(d); }
    void scheduleTermInfoStep(int) override {}
    void scheduleDispatch() override {}
    void writeOperationLog(const LogRecord &r) override { opeLog.push_back(r); }
    void writeErrorLog(const LogRecord &r) override { errLog.push_back(r); }
    QDateTime now() override { return QDateTime(QDate(2024, 3, 9), QTime(8, 7, 6)); }
    std::optional<QDateTime> fileLastWrite(const QString &path) override
    {
        auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional(it->second);
    }
    void reloadFtpTimeouts() override {}
    bool operatorBusy() override { return false; }
    void setRemoteUpdateCount(int busy) override { remoteCount = busy; }

    std::vector<std::uint32_t> messagesTo(WorkerPool pool, int slot) const
    {
        std::vector<std::uint32_t> out;
        for (const Posted &p : posted)
            if (p.pool == pool && p.slot == slot)
                out.push_back(p.msg);
        return out;
    }
    std::vector<const SessionTarget *> targetsTo(WorkerPool pool, int slot) const
    {
        std::vector<const SessionTarget *> out;
        for (const Posted &p : posted)
            if (auto *t = dynamic_cast<TargetPayload *>(p.payload.get());
                t && p.pool == pool && p.slot == slot)
                out.push_back(&t->value);
        return out;
    }
    int countKind(int kind) const
    {
        return int(std::count_if(view.begin(), view.end(),
                                 [&](const auto &m) { return m->kind == kind; }));
    }
    const RequestPayload &last() const { return *RequestOf(*view.back()); }
};

std::unique_ptr<TaskMessage> request(int kind, int terminals, const QString &file = QString())
{
    auto r = std::make_unique<RequestPayload>();
    r->progressTarget = 77;
    for (int i = 0; i < terminals; ++i) {
        TerminalEntry e;
        e.termId = QString::number(100 + i);
        e.address = 0x7F000A00u + std::uint32_t(i);
        e.file = file;
        e.result = 0;
        r->entries.append(e);
    }
    return MakeRequest(ProcessValues::MainThreadId, kind, std::move(r));
}

struct Manager : ::testing::Test {
    FakeHost host;
    CommManagerCore core{host};
    void SetUp() override
    {
        ProcessValues::setProgramFolder("/p");
        core.start({4123, 0, 3});
    }
    void TearDown() override { ProcessValues::setProgramFolder("./"); }
    // A terminal request arrives, is decided, and the view answers it.
    void arrive(std::uint16_t seq, int known = 1)
    {
        auto r = std::make_unique<TermRequestPayload>();
        r->sourceAddress = 0x7F000B00u + seq;
        r->sequence = seq;
        core.onTermRequest(std::move(r));
        auto m = std::move(host.view.back());
        host.view.pop_back();
        m->slot<TermRequestPayload>(0)->known = known;
        m->kind = RequestKind::Decision;
        core.onTask(std::move(m));
    }
};

} // namespace

// A worker that can't start: the started ones end, the request comes back.
TEST_F(Manager, AWorkerThatCannotStartEndsTheRequest)
{
    host.failWorkerAt = 2;
    core.onTask(request(RequestKind::Restart, 5));
    EXPECT_EQ(host.started, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(host.ended, (std::vector<int>{0, 1}));
    EXPECT_EQ(host.view.back()->kind, TaskKind::RequestEnded);
    EXPECT_FALSE(core.busy());
}

TEST_F(Manager, EachResultWritesItsLogLine)
{
    struct Case {
        int result, number, detailCode;
        const char *detail;
    };
    const Case cases[] = {
        {0, OpeLog::WriteSys, 0, ""},         {8, OpeLog::WriteSys, 8, ""},
        {1, ErrLog::OpenRefused, 0, ""},      {2, ErrLog::OpenRefused, 1, ""},
        {3, ErrLog::OpenRefused, 2, ""},      {4, ErrLog::CommError, 0, ""},
        {5, ErrLog::Ftp, 0, "FTP接続エラー"}, {6, ErrLog::Ftp, 0, "FTP通信エラー"},
        {7, ErrLog::Cancelled, 0, ""},        {9, ErrLog::Other, 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.result);
        FakeHost h;
        CommManagerCore m(h);
        m.onTask(request(RequestKind::WriteSys, 1, "/p/a.ini"));
        ASSERT_EQ(h.opeLog.size(), 1u); // the start line names the file
        EXPECT_EQ(h.opeLog[0].detail, "/p/a.ini");
        m.onUserWorkerDone(0, WorkerMsg::WriteSettingsDone, c.result);
        const LogRecord &line = c.result == 0 || c.result == 8 ? h.opeLog.back() : h.errLog.back();
        EXPECT_EQ(line.number, c.number);
        EXPECT_EQ(line.detailCode, c.detailCode);
        EXPECT_EQ(line.detail, c.detail);
    }
    // Schedule operations log their files themselves: only errors here.
    core.onTask(request(RequestKind::ScheduleWriteFirm, 2));
    host.opeLog.clear();
    core.onUserWorkerDone(0, WorkerMsg::SchedWriteFirmwareDone, 0);
    core.onUserWorkerDone(1, WorkerMsg::SchedWriteFirmwareDone, 5);
    EXPECT_TRUE(host.opeLog.empty());
    EXPECT_EQ(host.errLog.size(), 1u);
}

TEST_F(Manager, TargetsCarryTheRemoteNames)
{
    const QDateTime written(QDate(2023, 1, 2), QTime(3, 4, 5));
    // clang-format off
    const std::tuple<int, const char *, const char *> cases[] = {
        {RequestKind::ReadSys, "/p/Data/Sys/kel_sys100.ini", "kel_sys.ini"},
        {RequestKind::ReadDial, "/p/Data/Dial/kel_dial100.csv", "kel_dial.csv"},
        {RequestKind::WriteSys, "/p/Data/Sys/kel_sys100.ini", "kel_sys02012023030405.ini"},
        {RequestKind::WriteUser, "/p/Data/User/kel_user100.ini", ""}, // no such file
        {RequestKind::WriteBoot, "/p/Boot/boot_v2.s", "boot_v2.s"},
        {RequestKind::WriteCommon, "/p/Data/Sys/zor_sys_c.ini", "kel_sys09032024080706.ini"},
        {RequestKind::WriteCommon, "/p/Data/User/kel_user_c.ini", "kel_user09032024080706.ini"},
        {RequestKind::WriteCommon, "/p/Data/User/other.ini", ""},
    };
    // clang-format on
    for (const auto &[kind, local, remote] : cases) {
        SCOPED_TRACE(local);
        FakeHost h;
        h.files = {{"/p/Data/Sys/kel_sys100.ini", written}, {"/p/Boot/boot_v2.s", written}};
        CommManagerCore m(h);
        m.onTask(request(kind, 1, local));
        EXPECT_EQ(h.targetsTo(WorkerPool::User, 0).at(0)->remoteName, remote);
    }
}

TEST_F(Manager, ScheduleNamesAreRebuiltAroundTheLocalStamp)
{
    host.files["/p/s.ini"] = QDateTime(QDate(2022, 2, 2), QTime(2, 2, 2));
    auto r = request(RequestKind::ScheduleWriteSettings, 1);
    TerminalEntry &e = RequestOf(*r)->entries[0];
    e.restart = true;
    e.files = {{"/p/s.ini", "my_kel_user_x.ini"},
               {"/p/s.ini", "common.v1.ini"},
               {"/p/gone.ini", "kel_sys.ini"}};
    core.onTask(std::move(r));
    const SessionTarget *t = host.targetsTo(WorkerPool::User, 0).front();
    EXPECT_TRUE(t->restartAfterWrite);
    EXPECT_EQ(t->files[0].remoteName, "kel_user02022022020202.ini");
    EXPECT_EQ(t->files[1].remoteName, "common02022022020202.v1.ini");
    EXPECT_EQ(t->files[2].remoteName, "kel_sys.ini");
    EXPECT_EQ(RemoteNames::forSchedule(RequestKind::ScheduleWriteFirm, "b.s", QDateTime()), "b.s");
}

namespace
{

struct ScriptedDecider : IUpdateDecider {
    int decision = UpdateDecision::FilesToSend;
    QList<UpdateFile> files;
    void decide(TermRequestPayload &r, bool busy) override
    {
        r.decision = busy ? UpdateDecision::Busy : decision;
        r.files = files;
    }
    bool prepareInitialSettings(TermRequestPayload &) override { return false; }
};

} // namespace

TEST_F(Manager, TerminalRequestsAreAnsweredQueuedAndRunOnFiveWorkers)
{
    ScriptedDecider decider;
    decider.files = {{UpdateFileKind::System, {}, "01022024101010", "/p/s.ini"}};
    core.setDecider(&decider);
    arrive(9, 0); // files to send, but an unknown terminal is answered 3
    EXPECT_EQ(host.sent.back(), Udp::buildTermRequestResult(9, 3));
    for (std::uint16_t seq = 1; seq <= 6; ++seq)
        arrive(seq, 1);
    EXPECT_EQ(host.sent.back(), Udp::buildTermRequestAccept(6));
    core.onDispatch();
    EXPECT_EQ(core.queuedCount(), 1);
    EXPECT_EQ(host.remoteCount, 5);
    EXPECT_EQ(host.countKind(TaskKind::RemoteSeriesBegan), 1);
    // The update window exists before it is told what the workers serve.
    ASSERT_EQ(host.view.back()->kind, TaskKind::RemoteSlots);
    EXPECT_EQ(host.countKind(TaskKind::RemoteSlots), 1) << "one report per dispatch pass";
    const RemoteSlot &busySlot = host.view.back()->slot<RemoteSlotsPayload>(0)->workers[4];
    EXPECT_TRUE(busySlot.busy);
    EXPECT_EQ(busySlot.fileKinds, QList<int>{UpdateFileKind::System});
    EXPECT_EQ(host.messagesTo(WorkerPool::Request, 0).back(), WorkerMsg::RemoteMaintenanceMsg);
    const SessionTarget *t = host.targetsTo(WorkerPool::Request, 0).front();
    EXPECT_TRUE(t->restartAfterRemote);
    EXPECT_EQ(t->files.at(0).remoteName, "kel_sys01022024101010.ini");

    core.onRequestWorkerDone(0, 0);
    EXPECT_EQ(host.countKind(TaskKind::TermRequestEnded), 1);
    EXPECT_FALSE(host.view.back()->slot<RemoteSlotsPayload>(0)->workers[0].busy);
    core.onDispatch();
    for (int slot = 0; slot < 5; ++slot)
        core.onRequestWorkerDone(slot, 0);
    EXPECT_EQ(host.countKind(TaskKind::TermRequestEnded), 6);
    EXPECT_EQ(host.countKind(TaskKind::RemoteSeriesEnded), 1);
    EXPECT_EQ(host.view.back()->kind, TaskKind::RemoteSeriesEnded) << "the last slot report first";

    // Nothing to move: the session is only closed.
    decider.files.clear();
    arrive(20, 1);
    core.onDispatch();
    EXPECT_EQ(host.messagesTo(WorkerPool::Request, 0).back(), WorkerMsg::ForceClose);
}

namespace
{

// Files to send for sequence numbers below 100, initial settings (whose
// preparation fails) from 100 on.
struct InitialDecider : IUpdateDecider {
    void decide(TermRequestPayload &r, bool) override
    {
        r.decision =
            r.sequence >= 100 ? UpdateDecision::InitialSettings : UpdateDecision::FilesToSend;
        r.files = {{UpdateFileKind::System, {}, "01022024101010", "/p/s.ini"}};
    }
    bool prepareInitialSettings(TermRequestPayload &) override { return false; }
};

} // namespace

// The series of terminal-initiated updates ends (kind 45) whenever the last
// busy request worker has ended and nothing is queued, on every road there.
TEST_F(Manager, SeriesEndsOnEveryRoadThatLeavesNothingToDo)
{
    InitialDecider decider;
    core.setDecider(&decider);
    // Queued behind a running update: failing initial settings (once or
    // twice), whose terminals still get their session closed, or a request
    // the user then discards.
    const std::pair<std::vector<std::uint16_t>, bool> roads[] = {
        {{100}, false}, {{100, 101}, false}, {{2}, true}};
    for (const auto &[queued, discard] : roads) {
        SCOPED_TRACE(queued.size());
        host.view.clear();
        host.posted.clear();
        arrive(1);
        core.onDispatch();
        ASSERT_EQ(host.countKind(TaskKind::RemoteSeriesBegan), 1);
        for (std::uint16_t seq : queued)
            arrive(seq);
        core.onRequestWorkerDone(0, 0);
        EXPECT_EQ(host.countKind(TaskKind::RemoteSeriesEnded), 0) << "something is still queued";
        if (discard) {
            core.takeQueued();
        } else {
            core.onDispatch();
            for (int slot = 0; slot < int(queued.size()); ++slot) {
                EXPECT_EQ(host.messagesTo(WorkerPool::Request, slot).back(), WorkerMsg::ForceClose);
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
        EXPECT_EQ(host.countKind(TaskKind::TermRequestEnded),
                  1 + (discard ? 0 : int(queued.size())));
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

// Per-terminal file requests end at once with result 10 for an ID or a local
// path that could lead outside the program folder; the others run as usual.
TEST_F(Manager, UnsafeTerminalFilesEndAtOnceWithResultTen)
{
    // Settings files of one terminal and schedule settings transfers are
    // named after the ID; common files and firmware are the user's choice.
    std::vector<std::pair<int, bool>> kinds;
    for (int kind : {10, 12, 14, 16, 18, 20, 31, 33, 22, 24, 26, 35})
        kinds.push_back({kind, kind < 22 || kind == 31 || kind == 33});
    // ID and local file of each entry; entries 1..6 are unsafe.
    const std::pair<QString, QString> entries[] = {
        {"100", "/p/Data/Sys/kel_sys100.ini"},
        {"../x", "/p/Data/Sys/kel_sys../x.ini"},
        {"a/b", "/p/Data/Sys/kel_sysa/b.ini"},
        {"a\\b", "/p/Data/Sys/kel_sysa\\b.ini"},
        {"", "/p/Data/Sys/kel_sys.ini"},
        {QString("1") + QChar(0x1b), "/p/Data/Sys/kel_sys1.ini"},
        {"101", "/p/Data/Sys/kel_sys/../../../../etc/x.ini"}, // safe ID, path outside
        {"102", "Data/Sys/kel_sys102.ini"},                   // relative: below the folder
    };
    for (const auto &[kind, restricted] : kinds) {
        SCOPED_TRACE(kind);
        FakeHost h;
        CommManagerCore m(h);
        auto r = request(kind, 0);
        for (const auto &[id, file] : entries) {
            TerminalEntry e;
            e.termId = id;
            e.file = file;
            e.files = {{file, "kel_sys.ini"}};
            RequestOf(*r)->entries.append(e);
        }
        m.onTask(std::move(r));
        const int rejected = restricted ? 6 : 0;
        EXPECT_EQ(int(h.started.size()), 8 - rejected) << "no worker for a rejected terminal";
        EXPECT_EQ(int(h.errLog.size()), rejected);
        for (const LogRecord &l : h.errLog)
            EXPECT_EQ(l.number, ErrLog::FileOpen);
        for (int slot = 0; slot < 10; ++slot)
            if (m.userWorkerAddress(slot))
                m.onUserWorkerDone(slot, WorkerMsg::ReadSettingsDone, 0);
        ASSERT_FALSE(m.busy());
        ASSERT_EQ(h.countKind(CompletionKindOf(kind)), 1);
        std::vector<int> results;
        for (const TerminalEntry &e : h.last().entries)
            results.push_back(e.result);
        const int bad = restricted ? ResultCode::FileCreate : 0;
        EXPECT_EQ(results, (std::vector<int>{0, bad, bad, bad, bad, bad, bad, 0}));
        EXPECT_EQ(h.progress.back(), std::make_pair(8, 8));
        EXPECT_EQ(h.progress.size(), 9u) << "one step per terminal after 0 of 8";
    }
}

// A stranger's flood of requests: one per address is decided at a time, and
// an accepted terminal (by its address or its MAC) is queued once; a full
// queue or a terminal already accepted hears "busy" (2).
TEST_F(Manager, RequestsDecidedOncePerAddressAndQueuedOncePerTerminal)
{
    ScriptedDecider decider;
    decider.files = {{UpdateFileKind::System, {}, "01022024101010", "/p/s.ini"}};
    core.setDecider(&decider);
    const auto from = [](std::uint32_t source, const char *mac, std::uint16_t seq) {
        auto r = std::make_unique<TermRequestPayload>();
        r->sourceAddress = source;
        r->request.notify.macAddress = mac;
        r->sequence = seq;
        return r;
    };
    const auto decideAll = [&] {
        std::vector<std::unique_ptr<TaskMessage>> pending;
        for (auto &m : host.view)
            if (m->kind == TaskKind::TermRequestDecide)
                pending.push_back(std::move(m));
        host.view.clear();
        for (auto &m : pending) {
            m->kind = RequestKind::Decision;
            core.onTask(std::move(m));
        }
    };
    core.onTermRequest(from(1, "02:00:00:00:00:01", 1));
    core.onTermRequest(from(1, "02:00:00:00:00:01", 2)); // while the first is decided
    EXPECT_EQ(host.countKind(TaskKind::TermRequestDecide), 1);
    decideAll();
    EXPECT_EQ(host.sent.back(), Udp::buildTermRequestAccept(1));
    EXPECT_EQ(core.queuedCount(), 1);

    // The same address, or the same MAC from elsewhere: queued already.
    core.onTermRequest(from(1, "", 3));
    core.onTermRequest(from(2, "02:00:00:00:00:01", 4));
    decideAll();
    EXPECT_EQ(host.sent.back(), Udp::buildTermRequestResult(4, UpdateDecision::Busy));
    EXPECT_EQ(host.sent.at(host.sent.size() - 2),
              Udp::buildTermRequestResult(3, UpdateDecision::Busy));
    for (std::uint16_t a = 10; a < 10 + CommManagerCore::MaxQueued; ++a)
        core.onTermRequest(from(a, "", a));
    decideAll();
    EXPECT_EQ(core.queuedCount(), CommManagerCore::MaxQueued);
    EXPECT_EQ(host.sent.back(), Udp::buildTermRequestResult(std::uint16_t(9 + CommManagerCore::MaxQueued),
                                                            UpdateDecision::Busy));
    for (std::uint32_t a = 100; a < 100 + 2 * CommManagerCore::MaxDeciding; ++a)
        core.onTermRequest(from(a, "", 1));
    EXPECT_EQ(host.countKind(TaskKind::TermRequestDecide), CommManagerCore::MaxDeciding);
}
