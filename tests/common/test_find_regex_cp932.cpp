#include "common/Cp932.h"
#include "common/FindSingleFile.h"
#include "common/RegexTest.h"

#include "support/TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace
{
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}
} // namespace

TEST(FindSingleFile, CountsMatchesOfTheNamePart)
{
    TempDir dir;
    for (const char *name :
         {"sysconfig_A_1.xml", "sysconfig_B_1.xml", "sysconfig_B_2.xml", "SYSCONFIG_C_1.XML",
          "sysconfig_D+(1)_[x].xml", "note.txt", "ab.s", "abc.s"})
        dir.write(u("Config/Sys/") + u(name), "x");
    dir.mkdir(u("Config/Sys/sysconfig_E_dir.xml"));                   // folders don't count
    dir.write(u("\xe9\x9b\xbb\xe8\xa9\xb1\xe5\xb8\xb3X_1.xlt"), "x"); // 電話帳X_1.xlt

    struct Case {
        const char *pattern;
        int count;
        const char *last; // name of the reported match
    } cases[] = {
        {"Config/Sys/sysconfig_A_*.xml", 1, "sysconfig_A_1.xml"},
        {"Config/Sys/sysconfig_B_*.xml", 2, "sysconfig_B_2.xml"},
        {"Config/Sys/sysconfig_c_*.xml", 1, "SYSCONFIG_C_1.XML"},             // any case
        {"Config/Sys/sysconfig_D+(1)_[x].xml", 1, "sysconfig_D+(1)_[x].xml"}, // literal
        {"Config/Sys/sysconfig_E_*.xml", 0, ""},
        {"Config/Sys/sysconfig_Z_*.xml", 0, ""},
        {"Config/Sys/a?.s", 1, "ab.s"},
        {"Config/Sys/a*.s", 2, "abc.s"},
        {"Config/Sys/*", 2, "sysconfig_D+(1)_[x].xml"},
        {"Missing/*.xml", 0, ""},
        {"\xe9\x9b\xbb\xe8\xa9\xb1\xe5\xb8\xb3X_*.xlt", 1,
         "\xe9\x9b\xbb\xe8\xa9\xb1\xe5\xb8\xb3X_1.xlt"},
    };
    for (const auto &c : cases) {
        const FindSingleFileResult r = FindSingleFile(dir.file(u(c.pattern)));
        EXPECT_EQ(r.count, c.count) << c.pattern;
        EXPECT_EQ(r.single, c.count == 1) << c.pattern;
        if (c.count > 0)
            EXPECT_EQ(QFileInfo(r.path).fileName(), u(c.last)) << c.pattern;
        else
            EXPECT_TRUE(r.path.isEmpty()) << c.pattern;
    }
    const FindSingleFileResult one = FindSingleFile(dir.file(u("Config/Sys/sysconfig_A_*.xml")));
    EXPECT_EQ(one.path, QFileInfo(dir.file(u("Config/Sys/sysconfig_A_1.xml"))).absoluteFilePath());
}

TEST(RegexTest, MatchesAnywhereWithTheScriptingEngineSyntax)
{
    struct Case {
        const char *pattern, *text;
        bool expected;
    } cases[] = {
        {"\\d+", "ab12cd", true}, // anywhere, no anchors
        {"^\\d+$", "ab12cd", false},
        {"^\\d{1,5}$", "65535", true},
        {"^\\d{1,5}$", "123456", false},
        {"^\\d+$", "123\n", false}, // $ is the very end only
        {"^abc$", "abc", true},
        {"^(abc|def)$", "def", true},
        {"[$]", "a$b", true}, // a $ inside a class stays literal
        {"\\$", "a$b", true},
        {"^[\\u3041-\\u3093]+$", "\xe3\x81\x82\xe3\x81\x84", true}, // あい
        {"^[\\u3041-\\u3093]+$", "\xe3\x82\xa2", false},            // ア
        {"^\\u0041$", "A", true},
        {"^((25[0-5]|2[0-4]\\d|1?\\d?\\d)\\.){3}(25[0-5]|2[0-4]\\d|1?\\d?\\d)$", "192.168.0.10",
         true},
        {"^((25[0-5]|2[0-4]\\d|1?\\d?\\d)\\.){3}(25[0-5]|2[0-4]\\d|1?\\d?\\d)$", "192.168.0.256",
         false},
        {"ABC", "abc", false}, // case matters
        {"[]", "anything", false},
        {"^[^]$", "x", true},
        {"(", "(", false}, // invalid pattern
        {"[a-", "a", false},
        {"", "", true},
        {"", "text", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RegexTest(u(c.pattern), u(c.text)), c.expected) << c.pattern << " on " << c.text;
}

TEST(Cp932, WindowsCodePageNotPlainShiftJis)
{
    struct Case {
        const char *text;
        QByteArray bytes;
    } cases[] = {
        {"A", "A"},
        {"\xef\xbd\xb1", "\xb1"},     // ｱ half-width: one byte
        {"\xe6\xbc\xa2", "\x8a\xbf"}, // 漢
        {"\xe3\x80\x80", "\x81\x40"}, // full-width blank
        {"\xef\xbc\x8d", "\x81\x7c"}, // － (FF0D) as Windows maps it
        {"\xef\xbd\x9e", "\x81\x60"}, // ～ (FF5E)
        {"\xe2\x91\xa0", "\x87\x40"}, // ① NEC row 13
        {"\xe3\x88\xb1", "\x87\x8a"}, // ㈱
        {"\xe7\xab\xaf\xe6\x9c\xab"
         "ID:",
         "\x92\x5b\x96\x96ID:"}, // 端末ID:
    };
    for (const auto &c : cases) {
        const QString text = u(c.text);
        EXPECT_EQ(Cp932::encode(text), c.bytes) << c.text;
        EXPECT_EQ(Cp932::decode(c.bytes), text) << c.text;
        EXPECT_EQ(Cp932::byteLength(text), c.bytes.size()) << c.text;
    }
    // Both encodings of the IBM extension characters read back (髙).
    EXPECT_EQ(Cp932::decode(QByteArray("\xfb\xfc")), u("\xe9\xab\x99"));
    EXPECT_EQ(Cp932::decode(QByteArray("\xee\xe0")), u("\xe9\xab\x99"));
    // A lone lead byte decodes to something, never to nothing at all.
    EXPECT_FALSE(Cp932::decode(QByteArray("a\x82")).isEmpty());
}
