#include "comm/ResultCodes.h"

#include <QCoreApplication>

#include <iterator>

namespace
{

const char *const kResultListText[] = {
    QT_TRANSLATE_NOOP("ResultCodes", "(正常終了)"),          // 0
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：電話機使用中)"), // 1
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：ﾘﾓｰﾄ多重接続)"), // 2
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)"),   // 3
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：通信異常)"),     // 4
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：FTP接続異常)"),  // 5
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：FTP通信異常)"),  // 6
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：キャンセル)"),   // 7
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：対象ﾌｧｲﾙ無)"),   // 8
    QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：その他異常)"),   // 9
};

const char *const kResultListOther = QT_TRANSLATE_NOOP("ResultCodes", "(ｴﾗｰ：－－－－－)");

const char16_t *const kResultLongText[] = {
    u"正常終了",                                 // 0
    u"リモートオープンエラー(電話機使用中)",     // 1
    u"リモートオープンエラー(リモート多重起動)", // 2
    u"通信処理タイムアウト",                     // 3
    u"通信エラー",                               // 4
    u"FTP接続エラー",                            // 5
    u"FTP通信エラー",                            // 6
    u"キャンセルされたので処理を行わなかった",   // 7
    u"対象ファイル無し",                         // 8
    u"その他致命的エラー",                       // 9
    u"ファイル生成エラー",                       // 10
    u"SIPアドレス設定範囲　空きなし",            // 11
    u"設定Configファイル異常",                   // 12
};

const char *const kKindText[] = {
    QT_TRANSLATE_NOOP("ResultCodes", "　－　"),                    // 0
    QT_TRANSLATE_NOOP("ResultCodes", "端末情報取得 "),             // 1
    QT_TRANSLATE_NOOP("ResultCodes", "ｼｽﾃﾑ設定読込 "),             // 2
    QT_TRANSLATE_NOOP("ResultCodes", "ﾕｰｻﾞ設定読込 "),             // 3
    QT_TRANSLATE_NOOP("ResultCodes", "電話帳読込"),                // 4
    QT_TRANSLATE_NOOP("ResultCodes", "ｼｽﾃﾑ設定書込 "),             // 5
    QT_TRANSLATE_NOOP("ResultCodes", "ﾕｰｻﾞ設定書込 "),             // 6
    QT_TRANSLATE_NOOP("ResultCodes", "電話帳書込"),                // 7
    QT_TRANSLATE_NOOP("ResultCodes", "ブート書込　 "),             // 8
    QT_TRANSLATE_NOOP("ResultCodes", "アプリ書込　 "),             // 9
    QT_TRANSLATE_NOOP("ResultCodes", "端末再起動　 "),             // 10
    QT_TRANSLATE_NOOP("ResultCodes", "保守強制終了 "),             // 11
    QT_TRANSLATE_NOOP("ResultCodes", "共通ﾌｧｲﾙ書込 "),             // 12
    QT_TRANSLATE_NOOP("ResultCodes", "端末情報取得中"),            // 13
    QT_TRANSLATE_NOOP("ResultCodes", "ﾘﾓｰﾄﾌｧｲﾙ書込 "),             // 14
    QT_TRANSLATE_NOOP("ResultCodes", "ｽｹｼﾞｭｰﾙ実行(ﾌｧｰﾑｳｪｱ書込)"),  // 15
    QT_TRANSLATE_NOOP("ResultCodes", "ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ書込)"), // 16
    QT_TRANSLATE_NOOP("ResultCodes", "ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ読込)"), // 17
    QT_TRANSLATE_NOOP("ResultCodes", "ｽｹｼﾞｭｰﾙ実行(端末再起動)"),   // 18
    QT_TRANSLATE_NOOP("ResultCodes", "初期設定実行"),              // 19
};

const char *const kKindOther = QT_TRANSLATE_NOOP("ResultCodes", "その他　　　 ");

struct NumberedText {
    int number;
    const char16_t *text;
};

