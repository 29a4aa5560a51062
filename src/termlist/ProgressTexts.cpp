#include "termlist/ProgressTexts.h"

#include <array>

namespace
{

struct Row {
    const char *title;
    const char *text;
    bool stop;
};

const std::array<Row, ProgressOp::Count> rows{{
    {"端末情報取得", "端末情報取得要求中です。", true},
    {"端末再起動", "端末再起動処理中です。", true},
    {"保守強制終了", "端末保守強制終了処理中です。", true},
    {"システム設定ファイル読み込み", "システム設定ファイル読み込み中です。", true},
    {"システム設定ファイル書き込み", "システム設定ファイル書き込み中です。", true},
    {"ユーザ設定ファイル読み込み", "ユーザ設定ファイル読み込み中です。", true},
    {"ユーザ設定ファイル書き込み", "ユーザ設定ファイル書き込み中です。", true},
    {"ブートプログラムバージョンアップ", "ブートプログラム書き込み中です。", true},
    {"アプリケーションプログラムバージョンアップ", "アプリケーションプログラム書き込み中です。",
     true},
    {"電話帳読み込み", "電話帳データ読み込み中です。", true},
    {"電話帳書き込み", "電話帳データ書き込み中です。", true},
    {"端末データ追加", "端末データ追加処理中です。", false},
    {"端末データ削除", "端末データ削除処理中です。", false},
    {"端末データ削除", "関連ファイルを削除しています。", false},
    {"共通ファイル書き込み", "共通ファイル書き込み中です。", true},
}};

} // namespace

ProgressTexts progressTexts(int op)
{
    const Row &r = op >= 0 && op < ProgressOp::Count ? rows[op] : rows[ProgressOp::WriteSys];
    return {QString::fromUtf8(r.title), QString::fromUtf8(r.text), r.stop};
}

QString progressCounter(int done, int total)
{
    return QStringLiteral("%1 / %2  処理済み").arg(done).arg(total);
}

QString progressStoppingText()
{
    return QStringLiteral(
        "実行中の処理の完了を待っています｡\r\nこの処理は数分から数十分かかる場合があります｡");
}
