// Terminal notices on the view's side: applied in order, a burst in one
// pass, one redraw timer per burst, and the redraw sees every notice.
#include "termlist/NoticeApplier.h"

#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace
{

struct Host : NoticeApplier::Host {
    bool pending = false, enabled = true;
    int refreshes = 0;
    std::function<void()> onRefresh = [] {};
    bool refreshPending() const override { return pending; }
    void setRefreshPending() override { pending = true; }
    bool mainWindowEnabled() const override { return enabled; }
    void refreshList() override
    {
        pending = false;
        ++refreshes;
        onRefresh();
    }
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

Udp::TermNotify notice(int id, int mac)
{
    Udp::TermNotify n;
    n.termId = QString::number(id);
    n.macAddress = QStringLiteral("00:00:00:00:00:%1").arg(mac, 2, 10, QLatin1Char('0'));
    n.address = 0x7F000001u + mac;
    return n;
}

struct Applier : ::testing::Test {
    TempDir dir;
    std::unique_ptr<CTermDatabase> db;
    Host host;
    Timers timers;
    std::unique_ptr<NoticeApplier> applier;
    const ThreadId owner = 4711;

    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        db = std::make_unique<CTermDatabase>(dir.path());
        ASSERT_TRUE(db->startUp());
        applier = std::make_unique<NoticeApplier>(*db, host, owner, timers.threadId());
    }
    QStringList ids()
    {
        std::vector<TermEntry> list;
        ListCondInfo cond;
        db->readListCond(cond);
        db->readList(cond, list);
        QStringList out;
        for (const TermEntry &e : list)
            out << e.TermID;
        out.sort();
        return out;
    }
};

} // namespace

TEST_F(Applier, ABurstIsAppliedInOnePassInArrivalOrder)
{
    applier->onNotice(notice(11, 1));
    applier->onNotice(notice(20, 2));
    applier->onNotice(notice(12, 1));
    EXPECT_EQ(applier->applied(), 0u);
    QCoreApplication::processEvents();
    EXPECT_EQ(applier->applied(), 3u);
    EXPECT_EQ(applier->passes(), 1u);
    EXPECT_EQ(ids(), QStringList({"12", "20"})) << "the later notice of the same MAC wins";
}

TEST_F(Applier, OneRedrawTimerPerBurstAndNoneWhileTheWindowIsDisabled)
{
    applier->onNotice(notice(1, 1));
    applier->onNotice(notice(2, 2));
    QCoreApplication::processEvents();
    ASSERT_EQ(timers.started.size(), 1u);
    const TimerSpec &t = timers.started[0];
    EXPECT_TRUE(t.owner == owner && t.id == 1 && t.ticks == 100);
    EXPECT_FALSE(applier->onTimerExpired({owner, 3, 100})); // not the applier's timer
    EXPECT_TRUE(applier->onTimerExpired({owner, 1, 100}));
    EXPECT_EQ(host.refreshes, 1);

    host.enabled = false;
    applier->onNotice(notice(3, 3));
    QCoreApplication::processEvents();
    EXPECT_EQ(timers.started.size(), 1u);
    EXPECT_TRUE(host.pending) << "the redraw waits for the command's end";
    EXPECT_TRUE(applier->onTimerExpired({owner, 1, 100}));
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(Applier, TheRedrawSeesEveryQueuedNotice)
{
    QStringList atRefresh;
    host.onRefresh = [&] { atRefresh = ids(); };
    applier->onNotice(notice(7, 7));
    // The timer runs out before the event loop got to the pass.
    EXPECT_TRUE(applier->onTimerExpired({owner, 1, 100}));
    EXPECT_EQ(atRefresh, QStringList({"7"}));
}
