#include "comm/CommPayloads.h"

#include "schedule/ScheduleTestData.h"

#include <QFile>

using namespace Schedule;

namespace
{

constexpr ThreadId Self = 77;

struct Host : IScheduleRunnerHost {
    std::vector<std::unique_ptr<TaskMessage>> posted;
    QString progress;
    int closes = 0;
    void rowChanged(int) override {}
    void statusChanged(const QString &) override {}
    void progressChanged(const QString &t, int, int) override { progress = t; }
    void cancelEnabled(bool) override {}
    void closeWindow() override { ++closes; }
    bool post(std::unique_ptr<TaskMessage> m) override
    {
        posted.push_back(std::move(m));
        return true;
    }
};

class RunnerTest : public ScheduleWorld
{
protected:
    // Completes the last posted request with the given result codes.
    void complete(std::initializer_list<int> codes)
    {
        auto m = std::move(host.posted.back());
        host.posted.pop_back();
        int i = 0;
        for (int code : codes)
            RequestOf(*m)->entries[i++].result = std::int16_t(code);
        m->kind = CompletionKindOf(m->kind);
        RequestOf(*m)->endFlag = 1;
        runner.onMessage(std::move(m));
    }
    QDateTime clock{QDate(2024, 1, 15), QTime(9, 0)};
    Host host;
    ScheduleRunner runner{book, host, reg, Self, [this] { return clock; }};
    const QList<ScheduleTarget> three{{"2001", "127.0.90.2", "02:00:7f:00:5a:02", "KT-100"},
                                      {"2002", "", "", ""},
                                      {"2003", "", "mac", "KT-100"}};
};

} // namespace

TEST_F(RunnerTest, RequestCarriesFilesAndRegisterAddresses)
{
    ScheduleSettings s = appointedAt(clock, Process::SettingsWrite);
    s.SysSetupFileWrite = 1;
    s.DialSetupFileWrite = 1;
    s.OtherSetupFileWrite = 1;
    s.OtherSetupFile2Name = QStringLiteral("Data/Sys/kel_sys.ini");
    s.TermReboot = 1;
    save(1, s, three);
    runner.open();
    runner.tick();

    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0]->kind, RequestKind::ScheduleWriteSettings);
    const RequestPayload *req = RequestOf(*host.posted[0]);
    ASSERT_EQ(req->entries.size(), 2);
    const TerminalEntry &a = req->entries[0];
    EXPECT_EQ(req->entries[1].address, 0x7F005A04u) << "address from the register";
    EXPECT_TRUE(req->entries[1].restart);
    const QString f = book.folder();
    EXPECT_EQ(a.files, (QList<RequestFile>{{f + "Data/Sys/kel_sys2001.ini", "kel_sys.ini"},
                                           {f + "Data/Dial/kel_dial2001.csv", "kel_dial.csv"},
                                           {f + "Data/Sys/kel_sys.ini", "kel_sys.ini", true}}));
    EXPECT_EQ(host.progress, QStringLiteral("1台／3台完了")) << "the skipped one counts";

    complete({ResultCode::Success, ResultCode::FtpConnect});
    EXPECT_FALSE(runner.running());
    EXPECT_EQ(runner.rowState(1), RowState::EndedWithError);
}

TEST_F(RunnerTest, LowestNumberFirstOnOneTickAndTheOtherLaterWhenLatenessAllows)
{
    ScheduleSettings late = appointedAt(clock);
    late.BeginMode = Begin::WithinPermitted;
    late.BeginPermTime = 1;
    save(2, late, three.mid(0, 1));
    save(Count, appointedAt(clock), three.mid(0, 1)); // the last number runs too
    ScheduleSettings unknown = appointedAt(clock);
    unknown.ProcessKind = 7;
    save(1, unknown, three.mid(0, 1));
    runner.open();

    runner.tick();
    ASSERT_EQ(runner.runningNumber(), 2) << "1 can't start and must not block the others";
    clock = clock.addSecs(61);
    runner.tick(); // blinks
    EXPECT_EQ(runner.rowState(2), RowState::Waiting);
    runner.tick();
    EXPECT_EQ(runner.rowState(2), RowState::Running);
    complete({0});
    runner.tick();
    ASSERT_EQ(runner.runningNumber(), Count);
    complete({0});

    // Started too late for its permitted minute: schedule 2 waits for the next opening.
    runner.open();
    clock = clock.addSecs(60);
    runner.tick();
    EXPECT_EQ(runner.runningNumber(), Count);
}

