// The result texts where a rule decides them: codes beyond the table, the
// list cell's layout per kind, and the byte widths of the half-width texts.
#include "comm/ResultCodes.h"
#include "common/Cp932.h"

#include <gtest/gtest.h>

TEST(ResultTexts, UnknownCodesCellLayoutsAndWidths)
{
    EXPECT_EQ(ResultListText(255), "(ｴﾗｰ：－－－－－)");
    EXPECT_EQ(ResultLongText(-1), "");
    // clang-format off
    const std::tuple<int, int, const char *> cases[] = {
        {0, 5, "　－　"}, {13, 4, "端末情報取得中"}, {19, 11, "初期設定実行(ｴﾗｰ：－－－－－)"},
        {20, 0, "その他　　　 (正常終了)"}, {-3, 9, "その他　　　 (ｴﾗｰ：その他異常)"},
    };
    // clang-format on
    for (const auto &[kind, code, cell] : cases)
        EXPECT_EQ(ResultColumnText(kind, code), cell) << kind << "/" << code;
    // Half-width katakana are single CP932 bytes; the blank of code 11 is full-width.
    EXPECT_EQ(Cp932::byteLength(ResultListText(2)), 19);
    EXPECT_EQ(Cp932::encode(ResultLongText(11)).mid(19, 2), QByteArray("\x81\x40"));
}
