#include "schedule/ScheduleForm.h"

#include "common/Cp932.h"

#include <QCoreApplication>
#include <QDate>

#include <optional>

using namespace Schedule;

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(ScheduleForm)
};

bool digitsOnly(const QString &t)
{
    if (t.isEmpty())
        return false;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// The value of a number field: digits give their number, anything else 0
// (only stored for the timings not chosen).
std::int32_t valueOf(const QString &t)
{
    return digitsOnly(t) ? t.left(9).toInt() : 0;
}

QString shown(std::int32_t v, bool valid)
{
    return valid ? QString::number(v) : QString();
}

bool inRange(const QString &t, int low, int high)
{
    if (!digitsOnly(t))
        return false;
    const std::int32_t v = valueOf(t);
    return t.size() <= 9 && v >= low && v <= high;
}

} // namespace

ScheduleForm ScheduleForm::from(const ScheduleSettings &s, bool valid)
{
    ScheduleForm f;
    f.timing = valid ? s.OperatTiming : Timing::Appointed;
    f.year = shown(s.AppointDateYear, valid);
    f.month = shown(s.AppointDateMonth, valid);
    f.day = shown(s.AppointDateDay, valid);
    f.hour = shown(s.AppointDateHour, valid);
    f.minute = shown(s.AppointDateSecond, valid);
    for (std::size_t i = 0; i < 7; ++i)
        f.weekdays[i] = s.EveryWeekCheck[i] != 0;
    f.weekHour = shown(s.EveryWeekTimeHour, valid);
    f.weekMinute = shown(s.EveryWeekTimeSecond, valid);
    f.monthDay = shown(s.EveryMonthDateDay, valid);
    f.monthHour = shown(s.EveryMonthDateHour, valid);
    f.monthMinute = shown(s.EveryMonthDateSecond, valid);
    f.otherSchedule = s.OtherSchedule;
    f.afterOtherMode = s.AfterOtherMode;
    f.waitTime = shown(s.WaitTime, valid);
    f.beginMode = s.BeginMode;
    f.beginPermTime = shown(s.BeginPermTime, valid);
    f.processKind = s.ProcessKind;
    f.firmBoot = s.FirmBootWrite != 0;
    f.firmAppl = s.FirmApplWrite != 0;
    f.firmOther = s.FirmOtherWrite != 0;
    f.firmBootFile = s.FirmBootFileName;
    f.firmApplFile = s.FirmApplFileName;
    f.firmOtherFile = s.FirmOtherFileName;
    f.sysWrite = s.SysSetupFileWrite != 0;
    f.userWrite = s.UserSetupFileWrite != 0;
    f.dialWrite = s.DialSetupFileWrite != 0;
    f.otherWrite = s.OtherSetupFileWrite != 0;
    f.otherFile1 = s.OtherSetupFile1Name;
    f.otherFile2 = s.OtherSetupFile2Name;
    f.otherFile3 = s.OtherSetupFile3Name;
    f.sysRead = s.SysSetupFileRead != 0;
    f.userRead = s.UserSetupFileRead != 0;
    f.dialRead = s.DialSetupFileRead != 0;
    f.termReboot = s.TermReboot != 0;
    return f;
}

