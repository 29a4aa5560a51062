// Maintenance commands without a window: the posted request, notices, results
// and the end of a command, terminal requests, the terminal-update window and
// its discard, the new-terminal rate, clearing results, the failed terminals.
#include "comm/CommPayloads.h"
#include "common/CommandScope.h"
#include "common/Ipv4.h"
#include "common/SafeFile.h"
#include "register/TermDatabase.h"
#include "termlist/CommandFlow.h"
#include "termlist/CommandRepeat.h"
#include "termlist/FailedTerminals.h"
#include "termlist/ListCommands.h"
#include "termlist/NoticeApplier.h"
#include "termlist/StoredRequestDiscard.h"
#include "termlist/ViewNotifications.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QSet>
#include <gtest/gtest.h>

namespace
{

struct Host : ICommandHost, NoticeApplier::Host {
    std::vector<TermEntry> selection;
    bool enabled = true, pending = false, remoteShown = false;
    int refreshes = 0, progressOp = -1, progressClosed = 0;
    std::function<void()> onRefresh = [] {};
    QStringList lines;

    std::vector<TermEntry> selectedEntries() const override { return selection; }
    bool mainEnabled() const override { return enabled; }
    bool mainWindowEnabled() const override { return enabled; }
    void setMainEnabled(bool e) override { enabled = e; }
    bool refreshPending() const override { return pending; }
    void setRefreshPending() override { pending = true; }
    void refreshList() override { pending = false, ++refreshes, onRefresh(); }
    ThreadId openProgress(int op, std::function<void()>) override { return progressOp = op, 777; }
    void closeProgress() override { ++progressClosed; }
    void showStatusNote(const QString &) override {}
    void showRemoteWindow() override { remoteShown = true; }
    void closeRemoteWindow() override { remoteShown = false; }
    void setRemoteLines(const QStringList &l) override { lines = l; }
    void enableRemoteStop() override {}
    void enableRemoteWindow() override {}
};

struct Posted {
    std::uint32_t msg;
    quintptr wParam;
    std::unique_ptr<Payload> payload;
    TaskMessage *task() const { return dynamic_cast<TaskMessage *>(payload.get()); }
};

struct Sink : IScheduleCompletionSink, ITerminalFileWaiter, IInitialSettingsMode {
    int got = 0, ended = 0;
    std::vector<bool> done;
    bool initial = false;
    void scheduleStepComplete(std::unique_ptr<TaskMessage>) override { ++got; }
    ThreadId requestReceiver() const override { return 4242; }
    bool scheduleSettingsOpen() const override { return false; }
    void terminalFileDone(bool any, std::unique_ptr<TaskMessage>) override { done.push_back(any); }
    bool running() const override { return initial; }
    void requestEnded() override { ++ended; }
};

// Stands in for the timer thread: keeps the timers asked for.
struct Timers : MessageReceiver {
    std::vector<TimerSpec> started;
    void onMessage(std::uint32_t, quintptr, std::unique_ptr<Payload> p) override
    {
        if (auto *task = dynamic_cast<TaskMessage *>(p.get());
            task && task->kind == TaskKind::TimerStart)
            started.push_back(*TimerSpecOf(*task));
    }
};

// Terminal n at 10.0.0.n with MAC 02:..:n (no MAC when n > 50).
RegistrationData reg(int n)
{
    RegistrationData r;
    r.TermID = QString::number(1000 + n);
    r.IPAddr = Ipv4::hostToRegister(0x0A000000u + std::uint32_t(n));
    r.MachineName = QStringLiteral("KT-100");
    if (n <= 50)
        r.UserInfo1 = QStringLiteral("02:00:00:00:00:%1").arg(n, 2, 10, QLatin1Char('0'));
    return r;
}

class Commands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        ProcessValues::operatorBusy = 0;
        BusyTimer::setHook([this](bool start) { timer.push_back(start); });
        ASSERT_TRUE(db.startUp());
        SystemSettings s;
        db.readSystemSettings(s);
        s.UDPPort = 4321;
        db.writeSystemSettings(s);
        for (int n : {1, 2, 3, 51})
            ASSERT_EQ(db.registerUpdate(reg(n)), 0);
    }
    void TearDown() override { BusyTimer::setHook({}); }

    TermEntry row(int n)
    {
        std::vector<TermEntry> all;
        db.readList(DefaultListCond(), all);
        for (const TermEntry &e : all)
            if (e.TermID == QString::number(1000 + n))
                return e;
        TermEntry e; // a row without address
        e.TermID = QString::number(1000 + n);
        return e;
    }
    Udp::TermNotify notice(int n, const QString &mac)
    {
        Udp::TermNotify t;
        t.termId = QString::number(1000 + n);
        t.address = 0x0A000000u + std::uint32_t(n);
        t.macAddress = mac;
        return t;
    }
    std::unique_ptr<TaskMessage> completion(int kind, QList<TerminalEntry> entries, int endFlag = 1,
                                            ThreadId progress = 777)
    {
        auto r = std::make_unique<RequestPayload>();
        r->entries = std::move(entries);
        r->endFlag = endFlag;
        r->progressTarget = progress;
        return MakeRequest(ProcessValues::CommThreadId, kind, std::move(r));
    }
    TerminalEntry target(int n, int result)
    {
        TerminalEntry e;
        e.termId = QString::number(1000 + n);
        e.address = 0x0A000000u + std::uint32_t(n);
        e.macAddress = reg(n).UserInfo1;
        e.result = std::int16_t(result);
        return e;
    }
    void termRequest(int kind, const std::function<void(TermRequestPayload &)> &fill)
    {
        auto m = std::make_unique<TaskMessage>(ProcessValues::CommThreadId, kind);
        auto r = std::make_unique<TermRequestPayload>();
        fill(*r);
        m->payload[0] = std::move(r);
        notes.onTask(std::move(m));
    }

    TempDir dir;
    ScriptedPrompter prompter;
    CTermDatabase db{dir.path()};
    Host host;
    Timers timers;
    NoticeApplier notices{db, host, 99, timers.threadId()};
    std::vector<Posted> posts;
    std::vector<bool> timer;
    CommandContext ctx{
        db, host, notices,
        [this](ThreadId, std::uint32_t msg, quintptr w, std::unique_ptr<Payload> p) {
            posts.push_back({msg, w, std::move(p)});
            return true;
        },
        &prompter};
    CommandFlow flow{ctx};
    StoredRequestDiscard discard{ctx, flow};
    ViewNotifications notes{ctx, flow, discard};
    Sink sink;
};

} // namespace

