// The execution window end to end: the real communication stack and workers
// against simulated terminals. Schedule 1 writes the system settings file and
// restarts the terminals at an appointed minute that the window's clock
// reaches two seconds after opening; schedule 2 follows it and restarts only
// the terminals that succeeded, once the test has moved the clock on.
#include "CommStack.h"

#include "common/Ipv4.h"
#include "schedule/ScheduleFiles.h"
#include "schedule/ScheduleTestData.h"
#include "schedule/ui/ScheduleRunWindow.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <gtest/gtest.h>

using namespace Schedule;

namespace
{

constexpr int Port = 43901;

// What the terminal list view does with the window registered: it hands the
// completions of schedule requests, and the refusal of the window's request,
// on to the window.
class ForwardingView : public TestView
{
public:
    using TestView::TestView;
    IScheduleCompletionSink *sink = nullptr;
    ThreadId windowId = 0;

protected:
    void onMessage(std::uint32_t msg, quintptr w, std::unique_ptr<Payload> lParam) override
    {
        auto *task = dynamic_cast<TaskMessage *>(lParam.get());
        const RequestPayload *request = task ? RequestOf(*task) : nullptr;
        const bool step = task && (task->kind == CompletionKind::ScheduleRestart ||
                                   task->kind == CompletionKind::ScheduleWriteSettings ||
                                   task->kind == CompletionKind::ScheduleReadSettings ||
                                   task->kind == CompletionKind::ScheduleWriteFirm);
        const bool refused = task && request && task->kind == TaskKind::RequestEnded &&
                             request->endFlag == 0 && request->progressTarget == windowId;
        if (msg == Msg::Task && sink && (step || refused)) {
            lParam.release();
            return sink->scheduleStepComplete(std::unique_ptr<TaskMessage>(task));
        }
        TestView::onMessage(msg, w, std::move(lParam));
    }
};

ScheduleTarget target(int id, const QString &address)
{
    return {QString::number(id), address, QStringLiteral("02:00:7f:00:5a:%1").arg(id % 100),
            QStringLiteral("KT-100")};
}

int count(const QJsonArray &records, const QString &prefix)
{
    int n = 0;
    for (const QJsonValue &v : records)
        n += v.toObject().value("name").toString().startsWith(prefix);
    return n;
}

} // namespace

