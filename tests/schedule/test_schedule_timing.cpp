#include "schedule/ScheduleTiming.h"

#include "schedule/ScheduleTestData.h"
#include "support/PseudoTranslator.h"

#include <gtest/gtest.h>

using namespace Schedule;

namespace
{

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

ScheduleRecord record(const ScheduleSettings &s)
{
    ScheduleRecord r;
    r.number = 1;
    r.valid = r.enabled = true;
    r.settings = s;
    return r;
}

ScheduleSettings mondayNine(int beginMode, int permitted = 0)
{
    ScheduleSettings s;
    s.OperatTiming = Timing::Weekly;
    s.EveryWeekCheck[1] = 1;
    s.EveryWeekTimeHour = 9;
    s.BeginMode = beginMode;
    s.BeginPermTime = permitted;
    return s;
}

ScheduleSettings monthly(int day)
{
    ScheduleSettings s;
    s.OperatTiming = Timing::Monthly;
    s.EveryMonthDateDay = day;
    s.EveryMonthDateHour = 2;
    s.EveryMonthDateSecond = 30;
    return s;
}

} // namespace

TEST(ScheduleTiming, NextStartOverTheCalendar)
{
    const ScheduleSettings appointed = appointedAt(at(2024, 3, 9, 23, 59));
    ScheduleSettings none = mondayNine(0);
    none.EveryWeekCheck = {};
    ScheduleSettings chained;
    chained.OperatTiming = Timing::AfterOther;

    struct Case {
        const char *what;
        ScheduleSettings s;
        QDate from;
        std::optional<QDateTime> expected;
    } cases[] = {
        {"appointed, whatever the day", appointed, {2030, 1, 1}, at(2024, 3, 9, 23, 59)},
        // 2024-01-15 is a Monday.
        {"weekly from Monday counts Monday", mondayNine(0), {2024, 1, 15}, at(2024, 1, 15, 9, 0)},
        {"weekly from Sunday, across a year", mondayNine(0), {2023, 12, 31}, at(2024, 1, 1, 9, 0)},
        {"weekly without a day: unchanged", none, {2024, 1, 15}, std::nullopt},
        // Month ends are the next test's; here the plain case and day 0.
        {"monthly 15 from the 20th", monthly(15), {2024, 1, 20}, at(2024, 2, 15, 2, 30)},
        {"monthly on day 0: none", monthly(0), {2024, 2, 1}, std::nullopt},
        {"after another: no time", chained, {2024, 1, 15}, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ScheduleTiming::nextStart(c.s, c.from), c.expected) << c.what;

    EXPECT_EQ(ScheduleTiming::monthLength(2100, 2), 29) << "every fourth year, as always";
    EXPECT_EQ(ScheduleTiming::monthLength(2023, 11), 30);
    // The result file keeps the Japanese text in another interface language.
    PseudoTranslator english;
    EXPECT_EQ(ScheduleTiming::timingText(record(monthly(7))), QStringLiteral("毎月-07日 02:30"));
    EXPECT_EQ(ScheduleTiming::timingText(record(monthly(7)), TextFor::Window),
              QStringLiteral("[毎月-07日 ]02:30"));
}

// Each month is measured on its own: the oracle walks the days to the first
// that is the wanted day, or the last day of a month shorter than that.
TEST(ScheduleTiming, MonthlyDays28To31FromEveryDayOfALeapAndACommonYear)
{
    for (int year : {2024, 2025}) {
        for (QDate from(year, 1, 1); from.year() == year; from = from.addDays(1)) {
            for (int wanted = 28; wanted <= 31; ++wanted) {
                QDate day = from;
                while (day.day() != std::min(wanted, day.daysInMonth()))
                    day = day.addDays(1);
                ASSERT_EQ(ScheduleTiming::nextStart(monthly(wanted), from),
                          QDateTime(day, QTime(2, 30)))
                    << "day " << wanted << " from " << from.toString(Qt::ISODate).toStdString();
            }
        }
    }
}

TEST(ScheduleTiming, DueTestForTimedSchedules)
{
    const std::array<ScheduleRunState, Count> runs{};
    const ScheduleRunState fresh;
    ScheduleRunState ranOnce;
    ranOnce.end = at(2024, 1, 15, 10, 0);
    ranOnce.endState = 1;

    struct Case {
        const char *what;
        ScheduleSettings s;
        QDateTime now;
        const ScheduleRunState &own;
        bool due;
    } cases[] = {
        // A weekly Monday 09:00 schedule, window opened Monday 10:00.
        {"BeginMode 0, an hour late", mondayNine(0), at(2024, 1, 15, 10, 0), fresh, true},
        {"BeginMode 1/30, an hour late", mondayNine(1, 30), at(2024, 1, 15, 10, 0), fresh, false},
        {"BeginMode 1/30, 30 min late", mondayNine(1, 30), at(2024, 1, 15, 9, 30), fresh, true},
        {"BeginMode 1/30, 30:01 late", mondayNine(1, 30), at(2024, 1, 15, 9, 30, 1), fresh, false},
        {"a second early", mondayNine(0), at(2024, 1, 15, 8, 59, 59), fresh, false},
        {"BeginMode 2, on time to the second", mondayNine(2), at(2024, 1, 15, 9, 0), fresh, true},
        {"BeginMode 2, a second late", mondayNine(2), at(2024, 1, 15, 9, 0, 1), fresh, false},
        {"weekly runs again after a run", mondayNine(0), at(2024, 1, 15, 10, 0), ranOnce, true},
        {"monthly on its minute", monthly(15), at(2024, 1, 15, 2, 30), fresh, true},
    };
    for (const Case &c : cases) {
        ScheduleRecord r = record(c.s);
        r.nextStart = *ScheduleTiming::nextStart(c.s, c.now.date());
        EXPECT_EQ(ScheduleTiming::isDue(r, c.own, runs, c.now), c.due) << c.what;
    }

    ScheduleRecord r = record(mondayNine(0));
    r.nextStart = at(2024, 1, 15, 9, 0);
    r.enabled = false;
    EXPECT_FALSE(ScheduleTiming::isDue(r, fresh, runs, at(2024, 1, 15, 10, 0))) << "disabled";
}

TEST(ScheduleTiming, ChainedScheduleWaitsForTheMinutesPartAndTheOthersOutcome)
{
    ScheduleSettings s;
    s.OperatTiming = Timing::AfterOther;
    s.OtherSchedule = 1;
    s.WaitTime = 5;
    ScheduleRecord r = record(s);
    r.number = 2;

    std::array<ScheduleRunState, Count> runs{};
    const QDateTime end = at(2024, 1, 15, 10, 0);
    runs[0].end = end;

    struct Case {
        const char *what;
        int afterOtherMode;
        int otherEndState;
        int minutesLater;
        bool due;
    } cases[] = {
        {"mode 0, 4 min", 0, 1, 4, false},
        {"mode 0, 5 min", 0, 1, 5, true},
        {"mode 1, 65 min: part is 5", 1, 2, 65, true},
        {"mode 1, 64 min: part is 4", 1, 1, 64, false},
        {"mode 2 after a failed terminal", 2, 2, 5, false},
    };
    for (const Case &c : cases) {
        r.settings.AfterOtherMode = c.afterOtherMode;
        runs[0].endState = c.otherEndState;
        EXPECT_EQ(ScheduleTiming::isDue(r, runs[1], runs, end.addSecs(c.minutesLater * 60)), c.due)
            << c.what;
    }
}
