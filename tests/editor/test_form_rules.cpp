// The editor form's rules without a window: checks, groups, alternatives,
// required values, common-file check boxes and naming.
#include "EditorTestSupport.h"

#include "comm/ResultCodes.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "editor/InputRules.h"
#include "editor/SettingsForm.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace EditorTest;
using namespace Qt::StringLiterals;

namespace
{

struct RecordingView : IFormView {
    QList<int> changed;
    QString message;
    void entryChanged(int e) override { changed << e; }
    void bringForward(int) override {}
    void setMessage(const QString &t) override { message = t; }
};

// A description around `body`, merged with `ini`, and a form over it.
struct Fixture {
    SettingsDescription desc;
    LoaderInputs in;
    RecordingView view;
    RecordingLog log;
    std::unique_ptr<SettingsForm> form;

    Fixture(const QString &body, const QByteArray &ini = {}, bool settingsFile = false,
            bool common = false)
    {
        EXPECT_TRUE(LoadDescriptionBytes(withVersion(body), true, &desc));
        MergeSettings(ReadSettingsBytes(ini), desc);
        in.settingsFile = settingsFile;
        in.commonFile = common;
        in.iniPath = QStringLiteral("/nonexistent/kel_sys1.ini");
        rebuild();
    }
    // A new form over the model with the inputs as they are now.
    void rebuild()
    {
        form = std::make_unique<SettingsForm>(desc, in);
        form->setView(&view);
        form->setErrorLog(log.sink());
        EXPECT_TRUE(form->build());
    }
    DescEntry &e(int i) { return desc.entries[i]; }
    const FormEntry &f(int i) { return form->entry(i); }
};

QString numberEntry(int n, const QString &extra = {})
{
    return data(n, "<inputtype>2</inputtype><inputrule>0</inputrule><inputmax>9</inputmax>" + extra);
}

QString textEntry(int n, const QString &extra)
{
    return data(n, "<inputtype>2</inputtype><inputrule>0</inputrule><texttype>1</texttype>" + extra);
}

} // namespace

TEST(InputRules, ChecksByTypeAndCutsByBytes)
{
    TextSettings number, text;
    number.lower = 60;
    number.upper = 3600;
    text.textType = 1;
    text.upper = 10;
    text.regExpression = QStringLiteral("^[^0-9]*$");
    AddressSettings a;
    a.lower = 0x0A000001;
    a.upper = 0x0A00FFFE;
    using C = InputRules::Checked;
    const auto row = [](const C &c) { return c.valid ? c.stored : QStringLiteral("refused"); };
    const std::pair<C, QString> cases[] = {
        {InputRules::checkNumber("00060", number), "60"}, // the lower limit, zeros dropped
        {InputRules::checkNumber("59", number), "refused"},
        {InputRules::checkFreeText(u"あいうえお"_s, text), u"あいうえお"_s}, // 10 bytes fit
        {InputRules::checkFreeText(u"あいうえおか"_s, text), "refused"},
        {InputRules::checkFreeText("a1", text), "refused"},             // the pattern
        {InputRules::checkFilePath(QString(256, 'a')), "refused"},
        {InputRules::checkAddress("10.0.0.1", a), "10.0.0.1"}, // the lower limit
        {InputRules::checkAddress("10.0.255.255", a), "refused"},
    };
    for (const auto &[got, expected] : cases)
        EXPECT_EQ(row(got), expected);
    // Cuts never split a double-byte character.
    EXPECT_EQ(InputRules::cutToBytes(u"aあいうえおか"_s, 10), u"aあいうえ"_s);
    EXPECT_EQ(InputRules::cutToBytes(u"ｱあ"_s, 2), u"ｱ"_s);
    EXPECT_EQ(InputRules::cutToBytes(u"aあいうえお"_s, 11), u"aあいうえお"_s); // fits exactly
}

