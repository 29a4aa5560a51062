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
    dir.mkdir(u("Config/Sys/sysconfig_E_dir.xml"));
    dir.write(u("電話帳X_1.xlt"), "x");

    const std::tuple<const char *, int, const char *> cases[] = {
        {"Config/Sys/sysconfig_A_*.xml", 1, "sysconfig_A_1.xml"},
        {"Config/Sys/sysconfig_B_*.xml", 2, "sysconfig_B_2.xml"},             // the last match
        {"Config/Sys/sysconfig_c_*.xml", 1, "SYSCONFIG_C_1.XML"},             // any case
        {"Config/Sys/sysconfig_D+(1)_[x].xml", 1, "sysconfig_D+(1)_[x].xml"}, // literal
        {"Config/Sys/sysconfig_E_*.xml", 0, ""},                              // folders don't count
        {"Config/Sys/a?.s", 1, "ab.s"}, {"電話帳X_*.xlt", 1, "電話帳X_1.xlt"},
    };
    for (const auto &[pattern, count, last] : cases) {
        const FindSingleFileResult r = FindSingleFile(dir.file(u(pattern)));
        EXPECT_EQ(std::tuple(r.count, r.single, QFileInfo(r.path).fileName()),
                  std::tuple(count, count == 1, u(last)))
            << pattern;
    }
    const FindSingleFileResult one = FindSingleFile(dir.file(u("Config/Sys/sysconfig_A_*.xml")));
    EXPECT_EQ(one.path, QFileInfo(dir.file(u("Config/Sys/sysconfig_A_1.xml"))).absoluteFilePath());
}

TEST(RegexTest, MatchesAnywhereWithTheScriptingEngineSyntax)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"\\d+", "ab12cd", true}, {"^\\d{1,5}$", "123456", false}, // anywhere, no anchors
        {"^\\d+$", "123\n", false},                         // $ is the very end only
        {"[$]", "a$b", true},                               // a $ inside a class stays literal
        {"^[\\u3041-\\u3093]+$", "あい", true}, {"^[\\u3041-\\u3093]+$", "ア", false}, {"^\\u00e9$", "é", true},
        {"ABC", "abc", false},                              // case matters
        {"[]", "anything", false}, {"^[^]$", "x", true},
        {"(", "(", false}, {"", "text", true},              // invalid pattern; empty one
    };
    for (const auto &[pattern, text, expected] : cases)
        EXPECT_EQ(RegexTest(u(pattern), u(text)), expected) << pattern << " on " << text;
}

TEST(Cp932, WindowsCodePageNotPlainShiftJis)
{
    const std::pair<const char *, QByteArray> cases[] = {
        {"ｱ", "\xb1"}, {"\u3000", "\x81\x40"},
        {"\uFF0D", "\x81\x7c"}, {"\uFF5E", "\x81\x60"},       // FF0D and FF5E as Windows maps them
        {"①", "\x87\x40"}, {"㈱", "\x87\x8a"},      // NEC row 13
        {"漢\x7f" "ｱ\x1a", "\x8a\xbf\x7f\xb1\x1a"},  // controls as themselves
    };
    for (const auto &[text, bytes] : cases) {
        EXPECT_EQ(Cp932::encode(u(text)), bytes) << text;
        EXPECT_EQ(std::pair(Cp932::decode(bytes), Cp932::byteLength(u(text))),
                  std::pair(u(text), bytes.size()))
            << text;
    }
    // Both encodings of the IBM extension characters read back (髙); a lone
    // lead byte decodes to something, never to nothing at all.
    EXPECT_EQ(Cp932::decode(QByteArray("\xfb\xfc")) + Cp932::decode(QByteArray("\xee\xe0")),
              u("髙髙"));
    EXPECT_FALSE(Cp932::decode(QByteArray("a\x82")).isEmpty());
}