TEST_F(Commands, RequestCarriesOneTargetPerRowWithAddressInDisplayOrder)
{
    const struct {
        MaintCommand command;
        QString file; // answer of the file dialog
        int kind, op;
        bool mac;
        QString targetFile; // of row 3 ("%1" = the program folder)
    } cases[] = {
        {MaintCommand::ReadSys, {}, 10, 3, true, "%1/Data/Sys/kel_sys1003.ini"},
        {MaintCommand::WriteBoot, dir.file("Boot/b.s"), 24, 7, false, "%1/Boot/b.s"},
        {MaintCommand::WriteCommonUser, dir.file("Data/User/c.ini"), 22, 14, true,
         "%1/Data/User/c.ini"},
    };
    TermEntry unsafe = row(2);
    unsafe.TermID = QStringLiteral("../x");
    host.selection = {row(3), row(60), unsafe, row(51)}; // row 60 has no address
    for (const auto &c : cases) {
        posts.clear();
        timer.clear();
        if (!c.file.isEmpty())
            prompter.answerFile(c.file);
        if (c.command == MaintCommand::WriteCommonUser) // asked twice
            prompter.answer(6), prompter.answer(6);
        ASSERT_TRUE(flow.run(c.command)) << int(c.command);
        ASSERT_EQ(posts.size(), 1u);
        EXPECT_EQ(std::tuple(posts[0].task()->kind, host.progressOp), std::tuple(c.kind, c.op));
        const RequestPayload *r = RequestOf(*posts[0].task());
        ASSERT_EQ(r->entries.size(), 3);
        const TerminalEntry &e = r->entries[0];
        EXPECT_EQ(std::tuple(e.termId, e.address, e.udpPort, e.model, e.macAddress.isEmpty()),
                  std::tuple(QString("1003"), 0x0A000003u, 4321, QString("KT-100"), !c.mac));
        EXPECT_EQ(e.file, c.targetFile.arg(dir.path()));
        EXPECT_EQ(r->entries[1].file.isEmpty(), c.file.isEmpty()) << "unsafe ID: no file of its own";
        EXPECT_EQ(r->entries[2].termId + r->entries[2].macAddress, "1051");
        EXPECT_FALSE(host.enabled) << "the main window waits for the completion";
        EXPECT_EQ(timer, (std::vector<bool>{false, true}));
        flow.completed();
        host.enabled = true;
    }
    host.selection = {row(3)};
    db.close();
    posts.clear();
    flow.run(MaintCommand::ForceClose);
    EXPECT_EQ(RequestOf(*posts.at(0).task())->entries[0].udpPort, 4000) << "settings unreadable";
}

