#include "schedule/ScheduleTiming.h"

#include "comm/ResultCodes.h"

#include <QCoreApplication>
#include <QTime>

using namespace Schedule;

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(ScheduleTiming)
};
} // namespace

QDateTime ScheduleRunState::never()
{
    return QDateTime(QDate(1900, 1, 1), QTime(0, 0));
}

namespace ScheduleTiming
{

int monthLength(int year, int month)
{
    switch (month) {
    case 2:
        return year % 4 == 0 ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

namespace
{
QDateTime at(const QDate &day, int hour, int minute)
{
    return QDateTime(day, QTime(hour, minute));
}
} // namespace

std::optional<QDateTime> nextStart(const ScheduleSettings &s, const QDate &from)
{
    switch (s.OperatTiming) {
    case Timing::Appointed:
        return at(QDate(s.AppointDateYear, s.AppointDateMonth, s.AppointDateDay),
                  s.AppointDateHour, s.AppointDateSecond);
    case Timing::Weekly:
        // The time of day is not compared: today counts even when its time
        // has passed (the lateness rule decides then).
        for (int i = 0; i < 7; ++i) {
            const QDate day = from.addDays(i);
            if (s.EveryWeekCheck[std::size_t(day.dayOfWeek() % 7)] != 0)
                return at(day, s.EveryWeekTimeHour, s.EveryWeekTimeSecond);
        }
        return std::nullopt;
    case Timing::Monthly: {
        // The wanted day of the first month, from the start day's on, that
        // reaches it; a shorter month runs on its last day. Each month is
        // measured on its own: day 30 from 31 January is 28 February.
        if (s.EveryMonthDateDay < 1)
            return std::nullopt;
        QDate month(from.year(), from.month(), 1);
        for (int i = 0; i < 2; ++i, month = month.addMonths(1)) {
            const QDate day(
                month.year(), month.month(),
                std::min(s.EveryMonthDateDay, monthLength(month.year(), month.month())));
            if (day >= from)
                return at(day, s.EveryMonthDateHour, s.EveryMonthDateSecond);
        }
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

bool isDue(const ScheduleRecord &r, const ScheduleRunState &own,
           const std::array<ScheduleRunState, Count> &runs, const QDateTime &now)
{
    if (!r.valid || !r.enabled)
        return false;
    const ScheduleSettings &s = r.settings;
    if (s.OperatTiming == Timing::AfterOther) {
        if (s.OtherSchedule < 1 || s.OtherSchedule > Count)
            return false;
        const ScheduleRunState &other = runs[std::size_t(s.OtherSchedule - 1)];
        // The other schedule must have ended since this one last ran.
        if (!(own.end < other.end))
            return false;
        // Only the minutes part of the elapsed time counts, as it always did.
        const qint64 elapsed = other.end.secsTo(now);
        if (elapsed < 0 || (elapsed / 60) % 60 < s.WaitTime)
            return false;
        return !(s.AfterOtherMode == AfterOther::NotAfterFailure && other.endState == 2);
    }
    if (s.OperatTiming == Timing::Appointed && own.endState != 0)
        return false;
    if (s.OperatTiming < Timing::Appointed || s.OperatTiming > Timing::Monthly ||
        !r.nextStart.isValid())
        return false;
    const qint64 late = r.nextStart.secsTo(now);
    if (late < 0)
        return false;
    if (late == 0)
        return true;
    switch (s.BeginMode) {
    case Begin::Always:
        return true;
    case Begin::WithinPermitted:
        return late <= qint64(s.BeginPermTime) * 60;
    default:
        return false;
    }
}

int requestKindOf(int processKind)
{
    switch (processKind) {
    case Process::FirmWrite:
        return RequestKind::ScheduleWriteFirm;
    case Process::SettingsWrite:
        return RequestKind::ScheduleWriteSettings;
    case Process::SettingsRead:
        return RequestKind::ScheduleReadSettings;
    case Process::Restart:
        return RequestKind::ScheduleRestart;
    default:
        return 0;
    }
}

QString minuteText(const QDateTime &t)
{
    const QDate d = t.date();
    const QTime h = t.time();
    return QString::asprintf("%04d/%02d/%02d %02d:%02d", d.year(), d.month(), d.day(), h.hour(),
                             h.minute());
}

QString timingText(const ScheduleRecord &r, TextFor use)
{
    // The Japanese text for the result file, its translation for windows.
    const auto text = [use](const char *source) {
        return use == TextFor::Window ? Tr::tr(source) : QString::fromUtf8(source);
    };
    if (!r.valid)
        return text(QT_TRANSLATE_NOOP("ScheduleTiming", "未設定"));
    const ScheduleSettings &s = r.settings;
    switch (s.OperatTiming) {
    case Timing::Appointed:
        return QString::asprintf("%04d/%02d/%02d %02d:%02d", s.AppointDateYear,
                                 s.AppointDateMonth, s.AppointDateDay, s.AppointDateHour,
                                 s.AppointDateSecond);
    case Timing::Weekly: {
        static const char *const names[] = {
            QT_TRANSLATE_NOOP("Weekday", "日"), QT_TRANSLATE_NOOP("Weekday", "月"),
            QT_TRANSLATE_NOOP("Weekday", "火"), QT_TRANSLATE_NOOP("Weekday", "水"),
            QT_TRANSLATE_NOOP("Weekday", "木"), QT_TRANSLATE_NOOP("Weekday", "金"),
            QT_TRANSLATE_NOOP("Weekday", "土")};
        QString days;
        for (std::size_t i = 0; i < 7; ++i) {
            if (s.EveryWeekCheck[i] == 0)
                continue;
            const QString name = use == TextFor::Window
                                     ? QCoreApplication::translate("Weekday", names[i])
                                     : QString::fromUtf8(names[i]);
            days = days.isEmpty() || use == TextFor::File
                       ? days + name
                       : Tr::tr("%1%2", "two weekday names in a row").arg(days, name);
        }
        return text(QT_TRANSLATE_NOOP("ScheduleTiming", "毎週-%1 ")).arg(days) +
               QString::asprintf("%02d:%02d", s.EveryWeekTimeHour, s.EveryWeekTimeSecond);
    }
    case Timing::Monthly:
        return text(QT_TRANSLATE_NOOP("ScheduleTiming", "毎月-%1日 "))
                   .arg(s.EveryMonthDateDay, 2, 10, QLatin1Char('0')) +
               QString::asprintf("%02d:%02d", s.EveryMonthDateHour, s.EveryMonthDateSecond);
    case Timing::AfterOther:
        return text(QT_TRANSLATE_NOOP("ScheduleTiming", "スケジュール%1終了後"))
            .arg(s.OtherSchedule);
    default:
        return QString();
    }
}

QString operationText(const ScheduleSettings &s)
{
    static const char *const names[] = {
        QT_TRANSLATE_NOOP("ScheduleTiming", "ファームウェア書き込み"),
        QT_TRANSLATE_NOOP("ScheduleTiming", "設定ファイル書き込み"),
        QT_TRANSLATE_NOOP("ScheduleTiming", "設定ファイル読み込み"),
        QT_TRANSLATE_NOOP("ScheduleTiming", "端末再起動")};
    if (s.ProcessKind < 0 || s.ProcessKind > 3)
        return QString();
    QString text = Tr::tr(names[s.ProcessKind]);
    if (s.TermReboot == 1 && s.ProcessKind != Process::Restart)
        text = Tr::tr("%1（終了後に端末再起動）").arg(text);
    return text;
}

QString stateText(const ScheduleRecord &r)
{
    if (r.hasResult && r.result.Status != 0 && !r.result.BeginDate.isEmpty())
        return Tr::tr("%1 実施済み").arg(r.result.BeginDate);
    return Tr::tr("未実施");
}

QString countsText(const ScheduleRecord &r)
{
    const ScheduleResult none;
    const ScheduleResult &res = r.hasResult ? r.result : none;
    return Tr::tr("成功：%1 エラー：%2 キャンセル：%3")
        .arg(Tr::tr("%n台", nullptr, res.SuccessTermNum), Tr::tr("%n台", nullptr, res.ErrorTermNum),
             Tr::tr("%n台", nullptr, res.CancelTermCount));
}

} // namespace ScheduleTiming
