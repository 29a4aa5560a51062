#pragma once
// The ten schedule records, numbered 1..10, each bound to its files below the
// program folder. Start-up sets them up once; the dialogs and the execution
// window read and write them through the schedule files.

#include "schedule/ScheduleTypes.h"

#include <array>

class ScheduleBook
{
public:
    // Numbers 1..10 and the file paths below the folder (ending in '/').
    void init(const QString &programFolder);
    bool initialised() const { return !m_folder.isEmpty(); }
    const QString &folder() const { return m_folder; }

    ScheduleRecord &at(int number) { return m_records[std::size_t(number - 1)]; }
    const ScheduleRecord &at(int number) const { return m_records[std::size_t(number - 1)]; }

    // Reads SchEnabled, the settings, the targets and the result of one
    // schedule; what a file lacks leaves the record "not set" / "never run".
    void load(int number);
    void loadAll();
    // Forgets everything of one schedule but its number and paths.
    void clear(int number);

    QString mngPath() const;

private:
    QString m_folder;
    std::array<ScheduleRecord, 10> m_records;
};

// The program's ten schedules (set up by start-up).
ScheduleBook &scheduleBook();
