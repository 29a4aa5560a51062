#include "schedule/ScheduleBook.h"

#include "schedule/ScheduleFiles.h"

void ScheduleBook::init(const QString &programFolder)
{
    m_folder = programFolder;
    if (!m_folder.isEmpty() && !m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
    for (int n = 1; n <= Schedule::Count; ++n) {
        ScheduleRecord &r = at(n);
        r = ScheduleRecord{};
        r.number = n;
        r.settingsPath = ScheduleFiles::settingsPath(m_folder, n);
        r.resultPath = ScheduleFiles::resultPath(m_folder, n);
    }
}

void ScheduleBook::clear(int number)
{
    ScheduleRecord &r = at(number);
    ScheduleRecord empty;
    empty.number = r.number;
    empty.settingsPath = r.settingsPath;
    empty.resultPath = r.resultPath;
    r = empty;
}

void ScheduleBook::load(int number)
{
    clear(number);
    ScheduleRecord &r = at(number);
    ScheduleFiles::readEnabled(r.settingsPath, r.enabled);
    r.valid = ScheduleFiles::readSettings(r.settingsPath, r.settings);
    r.targets = ScheduleFiles::readTargets(r.settingsPath);
    r.hasResult = ScheduleFiles::readResult(r.resultPath, r.result);
}

void ScheduleBook::loadAll()
{
    for (int n = 1; n <= Schedule::Count; ++n)
        load(n);
}

QString ScheduleBook::mngPath() const
{
    return ScheduleFiles::mngPath(m_folder);
}

ScheduleBook &scheduleBook()
{
    static ScheduleBook book;
    return book;
}