const NumberedText kErrText[] = {
    {0, u"正常終了"},
    {1, u"IPアドレス不一致"},
    {2, u"端末ID不一致"},
    {3, u"保守開始異常"},
    {4, u"FTP異常"},
    {5, u"通信エラー"},
    {6, u"処理キャンセル"},
    {7, u"ファイル無し"},
    {10, u"ファイルオープンエラー"},
    {11, u"SIPアドレス設定範囲空きなし"},
    {12, u"設定Configファイル異常"},
    {13, u"電話帳ファイル異常"},
    {14, u"ファーム版数不一致"},
    {15, u"ファーム確認応答なし"},
};

const char16_t *const kErrOther = u"その他のエラー";

const char16_t *const kOpeText[] = {
    nullptr,
    u"システム設定読み込み",         // 1
    u"ユーザ設定読み込み",           // 2
    u"電話帳(短縮ダイヤル)読み込み", // 3
    u"システム設定書き込み",         // 4
    u"ユーザ設定書き込み",           // 5
    u"電話帳(短縮ダイヤル)書き込み", // 6
    u"ブートプログラム書き込み",     // 7
    u"アプリケーション書き込み",     // 8
    u"端末情報取得要求",             // 9
    u"端末再起動要求",               // 10
    u"保守強制終了",                 // 11
    u"処理キャンセル",               // 12
    u"共通ファイル書き込み",         // 13
    u"リモートファイル書き込み",     // 14
    u"ファームウェア書き込み",       // 15
    u"設定ファイル書き込み",         // 16
    u"設定ファイル読み込み",         // 17
    u"端末再起動",                   // 18
    u"設定ファイル編集",             // 19
    u"共通ファイル編集",             // 20
    u"初期設定実行",                 // 21
    u"初期設定終了",                 // 22
};

const char16_t *const kOpeOther = u"その他の操作";

const char16_t *const kFtpConnectDetail = u"FTP接続エラー";

const char16_t *const kFtpTransferDetail = u"FTP通信エラー";

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

// The Japanese text for files, its translation for windows.
QString text(const char *s, TextFor use)
{
    return use == TextFor::Window ? QCoreApplication::translate("ResultCodes", s)
                                  : QString::fromUtf8(s);
}

struct RequestRow {
    int request;
    std::uint32_t operation;
    int completion;
    int opeLog;
};

// Request kind -> worker operation, completion kind, operation-log number.
const RequestRow kRequests[] = {
    {RequestKind::TermInfo, 0, CompletionKind::TermInfo, OpeLog::TermInfo},
    {RequestKind::Restart, WorkerOp::Restart, CompletionKind::Restart, OpeLog::Restart},
    {RequestKind::ForceClose, WorkerOp::ForceClose, CompletionKind::ForceClose, OpeLog::ForceClose},
    {RequestKind::ReadSys, WorkerOp::ReadSettings, CompletionKind::ReadSys, OpeLog::ReadSys},
    {RequestKind::ReadUser, WorkerOp::ReadSettings, CompletionKind::ReadUser, OpeLog::ReadUser},
    {RequestKind::WriteSys, WorkerOp::WriteSettings, CompletionKind::WriteSys, OpeLog::WriteSys},
    {RequestKind::WriteUser, WorkerOp::WriteSettings, CompletionKind::WriteUser, OpeLog::WriteUser},
    {RequestKind::ReadDial, WorkerOp::ReadSettings, CompletionKind::ReadDial, OpeLog::ReadDial},
    {RequestKind::WriteDial, WorkerOp::WriteSettings, CompletionKind::WriteDial, OpeLog::WriteDial},
    {RequestKind::WriteCommon, WorkerOp::WriteSettings, CompletionKind::WriteCommon,
     OpeLog::WriteCommon},
    {RequestKind::WriteBoot, WorkerOp::WriteBoot, CompletionKind::WriteBoot, OpeLog::WriteBoot},
    {RequestKind::WriteApli, WorkerOp::WriteApli, CompletionKind::WriteApli, OpeLog::WriteApli},
    {RequestKind::ScheduleRestart, WorkerOp::Restart, CompletionKind::ScheduleRestart,
     OpeLog::TermRestart},
    {RequestKind::ScheduleWriteSettings, WorkerOp::ScheduleWriteSettings,
     CompletionKind::ScheduleWriteSettings, OpeLog::SettingsWrite},
    {RequestKind::ScheduleReadSettings, WorkerOp::ScheduleReadSettings,
     CompletionKind::ScheduleReadSettings, OpeLog::SettingsRead},
    {RequestKind::ScheduleWriteFirm, WorkerOp::ScheduleWriteFirm, CompletionKind::ScheduleWriteFirm,
     OpeLog::FirmWrite},
    {RequestKind::RemoteWrite, 0, -1, OpeLog::RemoteWrite},
    {RequestKind::Decision, 0, -1, OpeLog::RemoteWrite},
};

