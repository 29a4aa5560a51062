#pragma once
// The ten schedules in memory: what each one does, when and on which
// terminals, the result of its last run, and the codes that travel between
// the schedule files, the runner and the dialogs.

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

namespace Schedule
{
constexpr int Count = 10;

// OperatTiming
namespace Timing
{
constexpr int Appointed = 0;
constexpr int Weekly = 1;
constexpr int Monthly = 2;
constexpr int AfterOther = 3;
} // namespace Timing

// ProcessKind
namespace Process
{
constexpr int FirmWrite = 0;
constexpr int SettingsWrite = 1;
constexpr int SettingsRead = 2;
constexpr int Restart = 3;
} // namespace Process

// BeginMode: what a start time that passed unnoticed does.
namespace Begin
{
constexpr int Always = 0;
constexpr int WithinPermitted = 1;
constexpr int Never = 2;
} // namespace Begin

// AfterOtherMode
namespace AfterOther
{
constexpr int SucceededOnly = 0;
constexpr int All = 1;
constexpr int NotAfterFailure = 2;
} // namespace AfterOther

// Outcome of one terminal in a result file.
namespace Outcome
{
constexpr int Success = 0;
constexpr int Error = 1;
constexpr int Cancelled = 3;
constexpr int NotExecuted = 4;
} // namespace Outcome
} // namespace Schedule

// One target terminal ("TargetTerm%d" of a settings file).
struct ScheduleTarget {
    QString termId;
    QString ipAddress; // may be empty: the runner asks the register
    QString macAddress;
    QString machineName;
    bool operator==(const ScheduleTarget &) const = default;
};

// One terminal of a result file.
struct ScheduleResultTerm {
    std::int32_t outcome = Schedule::Outcome::NotExecuted;
    ScheduleTarget terminal;
    bool operator==(const ScheduleResultTerm &) const = default;
};

// The keys of the settings file (every number as read, flags 0 or 1).
struct ScheduleSettings {
    std::int32_t OperatTiming = 0;
    std::int32_t AppointDateYear = 0;
    std::int32_t AppointDateMonth = 0;
    std::int32_t AppointDateDay = 0;
    std::int32_t AppointDateHour = 0;
    std::int32_t AppointDateSecond = 0; // the minute
    // Sunday first, as the weekday flags are listed in the file.
    std::array<std::int32_t, 7> EveryWeekCheck{};
    std::int32_t EveryWeekTimeHour = 0;
    std::int32_t EveryWeekTimeSecond = 0; // the minute
    std::int32_t EveryMonthDateDay = 0;
    std::int32_t EveryMonthDateHour = 0;
    std::int32_t EveryMonthDateSecond = 0; // the minute
    std::int32_t BeginMode = 0;
    std::int32_t BeginPermTime = 0;
    std::int32_t OtherSchedule = 0;
    std::int32_t AfterOtherMode = 0;
    std::int32_t WaitTime = 0;
    std::int32_t ProcessKind = 0;
    std::int32_t FirmBootWrite = 0;
    std::int32_t FirmApplWrite = 0;
    std::int32_t FirmOtherWrite = 0;
    QString FirmBootFileName;
    QString FirmApplFileName;
    QString FirmOtherFileName;
    std::int32_t OtherSetupFileWrite = 0;
    std::int32_t SysSetupFileWrite = 0;
    std::int32_t UserSetupFileWrite = 0;
    std::int32_t DialSetupFileWrite = 0;
    QString OtherSetupFile1Name;
    QString OtherSetupFile2Name;
    QString OtherSetupFile3Name;
    std::int32_t SysSetupFileRead = 0;
    std::int32_t UserSetupFileRead = 0;
    std::int32_t DialSetupFileRead = 0;
    std::int32_t TermReboot = 0;
    bool operator==(const ScheduleSettings &) const = default;
};

// The result file of the last run.
struct ScheduleResult {
    std::int32_t ProcessKind = 0;
    std::int32_t SuccessTermNum = 0;
    std::int32_t ErrorTermNum = 0;
    std::int32_t CancelTermCount = 0;
    QString ScheduleDate; // timing text when the run started
    QString BeginDate;    // "%04d/%02d/%02d %02d:%02d"
    std::int32_t Status = 0;
    QList<ScheduleResultTerm> terminals;
    bool operator==(const ScheduleResult &) const = default;
};

// One of the ten schedules.
struct ScheduleRecord {
    int number = 0;     // 1..10
    bool valid = false; // every integer key of the settings file was there
    bool enabled = false;
    ScheduleSettings settings;
    QList<ScheduleTarget> targets;
    bool hasResult = false; // a complete result file was read
    ScheduleResult result;
    QDateTime nextStart; // local, seconds 0; invalid: none
    QString settingsPath;
    QString resultPath;
};