TEST_F(Commands, CompletionsRecordByMacOrAddressAndRedrawOnce)
{
    const std::pair<int, int> kinds[] = {{7, 10}, {9, 11},  {11, 2},  {13, 3},  {15, 5},
                                         {17, 6}, {19, 4},  {21, 7},  {23, 12}, {25, 8},
                                         {27, 9}, {30, 18}, {32, 16}, {34, 17}, {36, 15}};
    ctx.schedule = &sink;
    for (const auto &[kind, resultKind] : kinds) {
        const int refreshes = host.refreshes, closed = host.progressClosed;
        host.enabled = false;
        // Row 51 has no MAC: found by its address, whose byte order differs in the register.
        notes.onTask(completion(kind, {target(1, 0), target(51, 3)}));
        EXPECT_EQ(std::tuple(row(1).ResultKind, row(1).ResultCode, row(51).ResultKind,
                             row(51).ResultCode),
                  std::tuple(resultKind, 0, resultKind, 3))
            << kind;
        const bool schedule = kind >= 30;
        EXPECT_EQ(std::tuple(host.refreshes - refreshes, host.progressClosed - closed, host.enabled),
                  std::tuple(schedule ? 0 : 1, schedule ? 0 : 1, !schedule))
            << kind;
    }
    EXPECT_EQ(sink.got, 4);
    // The terminal information request ends with kind 4 and records nothing.
    notes.onTask(completion(TaskKind::RequestEnded, {target(1, 5)}));
    EXPECT_EQ(row(1).ResultKind, 15);
    // A refusal of the schedule window's request is its; any other ends the command.
    const int closed = host.progressClosed;
    notes.onTask(completion(TaskKind::RequestEnded, {target(1, 7)}, 0, 4242));
    notes.onTask(completion(TaskKind::RequestEnded, {target(1, 7)}, 0, 777));
    EXPECT_EQ(std::tuple(sink.got, host.progressClosed), std::tuple(5, closed + 1));
}

