#include "termlist/FilterValidation.h"

#include "comm/ResultCodes.h"

#include <QCoreApplication>
#include <QTime>

#include <algorithm>

namespace ListFilter
{

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(FilterValidation)
};

// Refusals of the two-clause text dialogs, per kind.
struct TextMessages {
    QString charset1; // character set, first value
    QString charset2; // character set, second value
    QString empty;
    QString wildcard;
};

TextMessages textMessages(TextKind kind)
{
    const TextMessages termId{
        {},
        {},
        Tr::tr("端末IDに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定して"
               "ください。"),
        Tr::tr("端末ID指定に *(ワイルドカード)を使用する場合、条件は ＝(と同じ)か、≠(と違う)"
               "のどちらかを指定してください。"),
    };
    const TextMessages ipAddr{
        Tr::tr("IPアドレスは ．で区切った４つの0～255の数字で入力してください。\n任意の位置に"
               "ワイルドカード * が指定できます。"),
        Tr::tr("IPアドレスは . で区切った４つの0～255の数字で入力してください。\n任意の位置に"
               "ワイルドカード * が指定できます。"),
        Tr::tr("IPアドレスに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定"
               "してください。"),
        Tr::tr("IPアドレス指定に *(ワイルドカード)を使用する場合、条件は ＝(と同じ)か、≠(と違う"
               ")のどちらかを指定してください。"),
    };
    const QString macCharset =
        Tr::tr("MACアドレスは:で区切った６つの１６進数で入力してください（00～FF）。\n任意の位置"
               "にワイルドカード * が指定できます。");
    const TextMessages macAddr{
        macCharset,
        macCharset,
        Tr::tr("MACアドレスに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定"
               "してください。"),
        Tr::tr("MACアドレス指定に *(ワイルドカード)を使用する場合、条件は ＝(と同じ)か、≠(と違"
               "う)のどちらかを指定してください。"),
    };
    const TextMessages version{
        {},
        {},
        Tr::tr("バージョンに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定"
               "してください。"),
        {},
    };
    switch (kind) {
    case TextKind::TermId:
        return termId;
    case TextKind::IpAddr:
        return ipAddr;
    case TextKind::MacAddr:
        return macAddr;
    case TextKind::AppVer:
    case TextKind::BootVer:
        break;
    }
    return version;
}

constexpr int CodeEqual = 3;
constexpr int CodeNotEqual = 6;

bool equalOrNotEqual(int code)
{
    return code == CodeEqual || code == CodeNotEqual;
}

