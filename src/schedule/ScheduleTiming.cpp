#include "schedule/ScheduleTiming.h"

#include "comm/ResultCodes.h"

#include <QTime>

using namespace Schedule;

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

QString timingText(const ScheduleRecord &r)
{
    if (!r.valid)
        return QStringLiteral("未設定");
    const ScheduleSettings &s = r.settings;
    switch (s.OperatTiming) {
    case Timing::Appointed:
        return QString::asprintf("%04d/%02d/%02d %02d:%02d", s.AppointDateYear,
                                 s.AppointDateMonth, s.AppointDateDay, s.AppointDateHour,
                                 s.AppointDateSecond);
    case Timing::Weekly: {
        static const char16_t names[] = u"日月火水木金土";
        QString days;
        for (std::size_t i = 0; i < 7; ++i)
            if (s.EveryWeekCheck[i] != 0)
                days += QChar(names[i]);
        return QStringLiteral("毎週-%1 ").arg(days) +
               QString::asprintf("%02d:%02d", s.EveryWeekTimeHour, s.EveryWeekTimeSecond);
    }
    case Timing::Monthly:
        return QStringLiteral("毎月-%1日 ")
                   .arg(s.EveryMonthDateDay, 2, 10, QLatin1Char('0')) +
               QString::asprintf("%02d:%02d", s.EveryMonthDateHour, s.EveryMonthDateSecond);
    case Timing::AfterOther:
        return QStringLiteral("スケジュール%1終了後").arg(s.OtherSchedule);
    default:
        return QString();
    }
}

QString operationText(const ScheduleSettings &s)
{
    static const char *const names[] = {"ファームウェア書き込み", "設定ファイル書き込み",
                                        "設定ファイル読み込み", "端末再起動"};
    if (s.ProcessKind < 0 || s.ProcessKind > 3)
        return QString();
    QString text = QString::fromUtf8(names[s.ProcessKind]);
    if (s.TermReboot == 1 && s.ProcessKind != Process::Restart)
        text += QStringLiteral("（終了後に端末再起動）");
    return text;
}

QString stateText(const ScheduleRecord &r)
{
    if (r.hasResult && r.result.Status != 0 && !r.result.BeginDate.isEmpty())
        return r.result.BeginDate + QStringLiteral(" 実施済み");
    return QStringLiteral("未実施");
}

QString countsText(const ScheduleRecord &r)
{
    const ScheduleResult none;
    const ScheduleResult &res = r.hasResult ? r.result : none;
    return QStringLiteral("成功：%1台 エラー：%2台 キャンセル：%3台")
        .arg(res.SuccessTermNum)
        .arg(res.ErrorTermNum)
        .arg(res.CancelTermCount);
}

} // namespace ScheduleTiming
