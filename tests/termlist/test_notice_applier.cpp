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

class Host : public NoticeApplier::Host
{
public:
    bool pending = false;
    bool enabled = true;
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
class Timers : public MessageReceiver
{
public:
    std::vector<TimerSpec> started;

protected:
    void onMessage(std::uint32_t, quintptr, std::unique_ptr<Payload> p) override
    {
        if (auto *task = dynamic_cast<TaskMessage *>(p.get());
            task && task->kind == TaskKind::TimerStart)
            started.push_back(*TimerSpecOf(*task));
    }
};

Udp::TermNotify notice(const char *id, const char *mac, std::uint32_t address)
{
    Udp::TermNotify n;
    n.termId = QString::fromLatin1(id);
    n.macAddress = QString::fromLatin1(mac);
    n.address = address;
    n.vendor = QStringLiteral("KEL");
    n.regist = 2;
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
    std::vector<TermEntry> rows()
    {
        std::vector<TermEntry> list;
        ListCondInfo cond;
        db->readListCond(cond);
        db->readList(cond, list);
        return list;
    }
};

} // namespace

TEST_F(Applier, ABurstIsAppliedInOnePassInArrivalOrder)
{
    applier->onNotice(notice("11", "00:00:00:00:00:01", 0x7F000002u));
    applier->onNotice(notice("20", "00:00:00:00:00:02", 0x7F000003u));
    applier->onNotice(notice("12", "00:00:00:00:00:01", 0x7F000002u));
    EXPECT_EQ(applier->applied(), 0u);
    QCoreApplication::processEvents();
    EXPECT_EQ(applier->applied(), 3u);
    EXPECT_EQ(applier->passes(), 1u);
    const std::vector<TermEntry> list = rows();
    ASSERT_EQ(list.size(), 2u);
    const TermEntry &mac1 =
        list[0].UserInfo1 == QLatin1String("00:00:00:00:00:01") ? list[0] : list[1];
    EXPECT_EQ(mac1.TermID, QStringLiteral("12")) << "the later notice of the same MAC wins";
    EXPECT_EQ(mac1.IPAddr, QStringLiteral("127.000.000.002"));
    EXPECT_EQ(mac1.Regist, 2);
    EXPECT_EQ(mac1.Vendor, QStringLiteral("KEL"));
}

TEST_F(Applier, OneRedrawTimerPerBurstAndNoneWhileTheWindowIsDisabled)
{
    applier->onNotice(notice("1", "00:00:00:00:00:01", 0x7F000002u));
    applier->onNotice(notice("2", "00:00:00:00:00:02", 0x7F000003u));
    QCoreApplication::processEvents();
    ASSERT_EQ(timers.started.size(), 1u);
    EXPECT_EQ(timers.started[0].owner, owner);
    EXPECT_EQ(timers.started[0].id, 1);
    EXPECT_EQ(timers.started[0].ticks, 100);
    EXPECT_FALSE(applier->onTimerExpired({owner, 2, 100}));
    EXPECT_TRUE(applier->onTimerExpired({owner, 1, 100}));
    EXPECT_EQ(host.refreshes, 1);

    host.enabled = false;
    applier->onNotice(notice("3", "00:00:00:00:00:03", 0x7F000004u));
    QCoreApplication::processEvents();
    EXPECT_EQ(timers.started.size(), 1u);
    EXPECT_TRUE(host.pending) << "the redraw waits for the command's end";
    EXPECT_TRUE(applier->onTimerExpired({owner, 1, 100}));
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(Applier, TheRedrawSeesEveryQueuedNotice)
{
    int rowsAtRefresh = -1;
    host.onRefresh = [&] { rowsAtRefresh = int(rows().size()); };
    applier->onNotice(notice("7", "00:00:00:00:00:07", 0x7F000008u));
    // The timer runs out before the event loop got to the pass.
    EXPECT_TRUE(applier->onTimerExpired({owner, 1, 100}));
    EXPECT_EQ(rowsAtRefresh, 1);
}