TEST_F(Commands, NoticesApplyInOnePassInArrivalOrderWithOneRedrawTimerPerBurst)
{
    notices.onNotice(notice(11, "aa:01"));
    notices.onNotice(notice(20, "aa:02"));
    notices.onNotice(notice(12, "aa:01"));
    EXPECT_EQ(notices.applied(), 0u);
    QCoreApplication::processEvents();
    EXPECT_EQ(std::tuple(notices.applied(), notices.passes()), std::tuple(3u, 1u));
    EXPECT_TRUE(row(11).IPAddr.isEmpty()) << "the later notice of the same MAC wins";
    EXPECT_FALSE(row(12).IPAddr.isEmpty() || row(20).IPAddr.isEmpty());
    ASSERT_EQ(timers.started.size(), 1u);
    const TimerSpec &t = timers.started[0];
    EXPECT_TRUE(t.owner == 99 && t.id == 1 && t.ticks == 100);
    EXPECT_FALSE(notices.onTimerExpired({99, 3, 100})); // not the applier's timer
    EXPECT_TRUE(notices.onTimerExpired({99, 1, 100}));
    EXPECT_EQ(host.refreshes, 1);

    // While a command runs the redraw waits for its end.
    host.enabled = false;
    notices.onNotice(notice(13, "aa:03"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(timers.started.size() == 1 && host.pending);
    EXPECT_TRUE(notices.onTimerExpired({99, 1, 100}));
    EXPECT_EQ(host.refreshes, 1);
}

// New terminals from one address at most at the rate (all at once, then
// spread over the minute), counted in the status line; known terminals and
// other addresses are not held back.
TEST_F(Commands, NewTerminalsFromOneAddressComeAtMostAtTheRate)
{
    qint64 now = 0;
    notices.setClock([&] { return now; });
    notices.setNewTerminalRate(3);
    const auto mac = [](int n) { return QStringLiteral("02:00:00:00:01:%1").arg(n); };
    const std::uint32_t stranger = 0x7F000042u;
    for (int n = 10; n < 15; ++n)
        notices.onNotice(notice(n, mac(n)), stranger);
    notices.onNotice(notice(1, reg(1).UserInfo1), stranger);
    notices.onNotice(notice(20, mac(20)), 0x7F000043u);
    notices.flush();
    const auto present = [&](int n) { return !row(n).IPAddr.isEmpty(); };
    for (int n : {10, 11, 12, 20, 1})
        EXPECT_TRUE(present(n)) << n;
    EXPECT_FALSE(present(13) || present(14));
    now = 20000; // a third of the minute: one more
    for (int n : {13, 14})
        notices.onNotice(notice(n, mac(n)), stranger);
    notices.flush();
    EXPECT_TRUE(present(13) && !present(14));
    ListCommands commands{ctx, [](int) { return nullptr; }};
    EXPECT_TRUE(commands.statusLine(4).contains(QStringLiteral("通知 3 件")));
    // Closing is refused while terminals are updated remotely.
    ProcessValues::remoteUpdateCount = 1;
    EXPECT_FALSE(commands.exitAllowed());
    ProcessValues::remoteUpdateCount = 0;
    EXPECT_TRUE(commands.exitAllowed() && prompter.records.size() == 1);
}

// A terminal without MAC is reached by its address, not as the first row without one.
TEST_F(Commands, ClearResultsReachesTerminalsByMacOrElseByAddress)
{
    ASSERT_EQ(db.registerUpdate(reg(52)), 0);
    for (int n : {1, 2})
        db.setResultByMac(reg(n).UserInfo1, 3, 5);
    for (int n : {51, 52})
        db.setResultByAddress(QString::number(1000 + n), Ipv4::hostToRegister(0x0A000000u + n), 3, 5);
    ListCommands commands{ctx, [](int) { return nullptr; }};
    prompter.answer(MsgResult::No);
    EXPECT_FALSE(commands.clearResults({row(1), row(52)}));
    EXPECT_EQ(row(1).ResultKind, 3) << "declined";
    prompter.answer(MsgResult::Yes);
    EXPECT_TRUE(commands.clearResults({row(1), row(52)}));
    EXPECT_EQ(std::tuple(row(1).ResultKind, row(2).ResultKind, row(51).ResultKind, row(52).ResultKind),
              std::tuple(0, 3, 3, 0));
}

TEST_F(Commands, TheRedrawSeesEveryQueuedNotice)
{
    bool seen = false;
    host.onRefresh = [&] { seen = !row(7).IPAddr.isEmpty(); };
    notices.onNotice(notice(7, "aa:07"));
    // The timer runs out before the event loop got to the pass.
    EXPECT_TRUE(notices.onTimerExpired({99, 1, 100}));
    EXPECT_TRUE(seen);
}

TEST_F(Commands, TermInfoSentKeepsOrderWithNoticesAndCompletesOnTheNextNotice)
{
    const Udp::TermNotify n = notice(2, reg(2).UserInfo1);
    notices.onNotice(n); // came before the request was sent, not applied yet
    const int refreshes = host.refreshes;
    notes.onTask(completion(TaskKind::TermInfoSent, {target(2, 0)}));
    notices.flush();
    EXPECT_EQ(row(2).ResultKind, 13) << "an older notice must not complete the request";
    EXPECT_EQ(host.refreshes, refreshes) << "no redraw per terminal";
    notices.onNotice(n);
    notices.flush();
    EXPECT_EQ(std::tuple(row(2).ResultKind, row(2).ResultCode), std::tuple(1, 0));
}

TEST_F(Commands, WaitingEditFlowGetsTheNextCompletionOnce)
{
    ctx.waiter = &sink;
    host.enabled = false;
    notes.onTask(completion(CompletionKind::ReadSys, {target(1, 6), target(2, 0)}));
    notes.onTask(completion(CompletionKind::ReadSys, {target(1, 0)}));
    ctx.waiter = &sink;
    notes.onTask(completion(TaskKind::RequestEnded, {target(1, 0)}, 0)); // refused
    EXPECT_EQ(sink.done, (std::vector<bool>{true, false}));
    EXPECT_EQ(row(2).ResultKind, 2) << "results are recorded first";
    EXPECT_EQ(host.refreshes, 1) << "only the completion nobody waited for redraws";
    EXPECT_TRUE(host.pending);
}

TEST_F(Commands, TerminalRequestsAreMarkedAnsweredAndRecorded)
{
    const struct {
        int n; // the MAC address of terminal n
        QString termId;
        std::uint32_t from; // last byte of 10.0.0.x the request came from
        int decision;
        bool initial;
        int known, kind; // kind: result kind afterwards (-1: row absent)
    } cases[] = {
        {1, "1001", 1, UpdateDecision::FilesToSend, false, 1, 14},
        // The register vouches only for the ID and the address of the MAC's row.
        {3, "1001", 3, UpdateDecision::FilesToSend, false, 0, 0},
        {3, "1003", 66, UpdateDecision::FilesToSend, false, 0, 0},
        {40, "1040", 40, UpdateDecision::FilesToSend, false, 0, -1},
        // A new terminal while initial settings run keeps its mark, with a MAC.
        {43, "ERROR", 43, UpdateDecision::InitialSettings, true, 1, -1},
        {51, "ERROR", 51, UpdateDecision::InitialSettings, true, 0, 0},
    };
    ctx.initialSettings = &sink;
    for (const auto &c : cases) {
        sink.initial = c.initial;
        posts.clear();
        termRequest(TaskKind::TermRequestDecide, [&](TermRequestPayload &r) {
            r.request.notify.termId = c.termId;
            r.request.notify.macAddress = reg(c.n).UserInfo1;
            r.sourceAddress = 0x0A000000u + c.from;
            r.decision = c.decision;
        });
        ASSERT_EQ(posts.size(), 1u);
        EXPECT_EQ(posts[0].task()->kind, TaskKind::TermRequestDecision);
        EXPECT_EQ(posts[0].task()->slot<TermRequestPayload>(0)->known, c.known) << c.n;
        EXPECT_EQ(row(c.n).IPAddr.isEmpty() ? -1 : row(c.n).ResultKind, c.kind) << c.n;
    }
    EXPECT_EQ(host.refreshes, 0) << "results show with the redraw timer's redraw";
    EXPECT_TRUE(host.pending);
    // An update ended for a terminal the register lost: registered again by ID
    // and address (with an empty MAC address, which takes no other row).
    for (int n : {44, 45}) {
        sink.initial = n == 45;
        termRequest(TaskKind::TermRequestEnded, [&](TermRequestPayload &r) {
            r.request.notify.termId = QString::number(1000 + n);
            r.request.notify.macAddress = QStringLiteral("02:99:00:00:00:44");
            r.address = 0x0A000000u + n;
            r.result = 0;
        });
        EXPECT_EQ(std::tuple(row(n).IPAddr, row(n).ResultKind), // 19: initial settings running
                  std::tuple(QString::asprintf("010.000.000.%03d", n), n == 45 ? 19 : 14));
    }
    EXPECT_EQ(sink.ended, 1);
}

// The discard question closes by itself when the series ends meanwhile.
TEST_F(Commands, UpdateWindowAndTheDiscardOfStoredRequests)
{
    auto task = [](int kind) {
        return std::make_unique<TaskMessage>(ProcessValues::CommThreadId, kind);
    };
    notes.onTask(task(TaskKind::RemoteSeriesBegan));
    auto lines = task(TaskKind::RemoteSlots);
    auto report = std::make_unique<RemoteSlotsPayload>();
    report->workers[0] = {true, "1002", 0x0A000002u, {UpdateFileKind::Boot}};
    report->workers[2] = {
        true, "1001", 0x0A000001u, {UpdateFileKind::System, UpdateFileKind::User}};
    lines->payload[0] = std::move(report);
    notes.onTask(std::move(lines));
    EXPECT_TRUE(host.remoteShown);
    EXPECT_EQ(host.lines, (QStringList{"端末ID:1002  IP:10.0.0.2  ブートプログラム", "",
                                       "端末ID:1001  IP:10.0.0.1  システム設定・ユーザ設定", "",
                                       ""}));

    // The series ends while the question is open: it closes as "いいえ", then the window.
    prompter.answer(6);
    prompter.whileClosableOpen = [&] { notes.onTask(task(TaskKind::RemoteSeriesEnded)); };
    discard.onStopPressed();
    auto stored = std::make_unique<StoredRequestsPayload>();
    stored->ask = StoredAsk::Count, stored->count = 2;
    discard.onAnswer(std::move(stored));
    ASSERT_EQ(prompter.records.size(), 1);
    EXPECT_TRUE(prompter.records[0].closedFromOutside);
    EXPECT_FALSE(host.remoteShown);
    EXPECT_EQ(posts.back().wParam, StoredAsk::Count) << "nothing taken";
    EXPECT_TRUE(host.enabled && !(ProcessValues::operatorBusy & 1));
}

// The last menu command once more, with its file and answers, on those of its
// targets whose result is an error now.
TEST_F(Commands, RepeatRunsTheLastCommandOnItsFailedTargetsWithItsFileAndAnswers)
{
    CommandRepeat repeat{ctx, flow};
    EXPECT_FALSE(repeat.available()) << "no last command";
    host.selection = {row(1), row(2), row(3), row(51)};
    const QString common = dir.file("Data/Sys/kel_sys_all.ini");
    prompter.answerFile(common);
    prompter.answer(6), prompter.answer(6);
    ASSERT_TRUE(flow.run(MaintCommand::WriteCommonSys));
    EXPECT_FALSE(repeat.available()) << "still running";
    notes.onTask(completion(CompletionKind::WriteCommon,
                            {target(1, 0), target(2, 3), target(3, 0), target(51, 6)}));
    ASSERT_TRUE(repeat.available());

    posts.clear();
    prompter.records.clear();
    prompter.answer(6);
    ASSERT_TRUE(repeat.run());
    ASSERT_EQ(prompter.records.size(), 1) << "no file dialog, no second question";
    EXPECT_EQ(prompter.records[0].caption, QString("共通ファイル書き込み開始確認"));
    EXPECT_EQ(prompter.records[0].text,
              QString("前回の処理「共通ファイル書込(システム設定)」を、処理に失敗した端末 2 件に"
                      "再実行します。\nよろしいですか？"));
    // Every command the question may name has a name of its own.
    QSet<QString> names;
    for (int c = 0; c <= int(MaintCommand::ForceClose); ++c)
        names.insert(CommandRepeat::commandName(MaintCommand(c)));
    EXPECT_TRUE(names.size() == int(MaintCommand::ForceClose) + 1 && !names.contains(QString()));
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].task()->kind, RequestKind::WriteCommon);
    const RequestPayload *r = RequestOf(*posts[0].task());
    ASSERT_EQ(r->entries.size(), 2);
    EXPECT_EQ(std::tuple(r->entries[0].termId, r->entries[1].termId, r->entries[1].file),
              std::tuple(QString("1002"), QString("1051"), common));

    // Alert questions answered by the command are not asked again; a new one is.
    TermEntry idAlert = row(1), both = row(2);
    idAlert.TermIDAlert = 1;
    both.TermIDAlert = both.IPAddrAlert = 1;
    prompter.records.clear();
    EXPECT_TRUE(CommandTargets::check({idAlert}, prompter, {true, false}));
    prompter.answer(7);
    EXPECT_FALSE(CommandTargets::check({both}, prompter, {true, false}));
    ASSERT_EQ(prompter.records.size(), 1);
    EXPECT_TRUE(prompter.records[0].text.startsWith("IPアドレスアラート"));
}