TEST(SettingsForm, TextAndAddressParentsEnableTheirChildrenByTextAction)
{
    // K1 and the address K5 (textaction 1) enable K2 and K6 while they hold
    // text; K3 (textaction 0) enables K4 while empty.
    Fixture fx(textEntry(1, "<textaction>1</textaction><groupparent>A</groupparent>") +
               textEntry(2, "<groupchild>A</groupchild><inputneed>3</inputneed>") +
               textEntry(3, "<textaction>0</textaction><groupparent>B</groupparent>") +
               textEntry(4, "<groupchild>B</groupchild>") +
               data(5, "<inputtype>4</inputtype><inputrule>0</inputrule><textaction>1</textaction>"
                       "<groupparent>C</groupparent>") +
               textEntry(6, "<groupchild>C</groupchild>"));
    EXPECT_FALSE(fx.f(2).enabled || fx.f(6).enabled || !fx.f(4).enabled);
    EXPECT_EQ(fx.form->missingValues(), ""); // inputneed 3 while disabled by its parent
    fx.form->commitText(1, "x");
    fx.form->commitText(3, "x");
    fx.form->commitAddress(5, "10.0.0.1");
    EXPECT_TRUE(fx.f(2).enabled && fx.f(6).enabled && !fx.f(4).enabled);
    EXPECT_TRUE(fx.view.changed.contains(2) && fx.view.changed.contains(4));
    EXPECT_EQ(fx.form->missingValues(), u"設定 N2が入力されていません。\r\n"_s);
}

TEST(SettingsForm, AlternativeSettingsFollowTheParentComboAndUnmatchedValuesStay)
{
    // K2's limits, pattern and requirement, K3's options and K4's range follow K1.
    Fixture fx(
        data(1, "<inputtype>1</inputtype><inputrule>0</inputrule><default>a</default><combooption>"
                "<o v=\"a\">A</o><o v=\"b\">B</o></combooption><groupparent>GA|GB</groupparent>") +
        data(2, "<inputtype>2</inputtype><inputrule>1</inputrule><default>50</default><childdetail>"
                "<GA><childinputmin>0</childinputmin><childinputmax>99</childinputmax></GA>"
                "<GB><childtexttype>1</childtexttype><childinputmax>4</childinputmax>"
                "<childregexpression>^[a-z]*$</childregexpression><childinputneed>1</childinputneed>"
                "</GB></childdetail>") +
        data(3, "<inputtype>1</inputtype><inputrule>1</inputrule><default>x</default><childdetail>"
                "<GA><childcombooption><o v=\"x\">X</o></childcombooption></GA><GB><childcombooption>"
                "<o v=\"y\">Y</o><o v=\"z\">Z</o></childcombooption></GB></childdetail>") +
        data(4, "<inputtype>4</inputtype><inputrule>1</inputrule><default>10.0.0.5</default>"
                "<childdetail><GA><childinputmin>10.0.0.1</childinputmin><childinputmax>10.0.0.9"
                "</childinputmax></GA><GB><childinputmin>192.168.0.1</childinputmin>"
                "<childinputmax>192.168.0.9</childinputmax></GB></childdetail>"));
    EXPECT_EQ(std::tuple(fx.form->textLimit(2), fx.f(3).comboIndex, fx.f(4).shown, fx.form->label(2)),
              std::tuple(2, 0, QString("10.0.0.5"), QString("  N2")));

    fx.form->commitCombo(1, 1);
    // "50" is no lower-case text of at most 4 bytes: cleared; now required.
    EXPECT_EQ(std::tuple(fx.e(2).value, fx.form->textLimit(2), fx.form->label(2)),
              std::tuple(QString(), 4, QString("* N2")));
    EXPECT_EQ(fx.form->commitText(2, "ab1"), SettingsForm::Commit::Reverted);
    EXPECT_EQ(fx.form->commitText(2, "abcd"), SettingsForm::Commit::Stored);
    // The combo box takes the other options; its value matches none of them
    // and is written back as it is. No selection can't be stored: the form
    // fails with the description box.
    EXPECT_EQ(fx.form->optionTexts(3), (QStringList{"Y", "Z"}));
    EXPECT_EQ(std::pair(fx.f(3).comboIndex, fx.e(3).value), std::pair(-1, QString("x")));
    TempDir dir;
    fx.in.iniPath = dir.file("kel_sys1.ini");
    fx.rebuild();
    ASSERT_EQ(fx.form->save(false), SettingsForm::Save::Saved);
    EXPECT_TRUE(dir.read("kel_sys1.ini").contains("\r\nK3=x\r\n"));
    ScriptedPrompter prompter;
    EXPECT_EQ(fx.form->commitCombo(3, -1), SettingsForm::Commit::Failed);
    ASSERT_TRUE(prompter.records.size() == 1 && fx.log.lines.size() == 1);
    EXPECT_EQ(prompter.records[0].caption, SettingsForm::FailureCaption());
    EXPECT_EQ(fx.log.lines[0], std::pair(int(ErrLog::ConfigXml), u"DATA[3] 画面操作にて例外処理が発生しました。"_s));
    // The address is out of the new range and goes.
    EXPECT_EQ(fx.e(4).value, "");
    EXPECT_EQ(fx.form->commitAddress(4, "10.0.0.5"), SettingsForm::Commit::Reverted);
    EXPECT_EQ(fx.form->commitAddress(4, "192.168.0.5"), SettingsForm::Commit::Stored);
    // Alternatives switch settings; they never disable.
    EXPECT_TRUE(fx.f(2).enabled && fx.f(3).enabled && fx.f(4).enabled);
}

