#pragma once
// The detail dialog's fields as plain values, their checks on "設定" and the
// input error messages. The dialog copies its widgets into a ScheduleForm,
// asks checkForm() and shows the message of the code it answers.

#include "schedule/ScheduleBook.h"

#include <QString>

#include <array>

struct ScheduleForm {
    int timing = 0; // OperatTiming of the chosen radio button
    QString year, month, day, hour, minute;
    std::array<bool, 7> weekdays{}; // Sunday first
    QString weekHour, weekMinute;
    QString monthDay, monthHour, monthMinute;
    int otherSchedule = 1; // 1..10
    int afterOtherMode = 0;
    QString waitTime;
    int beginMode = 0;
    QString beginPermTime;
    int processKind = 0;
    bool firmBoot = false, firmAppl = false, firmOther = false;
    QString firmBootFile, firmApplFile, firmOtherFile;
    bool sysWrite = false, userWrite = false, dialWrite = false, otherWrite = false;
    QString otherFile1, otherFile2, otherFile3;
    bool sysRead = false, userRead = false, dialRead = false;
    bool termReboot = false;

    // The dialog's fields from stored settings (a schedule not set shows
    // empty number fields).
    static ScheduleForm from(const ScheduleSettings &s, bool valid);
};

// Input error codes of the detail dialog (the field they point at follows).
namespace FormError
{
constexpr int None = 0;
constexpr int Year = 1;
constexpr int Date = 2; // month, or not a calendar date
constexpr int Day = 3;
constexpr int Hour = 4;
constexpr int Minute = 5;
constexpr int Weekday = 6;
constexpr int WeekHour = 7;
constexpr int WeekMinute = 8;
constexpr int MonthDay = 9;
constexpr int MonthHour = 10;
constexpr int MonthMinute = 11;
constexpr int PermTime = 12;
constexpr int WaitTime = 13;
constexpr int OtherTaken = 14;
constexpr int FileName = 15; // a file name the schedule file can't hold (CP932)
constexpr int UnknownTerminal = 20;
constexpr int TermIdChars = 21;
} // namespace FormError

struct FormCheck {
    int code = FormError::None;
    QString file;              // the file name refused (FileName)
    ScheduleSettings settings; // what "設定" writes when code is None
};

// The checks of "設定" for schedule `self`, in the dialog's order. `book`
// tells which schedules already follow which.
FormCheck checkForm(const ScheduleForm &form, int self, const ScheduleBook &book);

// Whether a terminal ID to add holds only the characters allowed (code 21).
bool isAllowedTermId(const QString &termId);

// The message of an input error code (caption "入力エラー"); `file` is the
// file name a FileName refusal names.
QString formErrorText(int code, const QString &file = QString());
// Whether the schedule file, kept in CP932, can hold a file name.
bool isStorableFileName(const QString &name);
QString formErrorCaption();