const RequestRow *requestRow(int kind)
{
    for (const RequestRow &r : kRequests)
        if (r.request == kind)
            return &r;
    return nullptr;
}

} // namespace

QString ResultListText(int code, TextFor use)
{
    if (code >= 0 && code < int(std::size(kResultListText)))
        return text(kResultListText[code], use);
    return text(kResultListOther, use);
}

QString ResultLongText(int code)
{
    if (code >= 0 && code < int(std::size(kResultLongText)))
        return text(kResultLongText[code]);
    return {};
}

QString OperationKindText(int kind, TextFor use)
{
    if (kind >= 0 && kind < int(std::size(kKindText)))
        return text(kKindText[kind], use);
    return text(kKindOther, use);
}

QString ResultColumnText(int kind, int code, TextFor use)
{
    if (kind == OperationKind::None || kind == OperationKind::TermInfoPending)
        return OperationKindText(kind, use);
    return OperationKindText(kind, use) + ResultListText(code, use);
}

bool IsWorkerRequestKind(int requestKind)
{
    return WorkerOperationOf(requestKind) != 0;
}

std::uint32_t WorkerOperationOf(int requestKind)
{
    const RequestRow *r = requestRow(requestKind);
    return r ? r->operation : 0;
}

int CompletionKindOf(int requestKind)
{
    const RequestRow *r = requestRow(requestKind);
    return r ? r->completion : -1;
}

int RequestOpeLogNumber(int requestKind)
{
    const RequestRow *r = requestRow(requestKind);
    return r ? r->opeLog : -1;
}

QString ErrLogText(int number)
{
    for (const NumberedText &t : kErrText)
        if (t.number == number)
            return text(t.text);
    return text(kErrOther);
}

QString OpeLogText(int number)
{
    if (number >= 1 && number < int(std::size(kOpeText)))
        return text(kOpeText[number]);
    return text(kOpeOther);
}

QString OpenRefusalText(int detail)
{
    switch (detail) {
    case OpenRefusal::Busy:
        return QStringLiteral("Busy");
    case OpenRefusal::Remote:
        return QStringLiteral("Remote");
    case OpenRefusal::NoAnswer:
        return QStringLiteral("NoAnswer");
    default:
        return QStringLiteral("unknown");
    }
}

ResultLogEntry ResultErrLogMapping(int resultCode)
{
    ResultLogEntry e;
    e.errorLine = true;
    switch (resultCode) {
    case ResultCode::PhoneInUse:
        e.number = ErrLog::OpenRefused;
        e.detailCode = OpenRefusal::Busy;
        break;
    case ResultCode::RemoteMultiple:
        e.number = ErrLog::OpenRefused;
        e.detailCode = OpenRefusal::Remote;
        break;
    case ResultCode::Timeout:
        e.number = ErrLog::OpenRefused;
        e.detailCode = OpenRefusal::NoAnswer;
        break;
    case ResultCode::CommError:
        e.number = ErrLog::CommError;
        break;
    case ResultCode::FtpConnect:
        e.number = ErrLog::Ftp;
        e.detailText = text(kFtpConnectDetail);
        break;
    case ResultCode::FtpTransfer:
        e.number = ErrLog::Ftp;
        e.detailText = text(kFtpTransferDetail);
        break;
    case ResultCode::Cancelled:
        e.number = ErrLog::Cancelled;
        break;
    case ResultCode::FileMissing:
        e.number = ErrLog::FileMissing;
        break;
    default:
        e.number = ErrLog::Other;
        break;
    }
    return e;
}

ResultLogEntry ResultLogMapping(int resultCode)
{
    if (resultCode == ResultCode::Success || resultCode == ResultCode::FileMissing)
        return {};
    return ResultErrLogMapping(resultCode);
}