// The failed terminals of the register: which count, the CSV file.
class FailedList : public Commands
{
};

// No operation yet and "端末情報取得中" are no failure, whatever the code.
TEST_F(FailedList, WhichCountAndWhatTheListHides)
{
    const auto entry = [](int id, int kind, int code) {
        TermEntry e;
        e.ID = id, e.ResultKind = kind, e.ResultCode = code;
        return e;
    };
    EXPECT_EQ(FailedTerminals::rows({entry(1, 5, 3), entry(2, 5, 0), entry(3, 0, 4), entry(4, 13, 9),
                                     entry(5, 19, 11), entry(6, 99, 1)}),
              (std::vector<int>{0, 4, 5}));
}

TEST_F(FailedList, CsvFieldsQuotedWhereNeededAndFormulasDisarmed)
{
    const struct {
        QString in;
        bool fromTerminal;
        QString out;
    } rows[] = {
        {"a,b", false, "\"a,b\""},          {"say \"hi\"", false, "\"say \"\"hi\"\"\""},
        {"two\r\nlines", false, "\"two\r\nlines\""}, {" padded", false, "\" padded\""},
        {"=HYPERLINK(\"x\")", true, "\"'=HYPERLINK(\"\"x\"\")\""},
        {"-1", true, "'-1"}, {"-1", false, "-1"}, {"", true, ""},
    };
    for (const auto &r : rows)
        EXPECT_EQ(FailedTerminals::csvField(r.in, r.fromTerminal), r.out) << r.in.toStdString();
}