FormCheck checkForm(const ScheduleForm &f, int self, const ScheduleBook &book)
{
    FormCheck check;
    const auto fail = [&](int code) {
        check.code = code;
        return check;
    };

    // 1. The number fields of the chosen timing hold digits only.
    struct Field {
        int timing;
        const QString &text;
        int code;
    };
    const Field numberFields[] = {
        {Timing::Appointed, f.year, FormError::Year},
        {Timing::Appointed, f.month, FormError::Date},
        {Timing::Appointed, f.day, FormError::Day},
        {Timing::Appointed, f.hour, FormError::Hour},
        {Timing::Appointed, f.minute, FormError::Minute},
        {Timing::Weekly, f.weekHour, FormError::WeekHour},
        {Timing::Weekly, f.weekMinute, FormError::WeekMinute},
        {Timing::Monthly, f.monthDay, FormError::MonthDay},
        {Timing::Monthly, f.monthHour, FormError::MonthHour},
        {Timing::Monthly, f.monthMinute, FormError::MonthMinute},
    };
    for (const Field &field : numberFields)
        if (field.timing == f.timing && !digitsOnly(field.text))
            return fail(field.code);

    // 2. Only one schedule may follow a given schedule.
    if (f.timing == Timing::AfterOther) {
        for (int n = 1; n <= Count; ++n) {
            const ScheduleRecord &r = book.at(n);
            if (n != self && r.valid && r.settings.OperatTiming == Timing::AfterOther &&
                r.settings.OtherSchedule == f.otherSchedule)
                return fail(FormError::OtherTaken);
        }
        if (!digitsOnly(f.waitTime))
            return fail(FormError::WaitTime);
    }

    // 3. Ranges.
    switch (f.timing) {
    case Timing::Appointed:
        if (!inRange(f.year, 1900, 2099))
            return fail(FormError::Year);
        if (!inRange(f.month, 1, 12))
            return fail(FormError::Date);
        if (!inRange(f.day, 1, 31))
            return fail(FormError::Day);
        if (!QDate::isValid(valueOf(f.year), valueOf(f.month), valueOf(f.day)))
            return fail(FormError::Date);
        if (!inRange(f.hour, 0, 23))
            return fail(FormError::Hour);
        if (!inRange(f.minute, 0, 59))
            return fail(FormError::Minute);
        break;
    case Timing::Weekly:
        if (std::none_of(f.weekdays.begin(), f.weekdays.end(), [](bool b) { return b; }))
            return fail(FormError::Weekday);
        if (!inRange(f.weekHour, 0, 23))
            return fail(FormError::WeekHour);
        if (!inRange(f.weekMinute, 0, 59))
            return fail(FormError::WeekMinute);
        break;
    case Timing::Monthly:
        if (!inRange(f.monthDay, 1, 31))
            return fail(FormError::MonthDay);
        if (!inRange(f.monthHour, 0, 23))
            return fail(FormError::MonthHour);
        if (!inRange(f.monthMinute, 0, 59))
            return fail(FormError::MonthMinute);
        break;
    default:
        break;
    }
    if (f.timing != Timing::AfterOther && f.beginMode == Begin::WithinPermitted &&
        !inRange(f.beginPermTime, 1, 240))
        return fail(FormError::PermTime);
    if (f.timing == Timing::AfterOther && !inRange(f.waitTime, 1, 10))
        return fail(FormError::WaitTime);
    // Every file name is written to the schedule file, ticked or not.
    for (const QString *name : {&f.firmBootFile, &f.firmApplFile, &f.firmOtherFile, &f.otherFile1,
                                &f.otherFile2, &f.otherFile3}) {
        if (!isStorableFileName(*name)) {
            check.file = *name;
            return fail(FormError::FileName);
        }
    }

    ScheduleSettings &s = check.settings;
    s.OperatTiming = f.timing;
    s.AppointDateYear = valueOf(f.year);
    s.AppointDateMonth = valueOf(f.month);
    s.AppointDateDay = valueOf(f.day);
    s.AppointDateHour = valueOf(f.hour);
    s.AppointDateSecond = valueOf(f.minute);
    for (std::size_t i = 0; i < 7; ++i)
        s.EveryWeekCheck[i] = f.weekdays[i] ? 1 : 0;
    s.EveryWeekTimeHour = valueOf(f.weekHour);
    s.EveryWeekTimeSecond = valueOf(f.weekMinute);
    s.EveryMonthDateDay = valueOf(f.monthDay);
    s.EveryMonthDateHour = valueOf(f.monthHour);
    s.EveryMonthDateSecond = valueOf(f.monthMinute);
    s.BeginMode = f.beginMode;
    s.BeginPermTime = valueOf(f.beginPermTime);
    s.OtherSchedule = f.otherSchedule;
    s.AfterOtherMode = f.afterOtherMode;
    s.WaitTime = valueOf(f.waitTime);
    s.ProcessKind = f.processKind;
    s.FirmBootWrite = f.firmBoot;
    s.FirmApplWrite = f.firmAppl;
    s.FirmOtherWrite = f.firmOther;
    s.FirmBootFileName = f.firmBootFile;
    s.FirmApplFileName = f.firmApplFile;
    s.FirmOtherFileName = f.firmOtherFile;
    s.OtherSetupFileWrite = f.otherWrite;
    s.SysSetupFileWrite = f.sysWrite;
    s.UserSetupFileWrite = f.userWrite;
    s.DialSetupFileWrite = f.dialWrite;
    s.OtherSetupFile1Name = f.otherFile1;
    s.OtherSetupFile2Name = f.otherFile2;
    s.OtherSetupFile3Name = f.otherFile3;
    s.SysSetupFileRead = f.sysRead;
    s.UserSetupFileRead = f.userRead;
    s.DialSetupFileRead = f.dialRead;
    s.TermReboot = f.termReboot;
    return check;
}

bool isAllowedTermId(const QString &termId)
{
    static const QString allowed = QStringLiteral(
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%&'()*+-./:;<=>?@[\\]^_`{|}~");
    for (QChar c : termId)
        if (!allowed.contains(c))
            return false;
    return true;
}

QString formErrorCaption()
{
    return Tr::tr("入力エラー");
}

bool isStorableFileName(const QString &name)
{
    return Cp932::representable(name);
}

QString formErrorText(int code, const QString &file)
{
    switch (code) {
    case FormError::Year:
        return Tr::tr("年は西暦を半角数字４桁で1900～2099の範囲で入力してください。");
    case FormError::Date:
    case FormError::Day:
    case FormError::MonthDay:
        return Tr::tr("日付が不正です。\n正しい日付を入力してください。");
    case FormError::Hour:
    case FormError::Minute:
    case FormError::WeekHour:
    case FormError::WeekMinute:
    case FormError::MonthHour:
    case FormError::MonthMinute:
        return Tr::tr("時刻が不正です。\n正しい時刻を入力してください。");
    case FormError::Weekday:
        return Tr::tr("曜日が指定されていません。\n曜日は1つ以上指定してください。");
    case FormError::PermTime:
        return Tr::tr("許容時間は半角数字３桁以内で1～240の範囲で入力してください。");
    case FormError::WaitTime:
        return Tr::tr("ウェイト時間は半角数字2桁以内で1～10の範囲で入力してください。");
    case FormError::OtherTaken:
        return Tr::tr(
            "選択したスケジュールは、他のスケジュール設定にて直前に実行する\nスケジュールとして既に"
            "設定されています。\nスケジュールの設定内容を確認してください。");
    case FormError::UnknownTerminal:
        return Tr::tr("指定した端末は未登録です。\n登録済みの端末を指定してください。");
    case FormError::TermIdChars:
        return Tr::tr("追加する端末IDは半角英数記号のみで入力してください。");
    case FormError::FileName:
        return QCoreApplication::translate(
                   "ScheduleForm", "ファイル名「%1」には、\nスケジュール設定ファイルに保存できない"
                                   "文字が含まれています。\n別のファイルを指定してください。")
            .arg(file);
    default:
        return QString();
    }
}
