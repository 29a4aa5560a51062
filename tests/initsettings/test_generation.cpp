// The initial settings file and the communication side's preparation of a
// new terminal's request: number, file, and what a failure leaves behind.
#include "InitFixture.h"

#include "comm/CommPayloads.h"
#include "comm/RemoteNames.h"
#include "initsettings/BoxRelay.h"
#include "initsettings/InitialSettingsProvider.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <thread>

namespace
{

TermRequestPayload newTerminal(const QString &model = "KT-100")
{
    TermRequestPayload r;
    r.address = 0x0A000002;
    r.decision = UpdateDecision::InitialSettings;
    r.request.notify.termId = "ERROR";
    r.request.notify.machineName = model;
    return r;
}

} // namespace

TEST_F(InitFolder, FileHasExactBytesAndReplacesTheOldOneWhole)
{
    dir.write("Data/Sys/kel_sys5001.ini", "old content that is longer than the new one\r\n");
    const InitialFile::Result r = InitialFile::generate("5001", "KT-100", poster());
    ASSERT_EQ(r.outcome, InitialFile::Outcome::Written);
    EXPECT_EQ(r.path, dir.file("Data/Sys/kel_sys5001.ini"));
    EXPECT_EQ(dir.read("Data/Sys/kel_sys5001.ini"),
              QByteArray("Version=V1.23\r\n\r\n[SIP]\r\nSipAddress=5001\r\n"));
    EXPECT_FALSE(QFile::exists(dir.file("Data/TmpData.ini"))) << "moved, not copied";
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(InitFolder, DescriptionProblemsAreReportedAndWriteNothing)
{
    struct Case {
        const char *model;
        InitialFile::Outcome outcome;
        const char *box;     // start of the box text, "" none
        const char *logLine; // expected in the log
    } cases[] = {
        {"KT-200", InitialFile::Outcome::NoDescription,
         "設定編集用のConfigファイルが存在しません。", "Err12:設定Configファイル異常"},
        {"KT-300", InitialFile::Outcome::SeveralDescriptions,
         "設定編集用のConfigファイルが複数存在します。\n", "設定Configファイルを取得できません。"},
        // A model name from the network that would leave the folder.
        {"../Sys/x", InitialFile::Outcome::NoDescription, "設定編集用", "Err12"},
        {"KT-400", InitialFile::Outcome::NoVersion, "",
         "1件目にsection=Version key=Versionが存在しません。"},
        {"KT-500", InitialFile::Outcome::DescriptionFaulty, "",
         "Configファイルのロードに失敗しました。"},
    };
    dir.write("Config/Sys/sysconfig_KT-300_a.xml", "<DISP/>");
    dir.write("Config/Sys/sysconfig_KT-300_b.xml", "<DISP/>");
    dir.write("Config/sysconfig_x_1.xml", "<DISP/>");
    describe("KT-400", "SipAddress", "V");
    dir.write("Config/Sys/sysconfig_KT-500_1.xml", "<DISP><section key=");
    for (const Case &c : cases) {
        boxes.clear();
        const auto r = InitialFile::generate("5002", c.model, poster());
        EXPECT_EQ(r.outcome, c.outcome) << c.model;
        EXPECT_EQ(InitialFile::resultCodeOf(r.outcome), ResultCode::ConfigXml);
        if (*c.box) {
            ASSERT_EQ(boxes.size(), 1) << c.model;
            EXPECT_TRUE(boxes[0][0].startsWith(QString::fromUtf8(c.box))) << c.model;
            EXPECT_EQ(boxes[0][1], "編集エラー");
            EXPECT_EQ(boxes[0][2], QString::number(MsgType::IconError));
        } else {
            EXPECT_TRUE(boxes.isEmpty()) << c.model;
        }
        EXPECT_TRUE(log().contains(QString::fromUtf8(c.logLine))) << c.model;
        EXPECT_FALSE(QFile::exists(dir.file("Data/Sys/kel_sys5002.ini")));
    }
    EXPECT_TRUE(prompts.records.isEmpty()) << "boxes are posted, never shown here";
}

TEST_F(InitFolder, AFileThatCantBeWrittenLeavesTheOldOne)
{
    dir.write("Data/Sys/kel_sys5003.ini", "keep\r\n");
    dir.mkdir("Data/TmpData.ini"); // can't be opened as a file
    auto r = InitialFile::generate("5003", "KT-100", poster());
    EXPECT_EQ(r.outcome, InitialFile::Outcome::WriteFailed);
    EXPECT_EQ(InitialFile::resultCodeOf(r.outcome), ResultCode::FileCreate);
    EXPECT_EQ(dir.read("Data/Sys/kel_sys5003.ini"), "keep\r\n");

    // No Data/Sys folder: the move fails and the temporary file goes.
    QDir(dir.file("Data/TmpData.ini")).removeRecursively();
    QDir(dir.file("Data/Sys")).removeRecursively();
    r = InitialFile::generate("5004", "KT-100", poster());
    EXPECT_EQ(r.outcome, InitialFile::Outcome::WriteFailed);
    EXPECT_FALSE(QFile::exists(dir.file("Data/TmpData.ini")));
}

TEST_F(InitFolder, PreparedRequestCarriesTheNewIdAndItsStampedFile)
{
    CInitialSettingsTable table;
    ASSERT_TRUE(table.start(InitRange("6000", 3), {6000}, 1).started);
    CInitialSettingsProvider provider(table, poster());
    TermRequestPayload r = newTerminal();
    ASSERT_TRUE(provider.prepare(r));
    EXPECT_EQ(r.request.notify.termId, "6001");
    ASSERT_EQ(r.files.size(), 1);
    const QFileInfo file(dir.file("Data/Sys/kel_sys6001.ini"));
    EXPECT_EQ(r.files[0].kind, UpdateFileKind::System);
    EXPECT_EQ(r.files[0].localPath, file.absoluteFilePath());
    EXPECT_EQ(r.files[0].stamp, RemoteNames::stamp(file.lastModified()));
    EXPECT_EQ(r.files[0].sizeText, "000000000041");
    EXPECT_EQ(r.result, 0);
}

TEST_F(InitFolder, FailedPreparationsSetTheResultAndLogForTheTerminal)
{
    CInitialSettingsTable table;
    ASSERT_TRUE(table.start(InitRange("6100", 2), {}, 0).started);
    CInitialSettingsProvider provider(table, poster());

    // The description is faulty: the number is spent all the same.
    describe("KT-100", "NotVersion", "");
    TermRequestPayload r = newTerminal();
    EXPECT_FALSE(provider.prepare(r));
    EXPECT_EQ(r.result, ResultCode::ConfigXml);
    EXPECT_EQ(r.request.notify.termId, "ERROR");
    EXPECT_TRUE(r.files.isEmpty());
    EXPECT_TRUE(log().contains(QRegularExpression("Err09:その他のエラー +端末ID:6100 ")))
        << log().toStdString();

    describe("KT-100", "Version", "V2");
    r = newTerminal();
    ASSERT_TRUE(provider.prepare(r));
    EXPECT_EQ(r.request.notify.termId, "6101");

    // The range is spent.
    r = newTerminal();
    EXPECT_FALSE(provider.prepare(r));
    EXPECT_EQ(r.result, ResultCode::NoFreeSipAddress);
    EXPECT_TRUE(log().contains(QRegularExpression("Err11:SIPアドレス設定範囲空きなし +端末ID:ERROR ")))
        << log().toStdString();
}

TEST_F(InitFolder, BoxesAskedForOnAnotherThreadShowOnTheMainThread)
{
    CBoxRelay relay;
    QThread *shownOn = nullptr;
    struct Recorder : ScriptedPrompter {
        QThread **where;
        int systemMessageBox(const QString &t, const QString &c, unsigned ty) override
        {
            *where = QThread::currentThread();
            return ScriptedPrompter::systemMessageBox(t, c, ty);
        }
    } recorder;
    recorder.where = &shownOn;
    std::thread asker([&] { relay.post("text", "編集エラー", MsgType::IconError); });
    asker.join();
    EXPECT_TRUE(recorder.records.isEmpty()) << "not before the main thread gets to it";
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.records.size(), 1);
    EXPECT_EQ(recorder.records[0].kind, PromptRecord::SystemBox);
    EXPECT_EQ(recorder.records[0].caption, "編集エラー");
    EXPECT_EQ(shownOn, QCoreApplication::instance()->thread());
}
