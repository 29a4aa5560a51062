#pragma once
// Settings the schedule tests start from, and the world most of them share.

#include "common/ProcessValues.h"
#include "schedule/ScheduleFiles.h"
#include "schedule/ScheduleRunner.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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

struct KnownTerminals : ITerminalLookup {
    std::optional<ScheduleTarget> findByTermId(const QString &id) override
    {
        if (id == "2002")
            return ScheduleTarget{"2002", "127.000.090.004", "02:00:7f:00:5a:04", "KT-200"};
        if (id == "3001")
            return ScheduleTarget{"3001", "127.000.091.002", "02:00:7f:00:5b:02", "KT-100"};
        return std::nullopt;
    }
};

class ScheduleWorld : public ::testing::Test
{
protected:
    ScheduleWorld()
    {
        ProcessValues::setProgramFolder(dir.path());
        dir.mkdir("Log");
        book.init(dir.path());
    }
    // Writes schedule n with its targets, enabled unless told.
    void save(int n, const ScheduleSettings &s, const QList<ScheduleTarget> &targets = {},
              bool enabled = true)
    {
        ASSERT_TRUE(ScheduleFiles::writeSettings(book.at(n).settingsPath, s, targets));
        ASSERT_TRUE(ScheduleFiles::writeEnabled(book.at(n).settingsPath, enabled));
    }
    TempDir dir;
    ScheduleBook book;
    KnownTerminals reg;
    ScriptedPrompter prompter;
};
