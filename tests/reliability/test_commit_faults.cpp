// A register whose disk is full at COMMIT (WAL mode): the step or the batch
// is rolled back, so nothing may be reported done, no log line may claim it
// and no settings file may go with a row that is still there.
#include "ApplierDoubles.h"
#include "FullDiskVfs.h"

#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/NoticeApplier.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/TerminalView.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace
{

struct RecordingLog : IRegisterLog {
    QStringList lines;
    void errorLog(int kind, const QString &termId, const QString &) override
    {
        lines << QStringLiteral("%1:%2").arg(kind).arg(termId);
    }
};

// Terminal n at 10.0.0.n with MAC ...:n.
RegistrationData reg(int n)
{
    RegistrationData r;
    r.TermID = QString::number(n);
    r.IPAddr = 0x0000000Au | (std::uint32_t(n) << 24);
    r.UserInfo1 = QStringLiteral("00:00:00:00:00:%1").arg(n, 2, 16, QLatin1Char('0'));
    return r;
}

class CommitFault : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FullDiskVfs::install();
        ProcessValues::setProgramFolder(dir.path());
        ProcessValues::startupAbort = 0;
        db = std::make_unique<CTermDatabase>(dir.path());
        ASSERT_TRUE(db->startUp());
        db->setLogWriter(&log);
    }
    QStringList ids()
    {
        std::vector<TermEntry> rows;
        EXPECT_EQ(db->readList(DefaultListCond(), rows), 0);
        QStringList out;
        for (const TermEntry &e : rows)
            out << e.TermID + (e.TermEntryType == 0 ? QStringLiteral("p") : QString());
        out.sort();
        return out;
    }
    std::vector<TermItem> itemsFor(std::initializer_list<int> terminals)
    {
        std::vector<TermItem> items;
        std::vector<TermEntry> rows;
        db->readList(DefaultListCond(), rows);
        for (int n : terminals)
            for (const TermEntry &e : rows)
                if (e.TermID == QString::number(n))
                    items.push_back(TermItem{e.ID, e.TermID, 0});
        return items;
    }

    TempDir dir;
    ScriptedPrompter prompter;
    RecordingLog log;
    std::unique_ptr<CTermDatabase> db;
};

} // namespace

TEST_F(CommitFault, AddAndDeleteStepsThatRollBackAreNotUpdatable)
{
    for (int n : {1, 2, 3})
        ASSERT_EQ(db->registerUpdate(reg(n)), 0);
    const QStringList before = ids();

    struct Case {
        const char *name;
        std::function<int(std::vector<TermItem> &)> run;
        std::vector<TermItem> items;
    };
    std::vector<Case> cases{
        {"add",
         [&](std::vector<TermItem> &i) { return db->addTerminals(i); },
         {TermItem{0, "7", 0}, TermItem{0, "8", 0}, TermItem{0, "1", 0}}},
        {"delete", [&](std::vector<TermItem> &i) { return db->deleteTerminals(i); },
         itemsFor({1, 3})},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompter.records.clear();
        {
            FullDiskVfs::Full full;
            EXPECT_EQ(c.run(c.items), DbAnswer::Failed);
        }
        for (const TermItem &item : c.items)
            EXPECT_NE(item.result, ItemResult::Done) << item.TermID.toStdString();
        EXPECT_EQ(ids(), before) << "the step was rolled back";
        ASSERT_FALSE(prompter.records.isEmpty());
        EXPECT_EQ(prompter.records.first().caption, QStringLiteral("DB Error"));
    }
    // With room again both go through.
    std::vector<TermItem> add{TermItem{0, "7", 0}};
    EXPECT_EQ(db->addTerminals(add), 0);
    std::vector<TermItem> del = itemsFor({1});
    EXPECT_EQ(db->deleteTerminals(del), 0);
    EXPECT_EQ(ids(), QStringList({"2", "3", "7p"}));
}

