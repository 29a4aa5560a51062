// Settings files: the reader, the merge, the writer's exact bytes in each mode
// and its failures.
#include "EditorTestSupport.h"

#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace EditorTest;

namespace
{

// "section/key=value" per record.
QStringList records(const SettingsFileImage &image)
{
    QStringList out;
    for (const SettingsKeyRecord &r : image.keys)
        out << image.sections[r.section] + u'/' + r.key + u'=' + r.value;
    return out;
}

SettingsDescription writeDescription()
{
    SettingsDescription d;
    EXPECT_TRUE(LoadDescriptionBytes(repoFile("tests/editor/data/write_desc.xml"), true, &d));
    return d;
}

QByteArray crlf(const char *text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

} // namespace

TEST(SettingsFileReader, LinesAsRead)
{
    const QByteArray a509(509, 'a');
    struct Case {
        const char *what;
        QByteArray bytes;
        QStringList sections, records;
    };
    // clang-format off
    const Case cases[] = {
        {"version, section, key", crlf("Version=1.02\n[SIP]\nSipAddress=201\n"),
         {"Version", "SIP"}, {"Version/Version=1.02", "SIP/SipAddress=201"}},
        {"indented and empty lines are skipped", crlf("[A]\n K=1\n\nL=2\n  [B]\n"), {"A"}, {"A/L=2"}},
        {"header without ']' and with a tail", "[A\nK=1\n[B]tail\r\nL=2", {"A", "B"}, {"A/K=1", "B/L=2"}},
        {"key before the first section", crlf("K=1\n[A]\nL=2\n"), {"A"}, {"A/L=2"}},
        {"a second version line is ignored", crlf("Version=1\n[A]\nVersion=2\nK=1\n"),
         {"Version", "A"}, {"Version/Version=1", "A/K=1"}},
        {"the version line opens its section where it stands", crlf("[A]\nK=1\nVersionX=3\nL=2\n"),
         {"A", "Version"}, {"A/K=1", "Version/VersionX=3", "Version/L=2"}},
        {"a long line is read in 511-byte pieces", "[A]\r\nA=" + a509 + "X=1\r\n", {"A"},
         {"A/A=" + a509, "A/X=1"}},
        {"a piece that starts with a blank is skipped", "[A]\r\nA=" + a509 + " X=1\r\n", {"A"},
         {"A/A=" + a509}},
        {"NUL ends the line", QByteArray("[A]\r\nK=1\0junk\r\n", 15), {"A"}, {"A/K=1"}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const SettingsFileImage image = ReadSettingsBytes(c.bytes);
        EXPECT_EQ(image.sections, c.sections);
        EXPECT_EQ(records(image), c.records);
    }
}

TEST(SettingsFileWriter, TerminalFileBytesMatchTheExpectedFile)
{
    TempDir dir;
    SettingsDescription d = writeDescription();
    // The first of two values counts; "[line]" and "mode" are other names.
    MergeSettings(ReadSettingsBytes(repoFile("tests/editor/data/write_input.ini") +
                                    crlf("[line]\nMode=1\n[Line]\nmode=1\n")),
                  d);
    ASSERT_TRUE(WriteSettingsFile(dir.file("kel_sys3001.ini"), d, FileMode{true, false}));
    EXPECT_EQ(dir.read("kel_sys3001.ini"), repoFile("tests/editor/data/write_expected.ini"));
    EXPECT_EQ(d.entries[1].value, QStringLiteral("12")); // the trimmed value is kept
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"kel_sys3001.ini"});
    // It holds SIP accounts: the owner's alone.
    EXPECT_EQ(QFileInfo(dir.file("kel_sys3001.ini")).permissions() & QFile::Permissions(0x7077),
              QFile::ReadOwner | QFile::WriteOwner);
}

TEST(SettingsFileWriter, EntriesWrittenInEachMode)
{
    struct Case {
        const char *what;
        FileMode mode;
        QByteArray file;
        QStringList included;
        QByteArray expected;
    };
    // clang-format off
    const Case cases[] = {
        {"common file: included entries, the version and type 6", {true, true},
         crlf("Version=1\n[Line]\nNumber=5\n"), {"Name", "Addr", "Shown"},
         crlf("Version=2.10\n\n\n[Line]\nName=既定\nFixed=F6\nShown=RO\n\n[Net]\nAddr=\n")},
        {"common file: commonflg 1 only when the file had it", {true, true}, crlf("[Line]\nName=x\n"),
         {"Number", "Name"}, crlf("Version=2.10\n\n\n[Line]\nName=x\nFixed=F6\n")},
        {"common file: commonflg 1 that the file had", {true, true}, crlf("[Line]\nNumber=\v 7\f\n"),
         {"Number"}, crlf("Version=2.10\n\n\n[Line]\nNumber=7\nFixed=F6\n")},
        {"terminal file: only the keys it had", {true, false}, crlf("[Net]\nPath=p\n"), {},
         crlf("Version=2.10\n\n\n[Line]\nFixed=F6\nShown=RO\n\n[Net]\nPath=p\n")},
        {"registration: everything but dispflg 1", {false, false}, QByteArray(), {},
         crlf("Version=2.10\n\n\n[Line]\nNumber=\nName=既定\nMode=1\nFixed=F6\nShown=RO\n\n"
              "[Empty]\nUnused=u\n\n[Net]\nAddr=\nPath=\n")},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SettingsDescription d = writeDescription();
        MergeSettings(ReadSettingsBytes(Cp932::encode(QString::fromUtf8(c.file))), d);
        for (DescEntry &e : d.entries)
            e.included = c.included.contains(e.key);
        EXPECT_EQ(Cp932::decode(FormatSettingsFile(d, c.mode)), QString::fromUtf8(c.expected));
    }

    // A file whose first written entry is not the version starts with its header.
    SettingsDescription d = writeDescription();
    d.entries[0].dispFlg = 1;
    EXPECT_TRUE(FormatSettingsFile(d, FileMode{false, false}).startsWith("[Line]\r\nNumber=\r\n"));
}

TEST(SettingsFileWriter, FailedSavesLeaveTheOldFile)
{
    TempDir dir;
    RecordingLog log;
    SettingsDescription d = writeDescription();
    MergeSettings(ReadSettingsBytes(repoFile("tests/editor/data/write_input.ini")), d);

    // No folder: nothing created, nothing logged.
    EXPECT_FALSE(WriteSettingsFile(dir.file("missing/kel_sys1.ini"), d, {}, log.sink()));
    // A read-only file stays as it was.
    dir.write("ro.ini", "old");
    ASSERT_TRUE(AddFileAttributes(dir.file("ro.ini"), FileAttr::ReadOnly));
    EXPECT_FALSE(WriteSettingsFile(dir.file("ro.ini"), d, {}, log.sink()));
    EXPECT_EQ(dir.read("ro.ini"), "old");
    EXPECT_TRUE(log.lines.isEmpty());
    // The rename fails (a folder is in the way): logged, no temporary file left.
    dir.mkdir("busy.ini");
    EXPECT_FALSE(WriteSettingsFile(dir.file("busy.ini"), d, {}, log.sink()));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_EQ(std::pair(log.lines[0].number, log.lines[0].detail),
              std::pair(12, QStringLiteral(u"DATA[9] iniファイル書き込みにて例外処理が発生しました。")));
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
        (QStringList{"busy.ini", "ro.ini"}));
}
