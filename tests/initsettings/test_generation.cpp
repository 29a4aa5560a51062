// The new terminal's settings file and the communication side's preparation:
// what a failure leaves behind; boxes never shown on that thread.
#include "comm/CommPayloads.h"
#include "comm/OpLog.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "initsettings/BoxRelay.h"
#include "initsettings/InitialSettingsProvider.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace
{

// A program folder with the model's system settings description, the day's
// log as text, and the boxes the generation posted.
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
        dir.write(
            "Config/Sys/sysconfig_" + model + "_1.xml",
            ("<DISP><section key=\"Version\" name=\"v\"><data><key>" + key +
             "</key><name>n</name><default>" + version +
             "</default><inputtype>7</inputtype><inputrule>0</inputrule></data></section></DISP>")
                .toUtf8());
    }
    QString log() const
    {
        return Cp932::decode(dir.read("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()));
    }
    BoxPoster poster()
    {
        return [this](const QString &text, const QString &caption, unsigned type) {
            boxes << QStringList{text, caption, QString::number(type)};
        };
    }
};

} // namespace

TEST_F(InitFolder, FileIsWrittenWholeOrNotAtAll)
{
    dir.write("Data/Sys/kel_sys5001.ini", "an old file that is longer than the new one\r\n");
    ASSERT_EQ(InitialFile::generate("5001", "KT-100", poster()).outcome,
              InitialFile::Outcome::Written);
    EXPECT_EQ(dir.read("Data/Sys/kel_sys5001.ini"),
              "Version=V1.23\r\n\r\n[SIP]\r\nSipAddress=5001\r\n");
    dir.mkdir("Data/TmpData.ini"); // can't be opened as a file: the old file stays
    EXPECT_EQ(InitialFile::generate("5001", "KT-100", poster()).outcome,
              InitialFile::Outcome::WriteFailed);
    EXPECT_TRUE(dir.read("Data/Sys/kel_sys5001.ini").startsWith("Version=V1.23"));
    QDir(dir.file("Data/TmpData.ini")).removeRecursively();
    QDir(dir.file("Data/Sys")).removeRecursively(); // the move fails
    EXPECT_EQ(InitialFile::generate("5002", "KT-100", poster()).outcome,
              InitialFile::Outcome::WriteFailed);
    EXPECT_FALSE(QFile::exists(dir.file("Data/TmpData.ini")));
}

// A link put at "Data/TmpData.ini" is replaced, never written through; the
// new settings file, which holds a SIP address, is the owner's alone.
TEST_F(InitFolder, ALinkAtTheTemporaryNameIsNotFollowed)
{
    dir.write("victim", "keep");
    ASSERT_TRUE(QFile::link(dir.file("victim"), dir.file("Data/TmpData.ini")));
    ASSERT_EQ(InitialFile::generate("5004", "KT-100", poster()).outcome,
              InitialFile::Outcome::Written);
    EXPECT_EQ(dir.read("victim"), "keep");
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
        EXPECT_TRUE(log().contains(QString::fromUtf8(c.logged)));
    }
    EXPECT_FALSE(QFile::exists(dir.file("Data/Sys/kel_sys5003.ini")));
    EXPECT_TRUE(prompts.records.isEmpty()) << "boxes are posted, never shown here";
}

// A success and no free number are told end to end (tests/initsettings/e2e).
TEST_F(InitFolder, FailedPreparationsKeepTheNumberSpentAndSayWhy)
{
    CInitialSettingsTable table;
    ASSERT_TRUE(table.start(InitRange("6100", 2), {}, 0).started);
    CInitialSettingsProvider provider(table, poster());
    TermRequestPayload r;
    r.request.notify.termId = "ERROR";
    r.request.notify.machineName = "KT-100";
    describe("KT-100", "NotVersion", "");
    EXPECT_FALSE(provider.prepare(r));
    EXPECT_EQ(std::tuple(r.result, r.request.notify.termId, r.files.size(), table.freeCount()),
              std::tuple(ResultCode::ConfigXml, QString("ERROR"), qsizetype(0), 1));
    EXPECT_TRUE(log().contains(QRegularExpression("Err09:その他のエラー +端末ID:6100 ")));
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