TEST_F(CommitFault, RolledBackNoticeBatchLeavesNoLogLinesAndIsRetried)
{
    // A provisional row to adopt and a terminal ID held twice: both log.
    std::vector<TermItem> add{TermItem{0, "5", 0}};
    ASSERT_EQ(db->addTerminals(add), 0);
    ASSERT_EQ(db->registerUpdate(reg(6)), 0);
    RegistrationData twin = reg(6);
    twin.UserInfo1 = QStringLiteral("00:00:00:00:01:06");
    twin.IPAddr = reg(9).IPAddr;

    ViewDouble host;
    TimerThreadDouble timers;
    NoticeApplier applier(*db, host, 4711, timers.threadId());
    const auto notify = [&](const RegistrationData &r) {
        Udp::TermNotify n;
        n.termId = r.TermID;
        n.macAddress = r.UserInfo1;
        n.address = qbswap(r.IPAddr);
        applier.onNotice(n);
    };
    {
        FullDiskVfs::Full full;
        notify(reg(5));
        notify(twin);
        QCoreApplication::processEvents();
        EXPECT_EQ(applier.passes(), 1u);
        EXPECT_EQ(applier.applied(), 0u);
        EXPECT_EQ(applier.pending(), 2u) << "kept for a retry";
        EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(' ').toStdString();
        // Further notices wait for the retry timer instead of failing one by one.
        notify(reg(7));
        QCoreApplication::processEvents();
        EXPECT_EQ(applier.passes(), 1u);
        EXPECT_TRUE(applier.retryWaiting());
    }
    ASSERT_FALSE(timers.started.empty());
    const TimerSpec retry = timers.started.back();
    EXPECT_EQ(retry.id, NoticeApplier::RetryTimerId);
    EXPECT_EQ(ids(), QStringList({"5p", "6"}));

    host.pending = false;
    EXPECT_TRUE(applier.onTimerExpired(retry));
    EXPECT_EQ(applier.applied(), 3u);
    EXPECT_EQ(applier.pending(), 0u);
    EXPECT_EQ(applier.dropped(), 0u);
    EXPECT_EQ(ids(), QStringList({"5", "6", "6", "7"}));
    EXPECT_EQ(log.lines, QStringList({"1:5", "1:6"})) << "each line once, after its commit";
    EXPECT_TRUE(host.pending) << "the late notices get their redraw";
}

TEST(CommitFaultView, DeleteWithFilesOnAFullDiskKeepsRowsAndFiles)
{
    FullDiskVfs::install();
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    ProcessValues::startupAbort = 0;
    {
        CTermDatabase db(dir.path());
        ASSERT_TRUE(db.startUp());
        for (int n : {1, 2, 3})
            ASSERT_EQ(db.registerUpdate(reg(n)), 0);
    }
    const QStringList files{"Data/Sys/kel_sys%1.ini", "Data/User/kel_user%1.ini",
                            "Data/Dial/kel_dial%1.csv"};
    for (int n : {1, 2, 3})
        for (const QString &f : files)
            dir.write(f.arg(n), "x");
    ScriptedPrompter prompter;
    CTerminalView view;
    view.initialUpdate();
    ASSERT_EQ(view.listModel()->rowCount(), 3);
    view.selectAll();
    prompter.answer(MsgResult::Yes); // delete
    prompter.answer(MsgResult::Yes); // with their files
    {
        FullDiskVfs::Full full;
        view.onDeleteTerminals();
    }
    EXPECT_EQ(view.listModel()->rowCount(), 3) << "the rows came back";
    for (int n : {1, 2, 3})
        for (const QString &f : files)
            EXPECT_TRUE(QFile::exists(dir.file(f.arg(n)))) << f.arg(n).toStdString();
    EXPECT_TRUE(prompter.texts().contains(QStringLiteral("一部の端末を削除できませんでした。")))
        << prompter.texts().join('|').toStdString();
}
