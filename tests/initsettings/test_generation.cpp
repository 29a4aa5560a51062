// Range and assignment rules, the new terminal's settings file, its boxes.
#include "common/ProcessValues.h"
#include "initsettings/BoxRelay.h"
#include "initsettings/InitialSettingsProvider.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "support/TodayLog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{

// A program folder with the model's system settings description; the boxes posted.
struct InitFolder : ::testing::Test {
    TempDir dir;
    ScriptedPrompter prompts;
    QList<QStringList> boxes; // text, caption, type

    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        for (const char *d : {"Log", "Data/Sys"})
            dir.mkdir(d);
        describe("KT-100", "Version", "V1.23");
    }
    // The model's description; its first entry has the key and the default.
    void describe(const QString &model, const QString &key, const QString &version)
    {
        dir.write("Config/Sys/sysconfig_" + model + "_1.xml",
                  ("<DISP><section key=\"Version\" name=\"v\"><data><key>" + key + "</key><name>n</name><default>" +
                   version + "</default><inputtype>7</inputtype><inputrule>0</inputrule></data></section></DISP>").toUtf8());
    }
    BoxPoster poster()
    {
        return [this](const QString &text, const QString &caption, unsigned type) {
            boxes << QStringList{text, caption, QString::number(type)};
        };
    }
};

} // namespace

// The new settings file is written whole; a link put at "Data/TmpData.ini" is
// replaced, never written through; the file, which holds a SIP address, is
// the owner's alone.
TEST_F(InitFolder, ALinkAtTheTemporaryNameIsNotFollowed)
{
    dir.write("victim", "keep");
    ASSERT_TRUE(QFile::link(dir.file("victim"), dir.file("Data/TmpData.ini")));
    ASSERT_EQ(InitialFile::generate("5004", "KT-100", poster()).outcome,
              InitialFile::Outcome::Written);
    EXPECT_EQ(dir.read("victim"), "keep");
    EXPECT_EQ(dir.read("Data/Sys/kel_sys5004.ini"), "Version=V1.23\r\n\r\n[SIP]\r\nSipAddress=5004\r\n");
    EXPECT_FALSE(QFileInfo(dir.file("Data/TmpData.ini")).isSymLink());
    EXPECT_EQ(QFileInfo(dir.file("Data/Sys/kel_sys5004.ini")).permissions() &
                  QFile::Permissions(0x7077),
              QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(InitFolder, DescriptionProblemsAreReportedAndWriteNothing)
{
    using O = InitialFile::Outcome;
    const struct {
        const char *model;
        O outcome;
        const char *box, *logged;
    } cases[] = {
        {"KT-200", O::NoDescription, "設定編集用のConfigファイルが存在しません。", "Err12:設定Configファイル異常"},
        {"KT-300", O::SeveralDescriptions, "設定編集用のConfigファイルが複数存在します。\n", "設定Configファイルを取得できません。"},
        {"../Sys/x", O::NoDescription, "設定編集用", "Err12"}, // a model name leading elsewhere
        {"KT-400", O::NoVersion, nullptr, "1件目にsection=Version key=Versionが存在しません。"},
    };
    for (const char *f : {"Sys/sysconfig_KT-300_a.xml", "Sys/sysconfig_KT-300_b.xml", "sysconfig_x_1.xml"})
        dir.write(QString("Config/") + f, "<DISP/>");
    describe("KT-400", "SipAddress", "V");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.model);
        boxes.clear();
        EXPECT_EQ(InitialFile::generate("5003", c.model, poster()).outcome, c.outcome);
        ASSERT_EQ(boxes.size(), c.box ? 1 : 0);
        if (c.box) {
            EXPECT_TRUE(boxes[0][0].startsWith(QString::fromUtf8(c.box)));
            EXPECT_EQ(boxes[0].mid(1), (QStringList{"編集エラー", QString::number(MsgType::IconError)}));
        }
        EXPECT_TRUE(todayLog(dir.path()).contains(QString::fromUtf8(c.logged)));
    }
    EXPECT_FALSE(QFile::exists(dir.file("Data/Sys/kel_sys5003.ini")));
    EXPECT_TRUE(prompts.records.isEmpty()) << "boxes are posted, never shown here";
}

