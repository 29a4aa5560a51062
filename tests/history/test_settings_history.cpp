// The settings history: versions kept before every replacement, their marks,
// the limit, failures on either side of the replacement, hostile IDs and two
// threads on one terminal.
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
    QByteArray file() { return dir.read("Data/Sys/kel_sys1001.ini"); }
    QStringList everything() const
    {
        QStringList all;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
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

TEST_F(History, VersionsKeepWhatMadeThemWhatReplacedThemAndWhenTheyWereSent)
{
    ASSERT_TRUE(put(Origin::Initial, "A")); // nothing there yet: nothing kept
    ASSERT_TRUE(put(Origin::Read, "B"));
    ASSERT_TRUE(store.markSent("1001", Kind::System, "B"));
    ASSERT_TRUE(put(Origin::Edited, "C"));
    ASSERT_TRUE(put(Origin::Read, "C")); // unchanged: no version, C stays "edited"
    EXPECT_TRUE(store.markSent("1001", Kind::System, "A")) << "an older version sent again";
    EXPECT_FALSE(store.markSent("1001", Kind::System, "never held"));

    Listing l = store.list("1001", Kind::System);
    ASSERT_EQ(l.versions.size(), 2u);
    const Version &a = l.versions[0], &b = l.versions[1];
    EXPECT_EQ(std::tuple(a.number, a.madeBy, a.replacedBy),
              std::tuple(1, Origin::Initial, Origin::Read));
    EXPECT_EQ(std::tuple(b.number, b.madeBy, b.replacedBy),
              std::tuple(2, Origin::Read, Origin::Edited));
    EXPECT_EQ(std::tuple(a.madeAt.time(), a.replacedAt.time()),
              std::tuple(QTime(9, 0), QTime(9, 1)));
    EXPECT_EQ(b.sentAt.time(), QTime(9, 3)) << "sent before it was replaced";
    EXPECT_TRUE(a.sentAt.isValid());
    EXPECT_EQ(std::tuple(l.hasCurrent, l.current.madeBy, l.current.sentAt.isValid()),
              std::tuple(true, Origin::Edited, false));

    // Back to the first version; C is kept first.
    ASSERT_TRUE(store.restore("1001", Kind::System, 1));
    EXPECT_EQ(file(), "A");
    EXPECT_EQ(store.list("1001", Kind::System).versions.back().replacedBy, Origin::Restored);

    // Changed outside the program into what was kept last: kept once, of
    // unknown origin when it differs.
    dir.write("Data/Sys/kel_sys1001.ini", "C");
    ASSERT_TRUE(put(Origin::Read, "D"));
    EXPECT_EQ(store.list("1001", Kind::System).versions.size(), 3u);
    dir.write("Data/Sys/kel_sys1001.ini", "E");
    ASSERT_TRUE(put(Origin::Read, "F"));
    l = store.list("1001", Kind::System);
    EXPECT_EQ(std::tuple(l.versions.back().madeBy, l.versions.size()),
              std::tuple(Origin::Unknown, std::size_t(4)));
}

TEST_F(History, TheFiftyFirstVersionDropsTheOldest)
{
    for (int i = 0; i <= 50; ++i) // the first write finds nothing to keep
        ASSERT_TRUE(put(Origin::Read, QByteArray::number(i)));
    EXPECT_EQ(store.list("1001", Kind::System).versions.front().number, 1);
    ASSERT_TRUE(put(Origin::Read, "51"));
    const Listing l = store.list("1001", Kind::System);
    ASSERT_EQ(l.versions.size(), 50u);
    EXPECT_EQ(l.versions.front().number, 2);
    EXPECT_EQ(*store.content("1001", Kind::System, 2), "1");
    EXPECT_EQ(QDir(dir.file("Data/History/1001/Sys")).entryList({"v*.ini"}).size(), 50);
    EXPECT_FALSE(QFile::exists(dir.file("Data/History/1001/Sys/v000001.ini")));

    ProcessValues::historyKeep = 3; // a lower limit drops the rest at the next replacement
    ASSERT_TRUE(put(Origin::Read, "52"));
    EXPECT_EQ(store.list("1001", Kind::System).versions.size(), 3u);
}

TEST_F(History, AFailureOnEitherSideLeavesFileAndHistoryAsTheyWere)
{
    ASSERT_TRUE(put(Origin::Read, "A"));
    ASSERT_TRUE(put(Origin::Read, "B"));
    const QStringList before = everything();

    // The new file fails: the version kept for it is taken back.
    EXPECT_FALSE(store.replace("1001", Kind::System, Origin::Read, [] { return false; }));
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(store.list("1001", Kind::System).versions.size(), 1u);

    // The version in place can't be kept: the file is not replaced at all.
    SafeFile::setStepHook(
        [](SafeFile::Step, const QString &target) { return !target.contains("/Data/History/"); });
    bool ran = false;
    EXPECT_FALSE(store.replace("1001", Kind::System, Origin::Edited, [&] { return ran = true; }));
    SafeFile::setStepHook({});
    EXPECT_FALSE(ran);
    EXPECT_EQ(file(), "B");
    EXPECT_EQ(everything(), before);

    // A damaged index: rebuilt from the version files, none overwritten.
    dir.write("Data/History/1001/Sys/index.json", "{ not json");
    ASSERT_TRUE(put(Origin::Read, "C"));
    const Listing l = store.list("1001", Kind::System);
    ASSERT_EQ(l.versions.size(), 2u);
    EXPECT_EQ(std::tuple(l.versions[0].number, l.versions[0].madeBy),
              std::tuple(1, Origin::Unknown));
    EXPECT_EQ(*store.content("1001", Kind::System, 1), "A");
    EXPECT_EQ(*store.content("1001", Kind::System, 2), "B");
    // A version file changed behind the index is not offered as that version.
    dir.write("Data/History/1001/Sys/v000001.ini", "tampered");
    EXPECT_FALSE(store.content("1001", Kind::System, 1));
    EXPECT_FALSE(store.restore("1001", Kind::System, 1));
}

TEST_F(History, HostileIdsNeverLeaveTheHistoryFolder)
{
    const QStringList before = everything();
    for (const QString &id : {QString(), QString("."), QString(".."), QString("../x"),
                              QString("a/b"), QString("a\\b"), QString("x/../../y")}) {
        SCOPED_TRACE(id.toStdString());
        EXPECT_TRUE(store.folder(id).isEmpty());
        bool ran = false;
        EXPECT_FALSE(store.replace(id, Kind::User, Origin::Read, [&] { return ran = true; }));
        EXPECT_FALSE(ran);
        EXPECT_FALSE(store.markSent(id, Kind::User, "x"));
        EXPECT_FALSE(store.removeAll(id));
        EXPECT_TRUE(store.list(id, Kind::User).versions.empty());
    }
    EXPECT_EQ(everything(), before);
    // An odd but safe ID stays one folder below Data/History.
    ASSERT_TRUE(put(Origin::Read, "A", "テスト.端末"));
    ASSERT_TRUE(put(Origin::Read, "B", "テスト.端末"));
    EXPECT_TRUE(QFile::exists(dir.file("Data/History/テスト.端末/Sys/v000001.ini")));
    EXPECT_EQ(QFile::permissions(dir.file("Data/History/テスト.端末")) & 0x0077, 0) << "owner only";
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
    const Listing l = store.list("1001", Kind::System);
    ASSERT_EQ(l.versions.size(), 29u); // 30 contents, the last one current
    QSet<QByteArray> seen{file()};
    for (const Version &v : l.versions) {
        const std::optional<QByteArray> bytes = store.content("1001", Kind::System, v.number);
        ASSERT_TRUE(bytes) << v.number;
        seen.insert(*bytes);
    }
    EXPECT_EQ(seen.size(), 30);
}

TEST_F(History, OnlyATerminalsOwnFilesAreTracked)
{
    struct Row {
        QString path;
        std::optional<Kind> kind;
    } rows[] = {
        {dir.file("Data/Sys/kel_sys1001.ini"), Kind::System},
        {dir.file("Data/Sys/../Dial/kel_dial1001.csv"), Kind::PhoneBook},
        {dir.file("Data/Sys/kel_sys_all.ini"), std::nullopt}, // a common file
        {dir.file("Data/Sys/kel_sys1002.ini"), std::nullopt}, // another terminal's
    };
    for (const Row &r : rows)
        EXPECT_EQ(terminalFileKind("1001", r.path), r.kind) << r.path.toStdString();

    dir.write("Data/Sys/kel_sys_all.ini", "old");
    ASSERT_TRUE(replaceFile("1001", dir.file("Data/Sys/kel_sys_all.ini"), Origin::Edited, [&] {
        return SafeFile::write(dir.file("Data/Sys/kel_sys_all.ini"), "new");
    }));
    EXPECT_FALSE(QFile::exists(dir.file("Data/History")));

    ASSERT_TRUE(put(Origin::Read, "A"));
    SendMark mark("1001", dir.file("Data/Sys/kel_sys1001.ini"));
    dir.write("Data/Sys/kel_sys1001.ini", "changed while it was sent");
    mark.transferred(); // the bytes sent are no version any more: nothing marked
    EXPECT_FALSE(store.list("1001", Kind::System).current.sentAt.isValid());
}