bool allDigits(const QString &s)
{
    for (QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

Check refuse(const QString &message, Focus focus)
{
    return {false, message, focus};
}

// Steps 2 to 5 of OK for one clause of a text dialog.
Check checkTextClause(TextKind kind, const QString &text, int code, bool second)
{
    const TextKindInfo &info = textKindInfo(kind);
    const TextMessages &msg = textMessages(kind);
    const Focus focus = second ? Focus::Value2 : Focus::Value1;
    if (!info.charset.isEmpty()) {
        for (QChar c : text) {
            if (!info.charset.contains(c))
                return refuse(second ? msg.charset2 : msg.charset1, focus);
        }
    }
    if (text.isEmpty() && !equalOrNotEqual(code))
        return refuse(msg.empty, focus);
    if (info.checkWildcard && text.contains(QLatin1Char('*')) && !equalOrNotEqual(code))
        return refuse(msg.wildcard, focus);
    return {};
}

// Year, month, day and the calendar check of one date clause.
Check checkDateClause(const DateClauseInput &in, bool second, QDate &date)
{
    const QString yearMsg = Tr::tr("年は西暦を半角数字４桁で1900以上の数値で入力してください。");
    const QString monthMsg = Tr::tr("月は半角数字２桁以内で１～１２の範囲で入力してください。");
    const QString dayMsg = Tr::tr("日は半角数字２桁以内で１～３１の範囲で入力してください。");
    const QString dateMsg = Tr::tr("日付が不正です。正しい日付を入力してください。");

    const Focus yearFocus = second ? Focus::Year2 : Focus::Year1;
    const Focus monthFocus = second ? Focus::Month2 : Focus::Month1;
    const Focus dayFocus = second ? Focus::Day2 : Focus::Day1;

    if (in.year.size() != 4 || !allDigits(in.year) || in.year.toInt() < 1900)
        return refuse(yearMsg, yearFocus);
    const int month = in.month.toInt();
    if (in.month.isEmpty() || in.month.size() > 2 || !allDigits(in.month) || month < 1 ||
        month > 12)
        return refuse(monthMsg, monthFocus);
    const int day = in.day.toInt();
    if (in.day.isEmpty() || in.day.size() > 2 || !allDigits(in.day) || day < 1 || day > 31)
        return refuse(dayMsg, dayFocus);
    const QDate d(in.year.toInt(), month, day);
    if (!d.isValid())
        return refuse(dateMsg, dayFocus);
    date = d;
    return {};
}

QString decimal(int n)
{
    return QString::number(n);
}

} // namespace

DialogKind dialogKindOf(int column)
{
    switch (column) {
    case ListColumn::TermID:
    case ListColumn::IPAddr:
    case ListColumn::MACAddr:
    case ListColumn::ApliVer:
    case ListColumn::BootVer:
        return DialogKind::Text;
    case ListColumn::EntryDate:
    case ListColumn::ResultDate:
        return DialogKind::Date;
    case ListColumn::Vendor:
    case ListColumn::MachineName:
        return DialogKind::OneValue;
    case ListColumn::Alert:
        return DialogKind::Alert;
    case ListColumn::Result:
        return DialogKind::Result;
    case ListColumn::EntryKind:
        return DialogKind::EntryKind;
    case ListColumn::SipEntry:
        return DialogKind::SipEntry;
    case ListColumn::LastNotice:
        return DialogKind::Silent;
    case ListColumn::FirmCheck:
        return DialogKind::FirmCheck;
    default:
        return DialogKind::None;
    }
}

QString dialogCaption(int column)
{
    switch (column) {
    case ListColumn::TermID:
        return Tr::tr("端末ＩＤフィルタ設定");
    case ListColumn::IPAddr:
        return Tr::tr("ＩＰアドレスフィルタ設定");
    case ListColumn::MACAddr:
        return Tr::tr("MACアドレスフィルタ設定");
    case ListColumn::ApliVer:
        return Tr::tr("ｱﾌﾟﾘｹｰｼｮﾝﾌﾟﾛｸﾞﾗﾑﾊﾞｰｼﾞｮﾝﾌｨﾙﾀ設定");
    case ListColumn::BootVer:
        return Tr::tr("ブートプログラムバージョンフィルタ設定");
    case ListColumn::EntryDate:
        return Tr::tr("管理ＰＣ登録日付フィルタ設定");
    case ListColumn::ResultDate:
        return Tr::tr("処理結果日付フィルタ設定");
    case ListColumn::Vendor:
        return Tr::tr("ベンダ情報フィルタ設定");
    case ListColumn::MachineName:
        return Tr::tr("機器名称フィルタ設定");
    case ListColumn::Alert:
        return Tr::tr("アラート情報フィルタ設定");
    case ListColumn::Result:
        return Tr::tr("処理結果フィルタ設定");
    case ListColumn::EntryKind:
        return Tr::tr("端末登録種別フィルタ設定");
    case ListColumn::SipEntry:
        return Tr::tr("ＳＩＰサーバ登録状態フィルタ設定");
    case ListColumn::LastNotice:
        return Tr::tr("最終通知フィルタ設定");
    case ListColumn::FirmCheck:
        return Tr::tr("ファーム確認フィルタ設定");
    default:
        return {};
    }
}

QStringList sixWayLabels()
{
    return {Tr::tr(" ＜ （大きい）"), Tr::tr(" ≦ （以上）"),  Tr::tr(" ＝ （と同じ）"),
            Tr::tr(" ≧ （以下）"),    Tr::tr(" ＞ （未満）"), Tr::tr(" ≠ （と違う）")};
}

QStringList twoWayLabels()
{
    return {Tr::tr(" ＝ （と同じ）"), Tr::tr(" ≠ （と違う）")};
}

QStringList alertStateLabels()
{
    return {Tr::tr(" アラートなし"), Tr::tr(" アラートあり"), Tr::tr(" ＩＰアドレス アラートあり"),
            Tr::tr(" 端末ＩＤ アラートあり")};
}

QStringList operationKindLabels()
{
    return {Tr::tr(" 端末情報取得"),
            Tr::tr(" ｼｽﾃﾑ設定ﾌｧｲﾙ読込"),
            Tr::tr(" ﾕｰｻﾞ設定ﾌｧｲﾙ読込"),
            Tr::tr(" 電話帳読込"),
            Tr::tr(" ｼｽﾃﾑ設定ﾌｧｲﾙ書込"),
            Tr::tr(" ﾕｰｻﾞ設定ﾌｧｲﾙ書込"),
            Tr::tr(" 電話帳書込"),
            Tr::tr(" ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ書込"),
            Tr::tr(" ｱﾌﾟﾘｹｰｼｮﾝ書込"),
            Tr::tr(" 端末再起動"),
            Tr::tr(" 保守強制終了"),
            Tr::tr(" 共通ﾌｧｲﾙ書込"),
            Tr::tr(" 端末情報取得中"),
            Tr::tr(" ﾘﾓｰﾄﾌｧｲﾙ書込"),
            Tr::tr(" ｽｹｼﾞｭｰﾙ実行(ﾌｧｰﾑｳｪｱ書込)"),
            Tr::tr(" ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ書込)"),
            Tr::tr(" ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ読込)"),
            Tr::tr(" ｽｹｼﾞｭｰﾙ実行(端末再起動)"),
            Tr::tr(" 初期設定実行"),
            Tr::tr(" 全処理対象")};
}

QStringList resultStateLabels()
{
    return {Tr::tr(" エラー無し"), Tr::tr(" エラーあり"),
            Tr::tr(" 処理なし")};
}

QStringList resultCodeLabels()
{
    QStringList labels{Tr::tr(" すべてのエラー")};
    for (int code = 1; code <= ResultCond::SharedCodes; ++code)
        labels << QLatin1Char(' ') + ResultListText(code, TextFor::Window);
    return labels;
}

QStringList firmCheckStateLabels()
{
    return {Tr::tr(" 確認なし"),
            Tr::tr(" 確認待ち"),
            Tr::tr(" 確認済み"),
            Tr::tr(" 版数不一致"),
            Tr::tr(" 応答なし")};
}

QList<RadioChoice> entryKindChoices()
{
    return {{Tr::tr("仮登録だけ表示"), 1}, {Tr::tr("運用中だけ表示"), 2}, {Tr::tr("両方表示"), 0}};
}

QList<RadioChoice> sipEntryChoices()
{
    return {{Tr::tr("未登録だけ表示"), 1},
            {Tr::tr("登録済(プライマリ)だけ表示"), 2},
            {Tr::tr("登録済(セカンダリ)だけ表示"), 3},
            {Tr::tr("登録済だけ表示"), 4},
            {Tr::tr("すべて表示"), 0}};
}

QList<RadioChoice> silentChoices()
{
    return {{Tr::tr("応答なし端末のみ"), SilentCond::SilentOnly},
            {Tr::tr("応答あり端末のみ"), SilentCond::HeardOnly},
            {Tr::tr("すべて表示"), 0}};
}

TextKindInfo textKindInfo(TextKind kind)
{
    switch (kind) {
    case TextKind::TermId:
        return {ListColumn::TermID, 64, {}, true, {}};
    case TextKind::IpAddr:
        return {ListColumn::IPAddr, 15, QStringLiteral("0123456789.*"), true, {}};
    case TextKind::MacAddr:
        return {ListColumn::MACAddr, 17, QStringLiteral("0123456789abcdefABCDEF:*"), true, {}};
    case TextKind::AppVer:
        return {ListColumn::ApliVer, 10, {}, false, Tr::tr("Ｖｅｒ．")};
    case TextKind::BootVer:
        break;
    }
    return {ListColumn::BootVer, 10, {}, false, Tr::tr("Ｖｅｒ．")};
}

bool textKindOfColumn(int column, TextKind &kind)
{
    switch (column) {
    case ListColumn::TermID:
        kind = TextKind::TermId;
        return true;
    case ListColumn::IPAddr:
        kind = TextKind::IpAddr;
        return true;
    case ListColumn::MACAddr:
        kind = TextKind::MacAddr;
        return true;
    case ListColumn::ApliVer:
        kind = TextKind::AppVer;
        return true;
    case ListColumn::BootVer:
        kind = TextKind::BootVer;
        return true;
    default:
        return false;
    }
}

QString inputErrorCaption()
{
    return Tr::tr("入力エラー");
}

// Codes outside a combo's items show no item rather than a wrong one.
static int comboIndexOf(int code, int items)
{
    return code >= 1 && code <= items ? code - 1 : -1;
}

TextFilterInput textInputOf(const TextFilter &f)
{
    TextFilterInput in;
    if (f.cnd1 == 0)
        return in;
    in.first = {f.value1, comboIndexOf(f.cnd1, 6)};
    if (f.join != 0 && f.cnd2 != 0) {
        in.join = f.join == 1 || f.join == 2 ? f.join : 0;
        in.second = {f.value2, comboIndexOf(f.cnd2, 6)};
    }
    return in;
}

DateFilterInput dateInputOf(const DateFilter &f)
{
    const auto clause = [](const QDateTime &dt, int code) {
        DateClauseInput c;
        c.comboIndex = comboIndexOf(code, 6);
        if (dt.isValid()) {
            const QDate d = dt.date();
            c.year = decimal(d.year());
            c.month = decimal(d.month());
            c.day = decimal(d.day());
        }
        return c;
    };
    DateFilterInput in;
    if (f.cnd1 == 0)
        return in;
    in.first = clause(f.date1, f.cnd1);
    if (f.join != 0 && f.cnd2 != 0) {
        in.join = f.join == 1 || f.join == 2 ? f.join : 0;
        in.second = clause(f.date2, f.cnd2);
    }
    return in;
}

// The register keeps addresses zero-padded ("127.000.000.005"): every part of
// one to three digits is padded alike, so "127.0.0.5" and "127.0.*" find what
// the list shows. Wildcard parts stay as typed.
QString storedAddressForm(const QString &typed)
{
    QStringList parts = typed.split(QLatin1Char('.'));
    for (QString &p : parts) {
        const bool digits = !p.isEmpty() && p.size() <= 3 &&
                            std::all_of(p.begin(), p.end(), [](QChar c) { return c.isDigit(); });
        if (digits)
            p = p.rightJustified(3, QLatin1Char('0'));
    }
    return parts.join(QLatin1Char('.'));
}

Check applyTextInput(TextKind kind, const TextFilterInput &in, TextFilter &result)
{
    if (in.first.comboIndex < 0) {
        release(result);
        return {};
    }
    const int code1 = in.first.comboIndex + 1;
    Check c = checkTextClause(kind, in.first.text, code1, false);
    if (!c.ok) {
        release(result);
        return c;
    }
    const auto value = [kind](const QString &typed) {
        return kind == TextKind::IpAddr ? storedAddressForm(typed) : typed;
    };
    if (in.join == 0 || in.second.comboIndex < 0) {
        result = {value(in.first.text), QString(), code1, 0, 0};
        return {};
    }
    const int code2 = in.second.comboIndex + 1;
    c = checkTextClause(kind, in.second.text, code2, true);
    if (!c.ok) {
        release(result);
        return c;
    }
    result = {value(in.first.text), value(in.second.text), code1, code2, in.join};
    return {};
}

Check applyDateInput(const DateFilterInput &in, DateFilter &result)
{
    if (in.first.comboIndex < 0) {
        release(result);
        return {};
    }
    QDate d1, d2;
    Check c = checkDateClause(in.first, false, d1);
    if (!c.ok) {
        release(result);
        return c;
    }
    const bool second = in.join != 0 && in.second.comboIndex >= 0;
    if (second) {
        c = checkDateClause(in.second, true, d2);
        if (!c.ok) {
            release(result);
            return c;
        }
    }
    result.date1 = QDateTime(d1, QTime(0, 0));
    result.cnd1 = in.first.comboIndex + 1;
    if (second) {
        result.date2 = QDateTime(d2, QTime(0, 0));
        result.cnd2 = in.second.comboIndex + 1;
        result.join = in.join;
    } else {
        // Only the first date counts; the second keeps whatever it held.
        result.cnd2 = 0;
        result.join = 0;
    }
    return {};
}

void applyOneValueInput(const QString &text, int comboIndex, OneValueFilter &result)
{
    if (comboIndex < 0)
        return;
    result.cnd = comboIndex + 1;
    result.value = text;
}

void applyCodePairInput(int infoIndex, int cndIndex, CodePairFilter &result, int codeIndex)
{
    if (infoIndex < 0 || cndIndex < 0)
        return;
    result.info = infoIndex + 1;
    result.cnd = cndIndex + 1;
    result.code = result.cnd == ResultCond::Error && codeIndex > 0 ? codeIndex : 0;
}

void release(TextFilter &f)
{
    f = TextFilter{};
}

void release(DateFilter &f)
{
    f.cnd1 = 0;
    f.cnd2 = 0;
    f.join = 0;
}

void release(OneValueFilter &f)
{
    f = OneValueFilter{};
}

void release(CodePairFilter &f)
{
    f = CodePairFilter{};
}

namespace
{

using TextMember = QString ListCondInfo::*;
using DateMember = QDateTime ListCondInfo::*;
using CodeMember = std::int32_t ListCondInfo::*;

struct TextFields {
    TextMember value1, value2;
    CodeMember cnd1, cnd2, join;
};

TextFields textFields(TextKind kind)
{
    using C = ListCondInfo;
    switch (kind) {
    case TextKind::TermId:
        return {&C::FInfoTermID1, &C::FInfoTermID2, &C::FCndTermID1, &C::FCndTermID2,
                &C::FJoinTermID};
    case TextKind::IpAddr:
        return {&C::FInfoIPAddr1, &C::FInfoIPAddr2, &C::FCndIPAddr1, &C::FCndIPAddr2,
                &C::FJoinIPAddr};
    case TextKind::MacAddr:
        return {&C::FInfoMACAddr1, &C::FInfoMACAddr2, &C::FCndMACAddr1, &C::FCndMACAddr2,
                &C::FJoinMACAddr};
    case TextKind::AppVer:
        return {&C::FInfoApVer1, &C::FInfoApVer2, &C::FCndApVer1, &C::FCndApVer2, &C::FJoinApVer};
    case TextKind::BootVer:
        break;
    }
    return {&C::FInfoBtVer1, &C::FInfoBtVer2, &C::FCndBtVer1, &C::FCndBtVer2, &C::FJoinBtVer};
}

struct DateFields {
    DateMember date1, date2;
    CodeMember cnd1, cnd2, join;
};

// Only the two date columns have date fields; anything else is a caller's
// mistake and yields nullptr members.
DateFields dateFields(int column)
{
    using C = ListCondInfo;
    if (column == ListColumn::EntryDate)
        return {&C::FInfoEntryDt1, &C::FInfoEntryDt2, &C::FCndEntryDt1, &C::FCndEntryDt2,
                &C::FJoinEntryDt};
    if (column == ListColumn::ResultDate)
        return {&C::FInfoResultDt1, &C::FInfoResultDt2, &C::FCndResultDt1, &C::FCndResultDt2,
                &C::FJoinResultDt};
    return {};
}

struct OneValueFields {
    TextMember value;
    CodeMember cnd;
};

OneValueFields oneValueFields(int column)
{
    using C = ListCondInfo;
    if (column == ListColumn::Vendor)
        return {&C::FInfoVendor, &C::FCndVendor};
    if (column == ListColumn::MachineName)
        return {&C::FInfoMachin, &C::FCndMachin};
    return {};
}

struct CodePairFields {
    CodeMember info, cnd;
};

CodePairFields codePairFields(int column)
{
    using C = ListCondInfo;
    if (column == ListColumn::Alert)
        return {&C::FInfoAlert, &C::FCndAlert};
    if (column == ListColumn::Result)
        return {&C::FInfoResult, &C::FCndResult};
    if (column == ListColumn::FirmCheck)
        return {&C::FInfoFirmCheck, &C::FCndFirmCheck};
    return {};
}

CodeMember radioField(int column)
{
    if (column == ListColumn::EntryKind)
        return &ListCondInfo::FCndTermEntry;
    if (column == ListColumn::SipEntry)
        return &ListCondInfo::FCndSipEntry;
    if (column == ListColumn::LastNotice)
        return &ListCondInfo::FCndSilent;
    return nullptr;
}

} // namespace

TextFilter textFilterOf(const ListCondInfo &cond, TextKind kind)
{
    const TextFields m = textFields(kind);
    return {cond.*m.value1, cond.*m.value2, cond.*m.cnd1, cond.*m.cnd2, cond.*m.join};
}

void storeTextFilter(ListCondInfo &cond, TextKind kind, const TextFilter &f)
{
    const TextFields m = textFields(kind);
    cond.*m.value1 = f.value1;
    cond.*m.value2 = f.value2;
    cond.*m.cnd1 = f.cnd1;
    cond.*m.cnd2 = f.cnd2;
    cond.*m.join = f.join;
}

DateFilter dateFilterOf(const ListCondInfo &cond, int column)
{
    const DateFields m = dateFields(column);
    if (!m.date1)
        return {};
    return {cond.*m.date1, cond.*m.date2, cond.*m.cnd1, cond.*m.cnd2, cond.*m.join};
}

void storeDateFilter(ListCondInfo &cond, int column, const DateFilter &f)
{
    const DateFields m = dateFields(column);
    if (!m.date1)
        return;
    cond.*m.date1 = f.date1;
    cond.*m.date2 = f.date2;
    cond.*m.cnd1 = f.cnd1;
    cond.*m.cnd2 = f.cnd2;
    cond.*m.join = f.join;
}

OneValueFilter oneValueFilterOf(const ListCondInfo &cond, int column)
{
    const OneValueFields m = oneValueFields(column);
    if (!m.value)
        return {};
    return {cond.*m.value, cond.*m.cnd};
}

void storeOneValueFilter(ListCondInfo &cond, int column, const OneValueFilter &f)
{
    const OneValueFields m = oneValueFields(column);
    if (!m.value)
        return;
    cond.*m.value = f.value;
    cond.*m.cnd = f.cnd;
}

CodePairFilter codePairFilterOf(const ListCondInfo &cond, int column)
{
    const CodePairFields m = codePairFields(column);
    if (!m.info)
        return {};
    return {cond.*m.info, cond.*m.cnd, column == ListColumn::Result ? cond.FInfoResultCode : 0};
}

void storeCodePairFilter(ListCondInfo &cond, int column, const CodePairFilter &f)
{
    const CodePairFields m = codePairFields(column);
    if (!m.info)
        return;
    cond.*m.info = f.info;
    cond.*m.cnd = f.cnd;
    if (column == ListColumn::Result)
        cond.FInfoResultCode = f.code;
}

int radioCodeOf(const ListCondInfo &cond, int column)
{
    const CodeMember m = radioField(column);
    return m ? cond.*m : 0;
}

void storeRadioCode(ListCondInfo &cond, int column, int code)
{
    if (const CodeMember m = radioField(column))
        cond.*m = code;
}

} // namespace ListFilter
