#include "termlist/ProgressTexts.h"

#include <QCoreApplication>
#include <array>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(ProgressTexts)
};

struct Row {
    const char *title;
    const char *text;
    bool stop;
};

const std::array<Row, ProgressOp::Count> rows{{
    {QT_TRANSLATE_NOOP("ProgressTexts", "端末情報取得"),
     QT_TRANSLATE_NOOP("ProgressTexts", "端末情報取得要求中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "端末再起動"),
     QT_TRANSLATE_NOOP("ProgressTexts", "端末再起動処理中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "保守強制終了"),
     QT_TRANSLATE_NOOP("ProgressTexts", "端末保守強制終了処理中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "システム設定ファイル読み込み"),
     QT_TRANSLATE_NOOP("ProgressTexts", "システム設定ファイル読み込み中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "システム設定ファイル書き込み"),
     QT_TRANSLATE_NOOP("ProgressTexts", "システム設定ファイル書き込み中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "ユーザ設定ファイル読み込み"),
     QT_TRANSLATE_NOOP("ProgressTexts", "ユーザ設定ファイル読み込み中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "ユーザ設定ファイル書き込み"),
     QT_TRANSLATE_NOOP("ProgressTexts", "ユーザ設定ファイル書き込み中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "ブートプログラムバージョンアップ"),
     QT_TRANSLATE_NOOP("ProgressTexts", "ブートプログラム書き込み中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "アプリケーションプログラムバージョンアップ"),
     QT_TRANSLATE_NOOP("ProgressTexts", "アプリケーションプログラム書き込み中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "電話帳読み込み"),
     QT_TRANSLATE_NOOP("ProgressTexts", "電話帳データ読み込み中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "電話帳書き込み"),
     QT_TRANSLATE_NOOP("ProgressTexts", "電話帳データ書き込み中です。"), true},
    {QT_TRANSLATE_NOOP("ProgressTexts", "端末データ追加"),
     QT_TRANSLATE_NOOP("ProgressTexts", "端末データ追加処理中です。"), false},
    {QT_TRANSLATE_NOOP("ProgressTexts", "端末データ削除"),
     QT_TRANSLATE_NOOP("ProgressTexts", "端末データ削除処理中です。"), false},
    {QT_TRANSLATE_NOOP("ProgressTexts", "端末データ削除"),
     QT_TRANSLATE_NOOP("ProgressTexts", "関連ファイルを削除しています。"), false},
    {QT_TRANSLATE_NOOP("ProgressTexts", "共通ファイル書き込み"),
     QT_TRANSLATE_NOOP("ProgressTexts", "共通ファイル書き込み中です。"), true},
}};

} // namespace

ProgressTexts progressTexts(int op)
{
    const Row &r = op >= 0 && op < ProgressOp::Count ? rows[op] : rows[ProgressOp::WriteSys];
    return {Tr::tr(r.title), Tr::tr(r.text), r.stop};
}

QString progressCounter(int done, int total)
{
    return Tr::tr("%1 / %2  処理済み").arg(done).arg(total);
}

QString progressStoppingText()
{
    return Tr::tr(
        "実行中の処理の完了を待っています｡\r\nこの処理は数分から数十分かかる場合があります｡");
}