// A file that can't be written leaves the old one; a name without suffix gets ".csv".
TEST_F(FailedList, ExportWritesTheRegistersFailedTerminalsWhole)
{
    EXPECT_FALSE(FailedTerminals::exportCsv(db, prompter)) << "nothing failed";
    EXPECT_EQ(prompter.records.last().text, QString("処理に失敗した端末はありません。"));
    for (int n : {1, 2}) {
        RegistrationData r = reg(n);
        r.IPAddr = Ipv4::hostToRegister(0xC0A80100u + std::uint32_t(n));
        ASSERT_EQ(db.registerUpdate(r), 0);
        ASSERT_EQ(db.setResultByMac(r.UserInfo1, 5, n == 2 ? 0 : 3), 0);
    }
    std::vector<TermEntry> failed;
    ASSERT_EQ(FailedTerminals::read(db, failed), 0);
    ASSERT_EQ(failed.size(), 1u);
    const QByteArray bytes = FailedTerminals::csv(failed);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF") && bytes.endsWith("\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n1001,192.168.1.1,KT-100,ｼｽﾃﾑ設定書込 (ｴﾗｰ：通信ﾀｲﾑｱｳﾄ),3,20"));

    dir.write("failed.csv", "old");
    prompter.answerFile(QString()); // cancelled
    EXPECT_FALSE(FailedTerminals::exportCsv(db, prompter));
    SafeFile::setStepHook(
        [](SafeFile::Step s, const QString &) { return s != SafeFile::Step::Sync; });
    prompter.answerFile(dir.file("failed.csv"));
    EXPECT_FALSE(FailedTerminals::exportCsv(db, prompter));
    SafeFile::setStepHook({});
    EXPECT_EQ(prompter.records.last().caption, QString("処理失敗端末の出力異常"));
    EXPECT_EQ(dir.read("failed.csv"), "old");
    prompter.answerFile(dir.file("named-without-suffix"));
    EXPECT_TRUE(FailedTerminals::exportCsv(db, prompter));
    EXPECT_EQ(dir.read("named-without-suffix.csv"), FailedTerminals::csv(failed));
}