// A schedule due while its next start can't be computed (weekly without a
// day) must not stay due with the start it has just taken; a day-30 monthly
// one runs once on 30 January, then next on February's last day.
TEST_F(RunnerTest, ATimedScheduleRunsOnceThenAtItsNextStart)
{
    ScheduleSettings noDay, day30;
    noDay.OperatTiming = Timing::Weekly;
    day30.OperatTiming = Timing::Monthly;
    day30.EveryMonthDateDay = 30;
    day30.EveryMonthDateHour = 3;
    noDay.ProcessKind = day30.ProcessKind = Process::Restart;
    for (const ScheduleSettings &s : {noDay, day30}) {
        save(1, s, three.mid(0, 1));
        clock = QDateTime(QDate(2025, 1, 30), QTime(2, 59, 58));
        runner.open();
        book.at(1).nextStart = clock.addSecs(2);
        int runs = 0;
        for (int second = 0; second < 600; ++second) {
            clock = clock.addSecs(1);
            runner.tick();
            if (!host.posted.empty()) {
                ++runs;
                complete({0});
            }
        }
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(book.at(1).nextStart,
                  s.EveryMonthDateDay ? QDateTime(QDate(2025, 2, 28), QTime(3, 0)) : QDateTime());
    }
}

TEST_F(RunnerTest, CloseDuringRunWithTheBoxCheckedClosesAtTheEndRefusalEndsTheRun)
{
    save(1, appointedAt(clock), three.mid(0, 2));
    runner.open();
    runner.setCancelClose(true);
    runner.tick();
    EXPECT_FALSE(runner.requestClose());
    EXPECT_FALSE(runner.requestClose()) << "asked twice, cancelled once";
    ASSERT_EQ(host.posted.size(), 2u);
    EXPECT_EQ(host.posted[1]->kind, TaskKind::Cancel);
    host.posted.pop_back();
    complete({7, 7});
    EXPECT_EQ(host.closes, 1);

    // A refused request ends the run as cancelled; foreign messages are dropped.
    runner.open();
    runner.tick();
    auto refused = std::move(host.posted.back());
    host.posted.pop_back();
    auto foreign = std::make_unique<TaskMessage>(0, TaskKind::RequestEnded);
    foreign->payload[0] = std::make_unique<RequestPayload>();
    runner.onMessage(std::move(foreign));
    EXPECT_TRUE(runner.running());
    refused->kind = TaskKind::RequestEnded;
    runner.onMessage(std::move(refused));
    EXPECT_FALSE(runner.running());
    EXPECT_EQ(book.at(1).result.CancelTermCount, 2);
    EXPECT_EQ(runner.runState(1).endState, 1);
}

TEST_F(RunnerTest, NothingToSendEndsAtOnceAndClearingResultsAsksFirst)
{
    save(1, appointedAt(clock), {{"9999", "", "", ""}});
    runner.open();
    runner.tick();
    EXPECT_TRUE(host.posted.empty());
    EXPECT_FALSE(runner.running());
    ScheduleResult r;
    ASSERT_TRUE(ScheduleFiles::readResult(book.at(1).resultPath, r));
    EXPECT_EQ(r.terminals,
              (QList<ScheduleResultTerm>{{Outcome::NotExecuted, {"9999", "", "", ""}}}));
    EXPECT_EQ(r.Status, 1);

    prompter.answer(MsgResult::No);
    runner.clearAllResults();
    EXPECT_TRUE(QFile::exists(book.at(1).resultPath));
    prompter.answer(MsgResult::Yes);
    runner.clearAllResults();
    EXPECT_FALSE(QFile::exists(book.at(1).resultPath));
    EXPECT_EQ(runner.stateText(1), QStringLiteral("未実施"));
    EXPECT_EQ(runner.rowState(1), RowState::Waiting);
}
