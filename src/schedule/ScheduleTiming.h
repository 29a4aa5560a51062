#pragma once
// When a schedule runs next and whether it is due now, plus the texts that
// show a schedule (timing, operation, state). Plain functions of their
// arguments: the caller passes "now", so a calendar can be walked in tests.

#include "common/UiLanguage.h"
#include "schedule/ScheduleTypes.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

// What one schedule's last run in the execution window left behind.
struct ScheduleRunState {
    static QDateTime never(); // 1900-01-01 00:00:00
    QDateTime end = never();
    int endState = 0; // 0 not run in this window, 1 ended without failure, 2 with failure
};

namespace ScheduleTiming
{

// Days of a month: February 29 in years divisible by 4, else 28; April,
// June, September, November 30; the others 31.
int monthLength(int year, int month);

// The next start counted from the day `from` (today at opening, tomorrow
// after a run). nullopt: there is none (no weekday flag, a day of month
// below 1, or a schedule that runs after another).
std::optional<QDateTime> nextStart(const ScheduleSettings &s, const QDate &from);

// The due test of one schedule. `own` is its run state, `runs` all ten
// (index 0 = schedule 1) for the schedule it follows.
bool isDue(const ScheduleRecord &r, const ScheduleRunState &own,
           const std::array<ScheduleRunState, Schedule::Count> &runs, const QDateTime &now);

// The request kind of a ProcessKind: 0 -> 35, 1 -> 31, 2 -> 33, 3 -> 29;
// 0 for any other value (nothing runs).
int requestKindOf(int processKind);

// "%04d/%02d/%02d %02d:%02d", "毎週-日月 03:00", "毎月-%02d日 %02d:%02d",
// "スケジュール%d終了後", or "未設定" when the settings aren't valid
// (Japanese for the result file, translated for windows).
QString timingText(const ScheduleRecord &r, TextFor use = TextFor::File);
// The texts below are for windows, in the interface's language.
// The operation, with "（終了後に端末再起動）" when a restart follows.
QString operationText(const ScheduleSettings &s);
// "%s 実施済み" or "未実施".
QString stateText(const ScheduleRecord &r);
// "成功：%d台 エラー：%d台 キャンセル：%d台" (zeros when never run).
QString countsText(const ScheduleRecord &r);
// "%04d/%02d/%02d %02d:%02d"
QString minuteText(const QDateTime &t);

} // namespace ScheduleTiming
