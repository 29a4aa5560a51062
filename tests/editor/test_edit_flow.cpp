// The edit flows without windows.
#include "EditorTestSupport.h"

#include "comm/ResultCodes.h"
#include "common/CommandScope.h"
#include "common/ProcessValues.h"
#include "editor/EditFlow.h"
#include "editor/SettingsForm.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "support/TodayLog.h"

#include <gtest/gtest.h>

using namespace EditorTest;
using namespace Qt::StringLiterals;

namespace
{

// The list window and platform as the flow sees them.
struct FakeHost : IEditHost {
    std::vector<TermEntry> rows;
    bool mainEnabled = true;
    bool refuseRequests = false;
    QList<std::pair<int, bool>> posted; // kind, with a waiter
    ITerminalFileWaiter *waiter = nullptr;
    QList<QStringList> started;
    QList<LoaderInputs> edited;
    std::function<EditorOutcome(DescriptionLoader &)> editor;

    std::vector<TermEntry> selectedEntries() const override { return rows; }
    void setMainEnabled(bool enabled) override { mainEnabled = enabled; }
    void refreshIfPending() override {}
    bool postRequest(int kind, int, const TermEntry &, const QString &,
                     ITerminalFileWaiter *w) override
    {
        if (refuseRequests)
            return false;
        posted.append({kind, w != nullptr});
        waiter = w, mainEnabled = false;
        return true;
    }
    QString editorPath() override { return "/opt/editor"; }
    bool startDetached(const QString &p, const QStringList &args) override
    {
        started.append(QStringList{p} + args);
        return true;
    }
    EditorOutcome runEditor(DescriptionLoader &loader) override
    {
        edited.append(loader.inputs());
        return editor ? editor(loader) : EditorOutcome{};
    }
};

struct FlowFixture : ::testing::Test {
    TempDir dir;
    FakeHost host;
    ScriptedPrompter prompter;
    EditFlow flow{host, &prompter};
    QStringList busy; // "stop" / "start" of the busy timer

    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        for (const char *d : {"Log", "Data/Sys", "Data/User"})
            dir.mkdir(d);
        for (const char *f : {"Sys/sysconfig_KT-100_1.xml", "User/userconfig_KT-100_1.xml"})
            dir.write(QString("Config/") + f, repoFile(QString("samples/Config/") + f));
        BusyTimer::setHook([this](bool start) { busy << (start ? "start" : "stop"); });
        host.rows.resize(1);
        host.rows[0].TermID = "1001", host.rows[0].MachineName = "KT-100";
    }
    void TearDown() override { BusyTimer::setHook({}); }

    void writeLocalFile()
    {
        dir.write("Data/Sys/kel_sys1001.ini", "Version=1.00\r\n\r\n\r\n[SIP]\r\nSipPort=5060\r\n");
    }
    QString log() const { return todayLog(dir.path()); }
    // The flow has ended: the window and the flag are given back.
    void expectEnded(bool windowBack = true)
    {
        EXPECT_FALSE(flow.waiting());
        EXPECT_EQ(host.mainEnabled, windowBack);
        EXPECT_EQ(busy, (QStringList{"stop", "start"}));
    }
};

} // namespace

