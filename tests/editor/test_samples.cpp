// The sample descriptions that the program folder is laid out with, the
// files the terminal simulator serves for them, and the loader's whole
// preparation with its failure boxes and log lines.
#include "EditorTestSupport.h"

#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace EditorTest;

namespace
{

const QString kSamples = QStringLiteral(KEL_SOURCE_DIR "/samples/Config/");

// A settings file exactly as the simulator generates it for a terminal.
QByteArray simulatorFile(const char *name, const QString &termId, const QString &address)
{
    QProcess py;
    py.setWorkingDirectory(QStringLiteral(KEL_SOURCE_DIR "/tools/termsim"));
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import sys\nfrom termsimlib import terminal\n"
                             "f = terminal.default_files({'terminal_id': sys.argv[1], 'address': "
                             "sys.argv[2], 'mac': ''})\n"
                             "sys.stdout.buffer.write(f[sys.argv[3]].encode('cp932'))"),
              termId, address, QString::fromLatin1(name)});
    if (!py.waitForFinished(30000) || py.exitCode() != 0)
        return {};
    return py.readAllStandardOutput();
}

} // namespace

TEST(SampleDescriptions, LoadCleanlyAndUseEveryFeature)
{
    struct Case {
        const char *file;
        bool settingsFile;
    };
    for (const Case &c :
         {Case{"Sys/sysconfig_KT-100_1.xml", true}, Case{"User/userconfig_KT-100_1.xml", true},
          Case{"FirmConfig.xml", false}}) {
        SCOPED_TRACE(c.file);
        RecordingLog log;
        LoaderInputs in;
        in.descriptionPath = kSamples + QLatin1String(c.file);
        in.settingsFile = c.settingsFile;
        DescriptionLoader loader(in);
        loader.setErrorLog(log.sink());
        EXPECT_TRUE(loader.load() && loader.checkDependencies());
        EXPECT_EQ(log.details(), QStringList());
    }

    SettingsDescription d;
    ASSERT_TRUE(
        LoadDescriptionBytes(repoFile("samples/Config/Sys/sysconfig_KT-100_1.xml"), true, &d));
    QSet<int> types;
    int enablingChildren = 0, alternatives = 0, hidden = 0;
    QList<int> perSection(d.sections.size());
    for (const DescEntry &e : d.entries) {
        types.insert(e.inputType);
        enablingChildren += !e.groupChild.isEmpty();
        alternatives +=
            e.inputRule == 1 && e.inputType == InputType::Combo && e.childDetails.size() > 1;
        hidden += e.dispFlg == 1;
        perSection[e.section] += e.dispFlg != 1;
    }
    EXPECT_EQ(types, (QSet<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_GE(enablingChildren, 2);
    EXPECT_GE(alternatives, 1);
    EXPECT_GE(hidden, 1);
    // An 800 x 600 editor shows fewer than ten 40-pixel rows per page.
    EXPECT_GE(*std::max_element(perSection.begin(), perSection.end()), 15);
    EXPECT_EQ(d.sections[1].name, QStringLiteral(u"SIP設定"));
}

TEST(SampleDescriptions, SimulatorFilesOpenAndWriteBackUnchanged)
{
    struct Case {
        const char *description, *file;
    };
    for (const Case &c : {Case{"Sys/sysconfig_KT-100_1.xml", "kel_sys.ini"},
                          Case{"User/userconfig_KT-100_1.xml", "kel_user.ini"}}) {
        SCOPED_TRACE(c.file);
        const QByteArray original =
            simulatorFile(c.file, QStringLiteral("3001"), QStringLiteral("127.0.0.9"));
        ASSERT_FALSE(original.isEmpty());
        SettingsDescription d;
        ASSERT_TRUE(LoadDescriptionBytes(
            repoFile(QStringLiteral("samples/Config/") + QLatin1String(c.description)), true, &d));
        const SettingsFileImage image = ReadSettingsBytes(original);
        MergeSettings(image, d);
        // The description covers the file: every key is found, every visible entry is in the file.
        for (const SettingsKeyRecord &r : image.keys) {
            bool known = false;
            for (const DescEntry &e : d.entries)
                known = known ||
                        (e.key == r.key && d.sections[e.section].key == image.sections[r.section]);
            EXPECT_TRUE(known) << r.key.toStdString();
        }
        for (const DescEntry &e : d.entries)
            EXPECT_TRUE(e.dispFlg == 1 || e.present) << e.key.toStdString();
        EXPECT_EQ(FormatSettingsFile(d, FileMode{true, false}), original);
    }
    const QString sys = Cp932::decode(
        simulatorFile("kel_sys.ini", QStringLiteral("3001"), QStringLiteral("127.0.0.9")));
    EXPECT_TRUE(sys.contains(u"\r\nSipAddress=3001\r\n") &&
                sys.contains(u"\r\nIpAddress=127.0.0.9\r\n") &&
                sys.contains(QStringLiteral(u"\r\nTerminalName=端末3001\r\n")))
        << sys.toStdString();
}

TEST(SampleDescriptions, RegistrationFileWritesBackUnchanged)
{
    SettingsDescription d;
    ASSERT_TRUE(LoadDescriptionBytes(repoFile("samples/Config/FirmConfig.xml"), false, &d));
    const QByteArray original = repoFile("samples/Config/FirmFilePath.ini");
    MergeSettings(ReadSettingsBytes(original), d);
    EXPECT_EQ(FormatSettingsFile(d, FileMode{false, false}), original);
}

TEST(SampleDescriptions, VersionForInitialSettings)
{
    const DescriptionVersion sys = ReadDescriptionVersion(kSamples + "Sys/sysconfig_KT-100_1.xml");
    EXPECT_EQ(sys.status, DescriptionVersion::Ok);
    EXPECT_EQ(sys.version, QStringLiteral("1.00"));
    EXPECT_EQ(ReadDescriptionVersion(kSamples + "FirmConfig.xml").status,
              DescriptionVersion::NoVersion);
    EXPECT_EQ(ReadDescriptionVersion(kSamples + "none.xml").status, DescriptionVersion::LoadFailed);
}

TEST(LoaderPreparation, FailuresShowTheirBoxAndLogTheirLines)
{
    TempDir dir;
    ScriptedPrompter prompter;
    dir.write("broken.xml",
              withVersion(data(1, "<inputtype>9</inputtype><inputrule>0</inputrule>")));
    dir.write("ok.xml",
              withVersion(
                  data(1, "<inputtype>2</inputtype><inputrule>0</inputrule><default>d</default>")));
    dir.write("kel_sys3001.ini", "Version=1\r\n\r\n[S]\r\nK1=v\r\n");

    struct Case {
        const char *what, *description, *ini;
        DescriptionLoader::Prepared result;
        QList<LogLine> lines;
        QString box;
    };
    const QString path = dir.file("broken.xml");
    // clang-format off
    const Case cases[] = {
        {"broken description", "broken.xml", "kel_sys3001.ini", DescriptionLoader::Prepared::DescriptionError,
         {{12, "3001", QStringLiteral(u"SECTION[1] DATA[0] [inputtype]が範囲外の値を設定しています。")},
          {12, "3001", path}},
         DescriptionLoader::DescriptionErrorCaption},
        {"missing description", "none.xml", "kel_sys3001.ini", DescriptionLoader::Prepared::DescriptionError,
         {{12, "3001", QStringLiteral(u"SECTION[0] DATA[0] Configファイルのロードに失敗しました。")},
          {12, "3001", dir.file("none.xml")}},
         DescriptionLoader::DescriptionErrorCaption},
        {"missing settings file", "ok.xml", "kel_sys9.ini", DescriptionLoader::Prepared::SettingsFileError,
         {{12, "3001", QStringLiteral(u"SECTION[0] DATA[0] ファイルのオープンに失敗しました。")}, {10, "3001", ""}},
         DescriptionLoader::SettingsFileErrorCaption},
        {"ready", "ok.xml", "kel_sys3001.ini", DescriptionLoader::Prepared::Ready, {}, QString()},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        prompter.records.clear();
        RecordingLog log;
        LoaderInputs in;
        in.descriptionPath = dir.file(c.description);
        in.iniPath = dir.file(c.ini);
        in.termId = QStringLiteral("3001");
        DescriptionLoader loader(in);
        loader.setErrorLog(log.sink());
        EXPECT_EQ(loader.prepare(), c.result);
        ASSERT_EQ(log.lines.size(), c.lines.size());
        for (qsizetype i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(log.lines[i].number, c.lines[i].number);
            EXPECT_EQ(log.lines[i].termId, c.lines[i].termId);
            EXPECT_EQ(log.lines[i].detail, c.lines[i].detail);
        }
        if (c.box.isEmpty()) {
            EXPECT_TRUE(prompter.records.isEmpty());
            EXPECT_EQ(loader.description().entries[1].value, QStringLiteral("v"));
        } else {
            ASSERT_EQ(prompter.records.size(), 1);
            EXPECT_EQ(prompter.records[0].caption, c.box);
            EXPECT_EQ(prompter.records[0].type, MsgType::IconError);
        }
    }
    EXPECT_EQ(DescriptionLoader::DescriptionErrorText,
              QStringLiteral(u"設定編集用のConfigファイルに異常があります。\nお手数ですが、購入元に"
                             u"お問い合わせ願います。"));
    EXPECT_EQ(DescriptionLoader::SettingsFileErrorText,
              QStringLiteral(
                  u"設定ファイル(iniファイル)"
                  u"の情報の取得に失敗しました。\n設定ファイルを更新して再度実行してください。"));

    // A common file not chosen yet: the defaults stand.
    LoaderInputs in;
    in.descriptionPath = dir.file("ok.xml");
    in.commonFile = true;
    DescriptionLoader loader(in);
    loader.setErrorLog({});
    EXPECT_EQ(loader.prepare(), DescriptionLoader::Prepared::Ready);
    EXPECT_EQ(loader.description().entries[1].value, QStringLiteral("d"));
}
