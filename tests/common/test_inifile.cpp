#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/IniFile.h"
#include "common/RegexTest.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{
IniFile doc(const char *utf8)
{
    return IniFile::fromBytes(Cp932::encode(QString::fromUtf8(utf8)));
}

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QFile::Permissions modeOf(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}
} // namespace

TEST(IniRead, NamesCaseInsensitiveFirstOccurrenceWinsValuesTrimmed)
{
    // Full-width blanks are text, not blanks to trim.
    const IniFile ini =
        doc("; comment=not a key\r\norphan=before any section\r\n"
            "[System]\r\n  Count =  3  \r\ncount=99\r\nQuoted=\"  a b  \"\r\n"
            "Single='x'\r\nHalf=\"open\r\nEmpty=\r\nNoEquals\r\nEq=a=b\r\n"
            "Wide=\u3000x\u3000\r\n[system]\r\nOther=shadowed\r\n[  Spaced  ]\nk=v");
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"SYSTEM", "COUNT", "3"},   {"System", "Quoted", "  a b  "}, {"System", "Single", "x"},
        {"System", "Half", "\"open"}, {"System", "Empty", ""},        {"System", "Eq", "a=b"},
        {"System", "Wide", "\u3000x\u3000"}, {"spaced", "K", "v"}};
    for (const auto &[section, key, expected] : cases)
        EXPECT_EQ(ini.readString(u(section), u(key), u("DEF")), u(expected)) << key;

    // Missing things give the default (its trailing blanks dropped); "Other"
    // is only in the shadowed duplicate section.
    for (const auto &[section, key] : {std::pair{"System", "Other"}, {"System", "NoEquals"},
                                       {"System", "; comment"}, {"", "orphan"}, {"Nowhere", "Count"}}) {
        EXPECT_FALSE(ini.hasKey(u(section), u(key))) << key;
        EXPECT_EQ(ini.readString(u(section), u(key), u("def  ")), u("def")) << key;
    }
    EXPECT_EQ(ini.sectionNames(), (QStringList{u("System"), u("Spaced")}));
    EXPECT_TRUE(ini.hasSection(u("SYSTEM")) && !ini.hasSection(u("Nowhere")));
    EXPECT_EQ(ini.keys(u("system")), (QStringList{u("Count"), u("Quoted"), u("Single"), u("Half"),
                                                  u("Empty"), u("Eq"), u("Wide")}));
}

TEST(IniRead, BufferLimitCutsWholeCp932Characters)
{
    const IniFile ini = doc("[S]\r\nK=ab漢字ｶ\r\n");
    // 8: 7 bytes and the terminator; 4: the second byte of 漢 does not fit
    for (const auto &[maxBytes, expected] : {std::pair{0, "ab漢字ｶ"}, {8, "ab漢字ｶ"}, {7, "ab漢字"},
                                             {5, "ab漢"}, {4, "ab"}, {1, ""}})
        EXPECT_EQ(ini.readString(u("S"), u("K"), {}, maxBytes), u(expected)) << maxBytes;
}

TEST(IniWrite, UpdatesInPlaceAndKeepsEveryOtherLine)
{
    // Mixed line ends, comments, blank lines, a duplicate section and bytes
    // that aren't valid CP932 all survive; only CR LF is normalised.
    IniFile ini = IniFile::fromBytes("; header comment\n[A]\r\none=1\r\ntwo = 2 ; trailing\r\n\r\n"
                                     "[B]\nx=\x82\xa0\xff\xfe\n\n[a]\r\ntwo=shadow\r\n");
    ini.writeString(u("a"), u("TWO"), u("22"));
    ini.writeString(u("B"), u("new"), u("テｷ"));
    ini.writeString(u("C"), u("k"), u("a\r\nb")); // a line break can't split the line
    ini.writeInt(u("A"), u("three"), -3);
    EXPECT_EQ(ini.toBytes(), QByteArray("; header comment\r\n[A]\r\none=1\r\nTWO=22\r\nthree=-3\r\n"
                                        "\r\n[B]\r\nx=\x82\xa0\xff\xfe\r\nnew=\x83\x65\xb7\r\n\r\n"
                                        "[a]\r\ntwo=shadow\r\n[C]\r\nk=a  b\r\n"));
    EXPECT_EQ(ini.readString(u("b"), u("NEW")), u("テｷ"));
    EXPECT_EQ(ini.readInt(u("A"), u("two"), 0), 22);

    // Removing a key brings its duplicate to light.
    ini = IniFile::fromBytes("[A]\r\nk=1\r\nk=2\r\n\r\n[B]\r\nz=9\r\n[C]\r\n");
    EXPECT_TRUE(ini.removeKey(u("a"), u("K")) && ini.removeSection(u("b")));
    EXPECT_FALSE(ini.removeKey(u("A"), u("missing")) || ini.removeSection(u("B")));
    EXPECT_EQ(ini.toBytes(), QByteArray("[A]\r\nk=2\r\n\r\n[C]\r\n"));
}

