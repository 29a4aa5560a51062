// The settings history store (its window runs end to end in tests/editor_e2e).
#include "common/ProcessValues.h"
#include "common/SafeFile.h"
#include "history/SettingsHistory.h"

#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <thread>

using namespace SettingsHistory;

namespace
{

class History : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        ProcessValues::historyKeep = 50;
        dir.mkdir("Data/Sys");
    }
    void TearDown() override { ProcessValues::historyKeep = 50; }

    // Replaces terminal 1001's system settings with bytes.
    bool put(Origin origin, const QByteArray &bytes, const QString &id = "1001")
    {
        return store.replace(id, Kind::System, origin, [&] {
            return SafeFile::write(store.filePath(id, Kind::System), bytes);
        });
    }
    Listing list() { return store.list("1001", Kind::System); }
    QStringList everything() const
    {
        QStringList all;
        for (QDirIterator it(dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            all << it.next().mid(dir.path().size());
        all.sort();
        return all;
    }

    TempDir dir;
    int minute = 0;
    Store store{dir.path(), [this] {
                    return QDateTime(QDate(2024, 5, 1), QTime(9, 0)).addSecs(60 * minute++);
                }};
};

} // namespace

TEST_F(History, VersionsKeepWhatMadeThemAndWhenTheyWereSent)
{
    ASSERT_TRUE(put(Origin::Initial, "A"));
    ASSERT_TRUE(put(Origin::Read, "B"));
    ASSERT_TRUE(store.markSent("1001", Kind::System, "B"));
    ASSERT_TRUE(put(Origin::Edited, "C"));
    ASSERT_TRUE(put(Origin::Read, "C")); // unchanged: nothing kept, C stays "edited"
    EXPECT_TRUE(store.markSent("1001", Kind::System, "A")) << "an older version sent again";

    Listing l = list();
    ASSERT_EQ(l.versions.size(), 3u);
    using T = std::tuple<int, Origin, QTime, bool>;
    auto row = [](const Version &v) { return T(v.number, v.madeBy, v.madeAt.time(), v.sentAt.isValid()); };
    EXPECT_EQ(row(l.versions[0]), T(1, Origin::Initial, QTime(9, 0), true));
    EXPECT_EQ(row(l.versions[1]), T(2, Origin::Read, QTime(9, 1), true));
    EXPECT_EQ(row(l.versions[2]), T(3, Origin::Edited, QTime(9, 3), false));
    EXPECT_EQ(std::pair(l.hasFile, l.current), std::pair(true, 3));

    // Changed outside the program: into the newest version, nothing to keep;
    // into something else, kept as of unknown origin before it is replaced.
    ASSERT_TRUE(put(Origin::Read, "D"));
    EXPECT_EQ(list().versions.size(), 4u);
    dir.write("Data/Sys/kel_sys1001.ini", "E");
    EXPECT_EQ(list().current, 0);
    ASSERT_TRUE(put(Origin::Read, "F"));
    l = list();
    ASSERT_EQ(l.versions.size(), 6u);
    EXPECT_EQ(std::tuple(l.versions[4].madeBy, *store.content("1001", Kind::System, 5)),
              std::tuple(Origin::Unknown, QByteArray("E")));

    // What was sent is marked, not what is there when the transfer ends.
    SendMark mark("1001", dir.file("Data/Sys/kel_sys1001.ini"));
    dir.write("Data/Sys/kel_sys1001.ini", "changed while it was sent");
    mark.transferred();
    l = list();
    EXPECT_EQ(std::pair(l.versions.back().sentAt.isValid(), l.current), std::pair(true, 0));
}

TEST_F(History, TwoThreadsOnOneTerminalLoseNoVersion)
{
    auto writer = [this](char tag) {
        for (int i = 0; i < 15; ++i)
            put(Origin::Read, QByteArray(1, tag) + QByteArray::number(i));
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    QSet<QByteArray> seen;
    for (const Version &v : list().versions)
        seen.insert(store.content("1001", Kind::System, v.number).value_or(""));
    EXPECT_EQ((std::pair{seen.size(), list().current}), std::pair(qsizetype(30), 30));
}

TEST_F(History, TheFiftyFirstVersionDropsTheOldest)
{
    for (int i = 0; i <= 50; ++i)
        ASSERT_TRUE(put(Origin::Read, QByteArray::number(i)));
    const Listing l = list();
    ASSERT_EQ(l.versions.size(), 50u);
    EXPECT_EQ(l.versions.front().number, 2);
    EXPECT_EQ(QDir(dir.file("Data/History/1001/Sys")).entryList({"v*.ini"}).size(), 50);

    ProcessValues::historyKeep = 3; // a lower limit drops the rest at the next version
    ASSERT_TRUE(put(Origin::Read, "51"));
    EXPECT_EQ(list().versions.size(), 3u);
}

TEST_F(History, FailuresAndHostileIdsLeaveFileAndHistoryAsTheyWere)
{
    ASSERT_TRUE(put(Origin::Read, "A"));
    ASSERT_TRUE(put(Origin::Read, "B"));
    const QStringList before = everything();
    EXPECT_FALSE(store.replace("1001", Kind::System, Origin::Read, [] { return false; }));
    EXPECT_EQ(everything(), before);

    // Changed outside, and that version can't be kept: the file is not replaced.
    dir.write("Data/Sys/kel_sys1001.ini", "X");
    SafeFile::setStepHook(
        [](SafeFile::Step, const QString &target) { return !target.contains("/Data/History/"); });
    bool ran = false;
    EXPECT_FALSE(store.replace("1001", Kind::System, Origin::Edited, [&] { return ran = true; }));
    SafeFile::setStepHook({});
    EXPECT_FALSE(ran);
    EXPECT_EQ(everything(), before);

    // Hostile IDs never leave the history folder.
    for (const QString &id : {QString(), QString(".."), QString("../x"), QString("a\\b")}) {
        SCOPED_TRACE(id.toStdString());
        ran = false;
        EXPECT_FALSE(store.replace(id, Kind::User, Origin::Read, [&] { return ran = true; }));
        EXPECT_FALSE(ran || store.markSent(id, Kind::User, "x") || store.removeAll(id));
    }
    EXPECT_EQ(everything(), before);
    // A version file changed behind the index is not offered as that version.
    dir.write("Data/History/1001/Sys/v000001.ini", "tampered");
    EXPECT_FALSE(store.restore("1001", Kind::System, 1));
    // An odd but safe ID stays one folder below Data/History, the owner's alone.
    ASSERT_TRUE(put(Origin::Read, "A", "テスト.端末"));
    ASSERT_TRUE(put(Origin::Read, "B", "テスト.端末"));
    EXPECT_TRUE(QFile::exists(dir.file("Data/History/テスト.端末/Sys/v000001.ini")));
    EXPECT_EQ(QFile::permissions(dir.file("Data/History/テスト.端末")) & 0x0077, 0);
}
