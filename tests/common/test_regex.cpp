#include "common/RegexTest.h"

#include <gtest/gtest.h>

TEST(RegexTest, MatchesAnywhereWithTheScriptingEngineSyntax)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"\\d+", "ab12cd", true}, {"^\\d+$", "123\n", false}, // anywhere; $ is the very end only
        {"[$]", "a$b", true},                               // a $ inside a class stays literal
        {"^[\\u3041-\\u3093]+$", "あい", true}, {"^[\\u3041-\\u3093]+$", "ア", false},
        {"^\\u00e9$", "é", true}, {"[]", "anything", false}, {"^[^]$", "x", true},
        {"(", "(", false}, {"", "text", true}, // invalid pattern; empty one
    };
    for (const auto &[pattern, text, expected] : cases)
        EXPECT_EQ(RegexTest(QString::fromUtf8(pattern), QString::fromUtf8(text)), expected)
            << pattern << " on " << text;
}