TEST(IniFileOnDisk, SaveIsRefusedOnReadOnlyFilesAndKeepsPermissions)
{
    TempDir dir;
    const QString path = dir.file(u("S/S.ini"));
    dir.write(u("S/S.ini"), "[S]\r\nK=1\r\n");

    // Hidden but writable: the write keeps the file hidden.
    ASSERT_TRUE(SetFileAttributes(path, FileAttr::Hidden));
    const QFile::Permissions before = modeOf(path);
    EXPECT_TRUE(IniWriteString(path, u("S"), u("K"), u("2")));
    EXPECT_EQ(modeOf(path), before);
    EXPECT_EQ(IniReadInt(path, u("S"), u("K"), 0), 2);

    // Read-only: refused, the file unchanged (also as root, who could write it).
    ASSERT_TRUE(AddFileAttributes(path, FileAttr::ReadOnly));
    EXPECT_FALSE(IniWriteString(path, u("S"), u("K"), u("3")));
    EXPECT_FALSE(IniDeleteKey(path, u("S"), u("K")));
    EXPECT_EQ(dir.read(u("S/S.ini")), QByteArray("[S]\r\nK=2\r\n"));
    EXPECT_EQ(GetFileAttributes(path), FileAttr::ReadOnly | FileAttr::Hidden);

    EXPECT_EQ(QDir(dir.file(u("S"))).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary
    // Missing files read as defaults and are created with the first key, but
    // not their folder.
    const QString fresh = dir.file(u("new.ini"));
    EXPECT_EQ(IniReadString(fresh, u("S"), u("K"), u("d")), u("d"));
    EXPECT_TRUE(IniDeleteKey(fresh, u("S"), u("K")) && !QFile::exists(fresh)); // nothing to delete
    EXPECT_TRUE(IniWriteInt(fresh, u("S"), u("K"), 15));
    EXPECT_EQ(dir.read(u("new.ini")), QByteArray("[S]\r\nK=15\r\n"));
    EXPECT_EQ(GetFileAttributes(fresh), 0u);
    EXPECT_FALSE(IniWriteString(dir.file(u("NoFolder/x.ini")), u("S"), u("K"), u("1")));
    EXPECT_FALSE(QFile::exists(dir.file(u("NoFolder"))));
}

TEST(FileAttributes, ReadOnlyAndHiddenAreIndependentPermissionBits)
{
    TempDir dir;
    const QString path = dir.file(u("f.txt"));
    EXPECT_FALSE(GetFileAttributes(path) || SetFileAttributes(path, FileAttr::ReadOnly));
    dir.write(u("f.txt"), "x");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::WriteGroup | QFile::ReadOther);
    EXPECT_EQ(GetFileAttributes(path), 0u);
    EXPECT_FALSE(IsHidden(path) || IsReadOnly(path));

    ASSERT_TRUE(SetFileAttributes(path, FileAttr::ReadOnly | FileAttr::Hidden));
    EXPECT_EQ(modeOf(path), QFile::ReadOwner);
    EXPECT_TRUE(IsHidden(path) && IsReadOnly(path));
    ASSERT_TRUE(ClearFileAttributes(path, FileAttr::Hidden)); // group write is not given back
    EXPECT_EQ(modeOf(path), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(GetFileAttributes(path), FileAttr::ReadOnly);
    ASSERT_TRUE(ClearFileAttributes(path, FileAttr::ReadOnly));
    EXPECT_EQ(modeOf(path),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

TEST(RegexTest, MatchesAnywhereWithTheScriptingEngineSyntax)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"\\d+", "ab12cd", true}, {"^\\d+$", "123\n", false}, {"[$]", "a$b", true}, // $: the end, or literal
        {"^[\\u3041-\\u3093]+$", "あい", true}, {"^[\\u3041-\\u3093]+$", "ア", false},
        {"^\\u00e9$", "é", true}, {"[]", "anything", false}, {"^[^]$", "x", true},
        {"(", "(", false}, {"", "text", true}, // invalid pattern; empty one
    };
    for (const auto &[pattern, text, expected] : cases)
        EXPECT_EQ(RegexTest(QString::fromUtf8(pattern), QString::fromUtf8(text)), expected)
            << pattern << " on " << text;
}
