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
    dir.mkdir(u("Config/Sys/sysconfig_E_dir.xml")); // folders don't count
    dir.write(u("電話帳X_1.xlt"), "x");

    struct Case {
        const char *pattern;
        int count;
        const char *last; // name of the reported match
    } cases[] = {
        // clang-format off
        {"Config/Sys/sysconfig_A_*.xml", 1, "sysconfig_A_1.xml"},
        {"Config/Sys/sysconfig_B_*.xml", 2, "sysconfig_B_2.xml"},
        {"Config/Sys/sysconfig_c_*.xml", 1, "SYSCONFIG_C_1.XML"},             // any case
        {"Config/Sys/sysconfig_D+(1)_[x].xml", 1, "sysconfig_D+(1)_[x].xml"}, // literal
        {"Config/Sys/sysconfig_E_*.xml", 0, ""}, {"Config/Sys/a?.s", 1, "ab.s"},
        {"電話帳X_*.xlt", 1, "電話帳X_1.xlt"},
        // clang-format on
    };
    for (const auto &c : cases) {
        const FindSingleFileResult r = FindSingleFile(dir.file(u(c.pattern)));
        EXPECT_EQ(r.count, c.count) << c.pattern;
        EXPECT_EQ(r.single, c.count == 1) << c.pattern;
        EXPECT_EQ(QFileInfo(r.path).fileName(), u(c.last)) << c.pattern;
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
        // clang-format off
        {"\\d+", "ab12cd", true}, {"^\\d{1,5}$", "123456", false}, // anywhere, no anchors
        {"^\\d+$", "123\n", false},                         // $ is the very end only
        {"[$]", "a$b", true}, {"\\$", "a$b", true},         // a $ inside a class stays literal
        {"^[\\u3041-\\u3093]+$", "あい", true}, {"^[\\u3041-\\u3093]+$", "ア", false}, {"^\\u00e9$", "é", true},
        {"ABC", "abc", false},                              // case matters
        {"[]", "anything", false}, {"^[^]$", "x", true},
        {"(", "(", false}, {"", "text", true},              // invalid pattern; empty one
        // clang-format on
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
        // clang-format off
        {"ｱ", "\xb1"}, {"\u3000", "\x81\x40"},
        {"\uFF0D", "\x81\x7c"}, {"\uFF5E", "\x81\x60"},       // FF0D and FF5E as Windows maps them
        {"①", "\x87\x40"}, {"㈱", "\x87\x8a"},      // NEC row 13
        {"漢\x7f" "ｱ\x1a", "\x8a\xbf\x7f\xb1\x1a"},  // controls as themselves
        // clang-format on
    };
    for (const auto &c : cases) {
        const QString text = u(c.text);
        EXPECT_EQ(Cp932::encode(text), c.bytes) << c.text;
        EXPECT_EQ(Cp932::decode(c.bytes), text) << c.text;
        EXPECT_EQ(Cp932::byteLength(text), c.bytes.size()) << c.text;
    }
    // Both encodings of the IBM extension characters read back (髙).
    EXPECT_EQ(Cp932::decode(QByteArray("\xfb\xfc")), u("髙"));
    EXPECT_EQ(Cp932::decode(QByteArray("\xee\xe0")), u("髙"));
    // A lone lead byte decodes to something, never to nothing at all.
    EXPECT_FALSE(Cp932::decode(QByteArray("a\x82")).isEmpty());
}