TEST_F(InitFolder, BoxesAskedForOnAnotherThreadShowOnTheMainThread)
{
    CBoxRelay relay;
    struct Recorder : ScriptedPrompter {
        QThread *shownOn = nullptr;
        int systemMessageBox(const QString &t, const QString &c, unsigned ty) override
        {
            shownOn = QThread::currentThread();
            return ScriptedPrompter::systemMessageBox(t, c, ty);
        }
    } recorder;
    std::thread([&] { relay.post("text", "編集エラー", MsgType::IconError); }).join();
    EXPECT_TRUE(recorder.records.isEmpty());
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.records.size(), 1);
    EXPECT_EQ(recorder.shownOn, QCoreApplication::instance()->thread());
}

TEST(InitRangeRules, SplitNumbersIdsAndChecks)
{
    // Only the prefix's last five characters enter the number; shorter than
    // four digits, there is no prefix.
    const InitRange a("99912340100", 100), b("5", 3);
    EXPECT_EQ(std::tuple(a.firstNumber(), a.termIdFor(a.suffixValue() + 99), b.termIdFor(b.suffixValue() + 2)),
              std::tuple(std::int64_t(912340100), QString("99912340199"), QString("7")));
    EXPECT_EQ(InitRange::withoutLeadingZeros("00312340100"), "312340100");
    EXPECT_FALSE(InitRange::fits("1239950", 50)) << "9950 + 50 carries into the prefix";
    EXPECT_TRUE(InitRange::fits("1239950", 49));
    for (const char *bad : {"", "0", "1001", "12a"})
        EXPECT_EQ(InitRange::parseRange(bad), -1) << bad;
    EXPECT_EQ(InitRange::parseRange("0010"), 10);
}

TEST(NumberTableRules, LowestFreeFirstUntilTheRangeOrTheRegisterIsFull)
{
    CInitialSettingsTable t;
    // 3 of 5 registered, plus a row outside the range and one without number.
    ASSERT_EQ(t.start(InitRange("7000", 5), {7001, 7003, 7004, 1234, -1}, 5).freeCount, 2);
    EXPECT_EQ((std::tuple{t.assign(), t.assign(), t.assign(), t.terminalCount()}),
              std::tuple(QString("7000"), QString("7002"), std::nullopt, 7));
    // An ID held by two rows counts twice; 1000 registered terminals are the most.
    EXPECT_FALSE(t.start(InitRange("50", 3), {50, 50, 51}, 3).started);
    EXPECT_FALSE(t.start(InitRange("50", 3), {}, CInitialSettingsTable::MaxTerminals).started);
    ASSERT_TRUE(t.start(InitRange("50", 3), {51}, CInitialSettingsTable::MaxTerminals - 1).started);
    EXPECT_EQ((std::pair{t.assign(), t.assign()}), std::pair(std::optional<QString>("50"), std::optional<QString>()));
}

// Run under the thread sanitizer too: terminals asking at once, and "終了" and
// "実行" on the dialog's thread while two keep asking.
TEST(NumberTableRace, TerminalsAskingAtOnceNeverShareANumber)
{
    CInitialSettingsTable t;
    ASSERT_TRUE(t.start(InitRange("810000", 1000), {810500}, 1).started);
    std::vector<QString> got[8];
    std::vector<std::thread> askers;
    for (auto &mine : got)
        askers.emplace_back([&] {
            while (auto id = t.assign())
                mine.push_back(*id);
        });
    for (auto &a : askers)
        a.join();
    QSet<QString> all;
    for (const auto &mine : got)
        all.unite(QSet<QString>(mine.begin(), mine.end()));
    EXPECT_EQ(all.size(), 999) << "a number was handed out twice, or one was lost";

    std::atomic<bool> done{false};
    std::thread two[2];
    for (auto &a : two)
        a = std::thread([&] {
            while (!done.load())
                t.assign();
        });
    for (int round = 0; round < 200; ++round) {
        t.stop();
        t.start(InitRange("4000", 1000), {}, 0);
    }
    done = true;
    for (auto &a : two)
        a.join();
    const std::vector<int> used = t.usedNumbers();
    for (std::size_t k = 0; k < used.size(); ++k)
        ASSERT_EQ(used[k], 4000 + int(k)) << "the table holds one consistent start";
}