TEST(ScheduleE2e, AppointedRunThenChainOnTheTerminalsThatSucceeded)
{
    CommStack stack({.udpPort = Port});
    ASSERT_TRUE(stack.up());
    auto view = std::make_unique<ForwardingView>(*stack.db);
    ForwardingView *forward = view.get();
    stack.view = std::move(view);

    Termsim sim;
    ASSERT_TRUE(sim.start(simArgs("127.0.90.2", 4, Port))) << sim.lastLine().toStdString();
    sim.cmd("set 3 open=nak0"); // 1004 refuses the session

    // 1003 is known to the register only.
    RegistrationData known;
    known.TermID = "1003";
    known.IPAddr = Ipv4::hostToRegister(0x7F005A04);
    known.MachineName = "KT-100";
    known.UserInfo1 = "02:00:7f:00:5a:04";
    ASSERT_EQ(stack.db->registerUpdate(known), 0);
    for (int id : {1001, 1002, 1003, 1004})
        stack.dir.write(QStringLiteral("Data/Sys/kel_sys%1.ini").arg(id), "[Sys]\r\nId=1\r\n");

    ScheduleBook book;
    book.init(stack.dir.path());
    const QDateTime base = QDateTime::currentDateTime();
    const QDateTime appointed(base.date(), QTime(base.time().hour(), base.time().minute()));
    const QDateTime at = appointed.addSecs(120);
    ScheduleSettings first = appointedAt(at, Process::SettingsWrite);
    first.SysSetupFileWrite = 1;
    first.TermReboot = 1;
    const QList<ScheduleTarget> targets{target(1001, "127.0.90.2"), target(1002, "127.0.90.3"),
                                        {"1003", "", "", ""}, target(1004, "127.0.90.5"),
                                        {"1099", "", "", ""}};
    ASSERT_TRUE(ScheduleFiles::writeSettings(book.at(1).settingsPath, first, targets));
    ScheduleSettings chain;
    chain.OperatTiming = Timing::AfterOther;
    chain.OtherSchedule = 1;
    chain.AfterOtherMode = AfterOther::SucceededOnly;
    chain.WaitTime = 5;
    chain.ProcessKind = Process::Restart;
    ASSERT_TRUE(ScheduleFiles::writeSettings(book.at(2).settingsPath, chain, {}));
    for (int n : {1, 2})
        ASSERT_TRUE(ScheduleFiles::writeEnabled(book.at(n).settingsPath, true));

    // The window's clock stands two seconds before the appointed minute.
    qint64 offset = base.secsTo(at) - 2;
    RegisterTerminalLookup lookup(*stack.db);
    CScheduleRunWindow window(book, lookup, nullptr,
                              [&] { return QDateTime::currentDateTime().addSecs(offset); });
    forward->sink = &window;
    forward->windowId = window.messageId();
    window.show();
    window.start();

    ASSERT_TRUE(pumpUntil([&] { return window.runner().running(); }, 10000));
    ASSERT_TRUE(pumpUntil([&] { return book.at(1).hasResult && !window.runner().running(); },
                          60000));
    ScheduleResult r;
    ASSERT_TRUE(ScheduleFiles::readResult(book.at(1).resultPath, r));
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(std::tuple(r.SuccessTermNum, r.ErrorTermNum, r.CancelTermCount), std::tuple(3, 1, 0));
    const QString minute = ScheduleTiming::minuteText(at);
    EXPECT_EQ(r.ScheduleDate, minute);
    EXPECT_EQ(r.BeginDate, minute);
    ASSERT_EQ(r.terminals.size(), 5);
    EXPECT_EQ(r.terminals[0], (ScheduleResultTerm{Outcome::NotExecuted, {"1099", "", "", ""}}));
    EXPECT_EQ(r.terminals[3], (ScheduleResultTerm{Outcome::Success,
                                                  {"1003", "127.000.090.004", "02:00:7f:00:5a:04",
                                                   "KT-100"}}));
    EXPECT_EQ(r.terminals[4].outcome, Outcome::Error);
    EXPECT_EQ(window.progressLabel->text(), QStringLiteral("5台／5台完了"));
    for (int t = 0; t < 3; ++t) {
        const QJsonArray files = sim.json(QString("files %1").arg(t)).toArray();
        ASSERT_EQ(files.size(), 1) << t;
        EXPECT_TRUE(files[0].toObject().value("name").toString().startsWith("kel_sys")) << t;
        EXPECT_EQ(sim.closes(t, 1), 1) << "restarted after the write: " << t;
    }
    const QString log = stack.log();
    EXPECT_TRUE(log.contains(minute + QStringLiteral(" スケジュール1実行開始")));
    EXPECT_TRUE(log.contains(QStringLiteral(" スケジュール1実行終了")));

    // Five minutes on (by the clock, not by waiting): the chain restarts the
    // three that succeeded, and only them.
    offset += 5 * 60;
    ASSERT_TRUE(pumpUntil([&] { return book.at(2).hasResult && !window.runner().running(); },
                          60000));
    ScheduleResult c;
    ASSERT_TRUE(ScheduleFiles::readResult(book.at(2).resultPath, c));
    EXPECT_EQ(std::tuple(c.SuccessTermNum, c.ErrorTermNum, c.CancelTermCount), std::tuple(3, 0, 0));
    EXPECT_EQ(c.ScheduleDate, QStringLiteral("スケジュール1終了後"));
    ASSERT_EQ(c.terminals.size(), 5);
    EXPECT_EQ(c.terminals[0].terminal.termId, "1004");
    EXPECT_EQ(c.terminals[0].outcome, Outcome::NotExecuted);
    EXPECT_EQ(c.terminals[1].terminal.termId, "1099");
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(sim.closes(t, 1), 2) << t;
    EXPECT_EQ(count(sim.received(3, "RemoteOpenReq"), "RemoteOpenReq"), 1);
    EXPECT_TRUE(stack.log().contains(QStringLiteral(" スケジュール2実行終了")));

    forward->sink = nullptr;
    window.timer.stop();
}
