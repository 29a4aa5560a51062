#pragma once
// Settings the schedule tests start from.

#include "schedule/ScheduleTypes.h"

// A schedule appointed at the minute of `when`.
inline ScheduleSettings appointedAt(const QDateTime &when,
                                    int process = Schedule::Process::Restart)
{
    ScheduleSettings s;
    s.OperatTiming = Schedule::Timing::Appointed;
    s.AppointDateYear = when.date().year();
    s.AppointDateMonth = when.date().month();
    s.AppointDateDay = when.date().day();
    s.AppointDateHour = when.time().hour();
    s.AppointDateSecond = when.time().minute();
    s.ProcessKind = process;
    return s;
}

// Every month on `day` at hour:minute, restarting the terminals.
inline ScheduleSettings monthlyAt(int day, int hour, int minute)
{
    ScheduleSettings s;
    s.OperatTiming = Schedule::Timing::Monthly;
    s.EveryMonthDateDay = day;
    s.EveryMonthDateHour = hour;
    s.EveryMonthDateSecond = minute;
    s.ProcessKind = Schedule::Process::Restart;
    return s;
}
