// The texts of the result codes and what each request kind runs and logs.
#include "comm/ResultCodes.h"
#include "common/Cp932.h"

#include <gtest/gtest.h>

TEST(ResultTexts, ListAndLongTextOfEveryCode)
{
    struct Case {
        int code;
        const char *list, *longText;
    };
    // clang-format off
    const Case cases[] = {
        {0, "(正常終了)", "正常終了"},
        {1, "(ｴﾗｰ：電話機使用中)", "リモートオープンエラー(電話機使用中)"},
        {2, "(ｴﾗｰ：ﾘﾓｰﾄ多重接続)", "リモートオープンエラー(リモート多重起動)"},
        {3, "(ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)", "通信処理タイムアウト"}, {4, "(ｴﾗｰ：通信異常)", "通信エラー"},
        {5, "(ｴﾗｰ：FTP接続異常)", "FTP接続エラー"}, {6, "(ｴﾗｰ：FTP通信異常)", "FTP通信エラー"},
        {7, "(ｴﾗｰ：キャンセル)", "キャンセルされたので処理を行わなかった"},
        {8, "(ｴﾗｰ：対象ﾌｧｲﾙ無)", "対象ファイル無し"}, {9, "(ｴﾗｰ：その他異常)", "その他致命的エラー"},
        {10, "(ｴﾗｰ：－－－－－)", "ファイル生成エラー"},
        {11, "(ｴﾗｰ：－－－－－)", "SIPアドレス設定範囲　空きなし"},
        {12, "(ｴﾗｰ：－－－－－)", "設定Configファイル異常"},
        {13, "(ｴﾗｰ：－－－－－)", ""}, {255, "(ｴﾗｰ：－－－－－)", ""}, {-1, "(ｴﾗｰ：－－－－－)", ""},
    };
    // clang-format on
    for (const auto &c : cases) {
        EXPECT_EQ(ResultListText(c.code), c.list) << c.code;
        EXPECT_EQ(ResultLongText(c.code), c.longText) << c.code;
    }
    // Half-width katakana are single CP932 bytes; the blank of code 11 is full-width.
    EXPECT_EQ(Cp932::byteLength(ResultListText(2)), 19);
    EXPECT_EQ(Cp932::encode(ResultLongText(11)).mid(19, 2), QByteArray("\x81\x40"));
}

TEST(ResultTexts, ListCellOfKindAndResult)
{
    struct Case {
        int kind, code;
        const char *cell;
    };
    // clang-format off
    const Case cases[] = {
        {0, 0, "　－　"}, {0, 5, "　－　"}, {1, 0, "端末情報取得 (正常終了)"},
        {2, 1, "ｼｽﾃﾑ設定読込 (ｴﾗｰ：電話機使用中)"}, {3, 0, "ﾕｰｻﾞ設定読込 (正常終了)"},
        {4, 0, "電話帳読込(正常終了)"}, {5, 0, "ｼｽﾃﾑ設定書込 (正常終了)"},
        {6, 0, "ﾕｰｻﾞ設定書込 (正常終了)"}, {7, 0, "電話帳書込(正常終了)"},
        {8, 6, "ブート書込　 (ｴﾗｰ：FTP通信異常)"}, {9, 0, "アプリ書込　 (正常終了)"},
        {10, 3, "端末再起動　 (ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)"}, {11, 0, "保守強制終了 (正常終了)"},
        {12, 0, "共通ﾌｧｲﾙ書込 (正常終了)"}, {13, 4, "端末情報取得中"},
        {14, 0, "ﾘﾓｰﾄﾌｧｲﾙ書込 (正常終了)"}, {15, 8, "ｽｹｼﾞｭｰﾙ実行(ﾌｧｰﾑｳｪｱ書込)(ｴﾗｰ：対象ﾌｧｲﾙ無)"},
        {16, 0, "ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ書込)(正常終了)"}, {17, 0, "ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ読込)(正常終了)"},
        {18, 7, "ｽｹｼﾞｭｰﾙ実行(端末再起動)(ｴﾗｰ：キャンセル)"}, {19, 11, "初期設定実行(ｴﾗｰ：－－－－－)"},
        {20, 0, "その他　　　 (正常終了)"}, {-3, 9, "その他　　　 (ｴﾗｰ：その他異常)"},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(ResultColumnText(c.kind, c.code), c.cell) << c.kind << "/" << c.code;
}

TEST(RequestKinds, WorkerOperationCompletionAndStartLog)
{
    struct Case {
        int request;
        std::uint32_t operation;
        int completion, opeLog;
    };
    // clang-format off
    const Case cases[] = {
        {3, 0, 4, 9}, {6, 0x4700, 7, 10}, {8, 0x4600, 9, 11}, {10, 0x4800, 11, 1},
        {12, 0x4800, 13, 2}, {14, 0x4900, 15, 4}, {16, 0x4900, 17, 5}, {18, 0x4800, 19, 3},
        {20, 0x4900, 21, 6}, {22, 0x4900, 23, 13}, {24, 0x4A00, 25, 7}, {26, 0x4B00, 27, 8},
        {28, 0, -1, -1}, {29, 0x4700, 30, 18}, {31, 0x5500, 32, 16}, {33, 0x5501, 34, 17},
        {35, 0x5502, 36, 15}, {41, 0, -1, 14}, {51, 0, -1, 14}, {5, 0, -1, -1}, {27, 0, -1, -1},
    };
    // clang-format on
    for (const auto &c : cases) {
        EXPECT_EQ(WorkerOperationOf(c.request), c.operation) << c.request;
        EXPECT_EQ(CompletionKindOf(c.request), c.completion) << c.request;
        EXPECT_EQ(RequestOpeLogNumber(c.request), c.opeLog) << c.request;
        EXPECT_EQ(IsWorkerRequestKind(c.request), c.operation != 0) << c.request;
    }
}