TEST(SettingsForm, CommonFileCheckBoxesDecideWhatIsCheckedAndWritten)
{
    TempDir dir;
    dir.mkdir("Data/Sys");
    ProcessValues::setProgramFolder(dir.path());
    const QString body = numberEntry(1, "<inputneed>1</inputneed>") +
                         numberEntry(2, "<commonflg>1</commonflg>") +
                         numberEntry(3, "<default>5</default>");
    Fixture fx(body, "Version=1.00\r\n\r\n[S]\r\nK3=4\r\n", true, true);
    fx.in.systemFile = true;
    fx.rebuild();
    EXPECT_TRUE(fx.f(1).hasCheckBox && !fx.f(1).checked && fx.f(3).checked); // K3 is in the file

    // K1 is required but not included: no block. The first name is refused.
    ScriptedPrompter prompter;
    prompter.answerFile(dir.file("Data/Sys/Kel_sys1.ini"));
    prompter.answerFile(dir.file("Data/Sys/kel_sys_office"));
    EXPECT_EQ(fx.form->save(true), SettingsForm::Save::Saved);
    ASSERT_EQ(prompter.records.size(), 3);
    EXPECT_EQ(prompter.records[1].text, u"ファイル名はkel_sys～という形式で保存してください。"_s);
    EXPECT_FALSE(fx.form->writeToTerminal()); // never for a common file
    EXPECT_EQ(dir.read("Data/Sys/kel_sys_office.ini"), "Version=1.00\r\n\r\n\r\n[S]\r\nK3=4\r\n");

    // Checked, the required entry blocks until it has a value.
    fx.form->setChecked(1, true);
    EXPECT_EQ(fx.form->save(false), SettingsForm::Save::Blocked);
    EXPECT_EQ(fx.view.message, u"設定 N1が入力されていません。\r\n"_s);
}

TEST(SettingsForm, WriteToTerminalOnlyAfterAWrittenTerminalFile)
{
    TempDir dir;
    Fixture fx(numberEntry(1), "Version=1.00\r\n\r\n[S]\r\nK1=1\r\n", true);
    fx.in.iniPath = dir.file("Data/Sys/kel_sys1.ini");
    fx.rebuild();
    EXPECT_EQ(fx.form->save(true), SettingsForm::Save::Saved);
    EXPECT_FALSE(fx.form->fileWritten() || fx.form->writeToTerminal()); // the folder doesn't exist
    dir.mkdir("Data/Sys");
    EXPECT_EQ(fx.form->save(true), SettingsForm::Save::Saved);
    EXPECT_TRUE(fx.form->fileWritten() && fx.form->writeToTerminal());
}