// The whole road runs end to end (tests/editor_e2e); here every way out.
TEST_F(FlowFixture, EveryOtherWayOutGivesTheWindowBack)
{
    struct Case {
        const char *what;
        bool refuse, localFile, readOk;
        QList<int> answers;
        EditorOutcome outcome;
        int edits, posts;
        bool windowBack = true; // false: the write's completion gives it back
    };
    const int yes = MsgResult::Yes, no = MsgResult::No;
    const Case cases[] = {
        {"failed read", false, false, false, {yes}, {}, 0, 1},
        {"target check refused", true, false, false, {yes}, {}, 0, 0},
        {"local copy missing", false, false, false, {no}, {}, 0, 0},
        {"saved without the box", false, true, false, {no}, {true, false}, 1, 0},
        {"write declined", false, true, false, {no, no}, {true, true}, 1, 0},
        {"read, edited, written back", false, true, true, {yes, yes}, {true, true}, 1, 2, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        busy.clear();
        host.posted.clear();
        host.edited.clear();
        host.refuseRequests = c.refuse;
        host.editor = [o = c.outcome](DescriptionLoader &) { return o; };
        if (c.localFile)
            dir.write("Data/User/kel_user1001.ini", "Version=1.00\r\n");
        for (int a : c.answers)
            prompter.answer(a);
        flow.run(EditKind::TerminalUser);
        if (flow.waiting())
            host.waiter->terminalFileDone(c.readOk, nullptr);
        EXPECT_EQ(std::pair(host.edited.size(), host.posted.size()), std::pair(qsizetype(c.edits), qsizetype(c.posts)));
        expectEnded(c.windowBack);
    }
    EXPECT_EQ(host.posted.back(), std::pair(int(RequestKind::WriteUser), false));
    // The read's operation line; the refusal is logged; the missing file showed its box.
    EXPECT_TRUE(log().contains(u"Ope19:設定ファイル編集"_s) && log().contains(u"端末ID:1001 "_s));
    EXPECT_TRUE(log().contains(u"Err12:設定Configファイル異常"_s));
    EXPECT_TRUE(prompter.texts().contains(DescriptionLoader::SettingsFileErrorText()));
}

TEST_F(FlowFixture, WithoutOneDescriptionOrSelectionNoFormOpens)
{
    // A wildcard model has no description: the text editor; without file or selection, nothing.
    writeLocalFile();
    host.rows[0].MachineName = "*";
    for (const char *id : {"1001", "1002", ""}) {
        busy.clear();
        host.rows[0].TermID = id;
        if (!*id)
            host.rows.clear();
        flow.run(EditKind::TerminalSystem);
        expectEnded();
    }
    EXPECT_TRUE(prompter.records.isEmpty());
    EXPECT_EQ(host.started, (QList<QStringList>{{"/opt/editor", dir.file("Data/Sys/kel_sys1001.ini")}}));
}

TEST_F(FlowFixture, CommonFilesStartFromAChosenDescriptionAndFile)
{
    // A starting file that doesn't exist is refused; without one, the defaults.
    const QString userDesc = dir.file("Config/User/userconfig_KT-100_1.xml");
    host.editor = [](DescriptionLoader &) { return EditorOutcome{true, true}; };
    for (const QString &start : {dir.file("Data/User/missing.ini"), QString()}) {
        busy.clear();
        prompter.answerFile(userDesc);
        prompter.answerFile(start);
        flow.run(EditKind::CommonUser);
        expectEnded();
    }
    ASSERT_EQ(prompter.records.size(), 5);
    EXPECT_EQ(prompter.records[0].text, dir.file("Config/User/")); // where the choice starts
    EXPECT_EQ(prompter.records[2].caption + prompter.records[2].text,
              u"ファイル選択エラー設定ファイルを選択してください。"_s);
    ASSERT_EQ(host.edited.size(), 1);
    const LoaderInputs &in = host.edited[0];
    EXPECT_EQ(in.iniPath + in.modelName, "userconfig_KT-100"); // no file; only "sysconfig_" is removed
    EXPECT_TRUE(in.commonFile && in.settingsFile && !in.systemFile && !in.showWriteToTerminal);
    EXPECT_TRUE(host.posted.isEmpty()); // never sent from here
    EXPECT_EQ(EditFlow::modelFromDescriptionFile("sysconfig_A_B_x.xml"), "A_B");
}

// A terminal's own file is a settings file: only its keys are written back.
TEST_F(FlowFixture, EditingALocalFileWritesBackOnlyItsKeys)
{
    writeLocalFile();
    host.editor = [](DescriptionLoader &loader) {
        SettingsForm form(loader.description(), loader.inputs());
        EXPECT_TRUE(form.build());
        EXPECT_EQ(form.save(false), SettingsForm::Save::Saved);
        return EditorOutcome{true, false};
    };
    prompter.answer(MsgResult::No); // the local copy
    flow.run(EditKind::TerminalSystem);
    ASSERT_EQ(host.edited.size(), 1);
    // Types 6 and 7 are always written.
    EXPECT_EQ(dir.read("Data/Sys/kel_sys1001.ini").toStdString(),
              "Version=1.00\r\n\r\n\r\n[SIP]\r\nSipPort=5060\r\n\r\n[Terminal]\r\n"
              "TimeZone=JST-9\r\nModel=KT-100\r\n");
    expectEnded();
}
