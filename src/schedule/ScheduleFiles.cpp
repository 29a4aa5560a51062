#include "schedule/ScheduleFiles.h"

#include "common/FileAttributes.h"
#include "common/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <functional>
#include <variant>

namespace
{

const QString SettingsSection = QStringLiteral("ScheduleSettings");
const QString ResultSection = QStringLiteral("ScheduleResult");
const QString MngSection = QStringLiteral("ScheduleMng");
const QString CountKey = QStringLiteral("TargetTermCount");
const QString EnabledKey = QStringLiteral("SchEnabled");
// Texts are read into a buffer of this size, terminator included.
constexpr int TextBuffer = 512;

enum class Kind { Number, Flag, Text };

struct Field {
    const char *key;
    Kind kind;
    std::variant<std::int32_t ScheduleSettings::*, QString ScheduleSettings::*, int> member;
};

// The settings keys in the order they are read and written; an int member
// stands for a weekday flag (0 = Sunday).
const std::vector<Field> &settingsFields()
{
    using S = ScheduleSettings;
    static const std::vector<Field> fields = {
        {"OperatTiming", Kind::Number, &S::OperatTiming},
        {"AppointDateYear", Kind::Number, &S::AppointDateYear},
        {"AppointDateMonth", Kind::Number, &S::AppointDateMonth},
        {"AppointDateDay", Kind::Number, &S::AppointDateDay},
        {"AppointDateHour", Kind::Number, &S::AppointDateHour},
        {"AppointDateSecond", Kind::Number, &S::AppointDateSecond},
        {"EverySundayCheck", Kind::Flag, 0},
        {"EveryMondayCheck", Kind::Flag, 1},
        {"EveryTuesdayCheck", Kind::Flag, 2},
        {"EveryWednesdayCheck", Kind::Flag, 3},
        {"EveryThursdayCheck", Kind::Flag, 4},
        {"EveryFridayCheck", Kind::Flag, 5},
        {"EverySaturdayCheck", Kind::Flag, 6},
        {"EveryWeekTimeHour", Kind::Number, &S::EveryWeekTimeHour},
        {"EveryWeekTimeSecond", Kind::Number, &S::EveryWeekTimeSecond},
        {"EveryMonthDateDay", Kind::Number, &S::EveryMonthDateDay},
        {"EveryMonthDateHour", Kind::Number, &S::EveryMonthDateHour},
        {"EveryMonthDateSecond", Kind::Number, &S::EveryMonthDateSecond},
        {"BeginMode", Kind::Number, &S::BeginMode},
        {"BeginPermTime", Kind::Number, &S::BeginPermTime},
        {"OtherSchedule", Kind::Number, &S::OtherSchedule},
        {"AfterOtherMode", Kind::Number, &S::AfterOtherMode},
        {"WaitTime", Kind::Number, &S::WaitTime},
        {"ProcessKind", Kind::Number, &S::ProcessKind},
        {"FirmBootWrite", Kind::Flag, &S::FirmBootWrite},
        {"FirmApplWrite", Kind::Flag, &S::FirmApplWrite},
        {"FirmOtherWrite", Kind::Flag, &S::FirmOtherWrite},
        {"FirmBootFileName", Kind::Text, &S::FirmBootFileName},
        {"FirmApplFileName", Kind::Text, &S::FirmApplFileName},
        {"FirmOtherFileName", Kind::Text, &S::FirmOtherFileName},
        {"OtherSetupFileWrite", Kind::Flag, &S::OtherSetupFileWrite},
        {"SysSetupFileWrite", Kind::Flag, &S::SysSetupFileWrite},
        {"UserSetupFileWrite", Kind::Flag, &S::UserSetupFileWrite},
        {"DialSetupFileWrite", Kind::Flag, &S::DialSetupFileWrite},
        {"OtherSetupFile1Name", Kind::Text, &S::OtherSetupFile1Name},
        {"OtherSetupFile2Name", Kind::Text, &S::OtherSetupFile2Name},
        {"OtherSetupFile3Name", Kind::Text, &S::OtherSetupFile3Name},
        {"SysSetupFileRead", Kind::Flag, &S::SysSetupFileRead},
        {"UserSetupFileRead", Kind::Flag, &S::UserSetupFileRead},
        {"DialSetupFileRead", Kind::Flag, &S::DialSetupFileRead},
        {"TermReboot", Kind::Flag, &S::TermReboot},
    };
    return fields;
}

std::int32_t *numberOf(ScheduleSettings &s, const Field &f)
{
    if (const auto *weekday = std::get_if<int>(&f.member))
        return &s.EveryWeekCheck[std::size_t(*weekday)];
    if (const auto *m = std::get_if<std::int32_t ScheduleSettings::*>(&f.member))
        return &(s.*(*m));
    return nullptr;
}

QString *textOf(ScheduleSettings &s, const Field &f)
{
    if (const auto *m = std::get_if<QString ScheduleSettings::*>(&f.member))
        return &(s.*(*m));
    return nullptr;
}

// A number key: decimal or "0x" hexadecimal; nullopt when missing or empty.
std::optional<std::int32_t> readNumber(const IniFile &ini, const QString &section,
                                       const QString &key)
{
    const auto v = ini.value(section, key);
    if (!v || v->isEmpty())
        return std::nullopt;
    return ini.readNumber(section, key, 0, false);
}

QString readText(const IniFile &ini, const QString &section, const QString &key)
{
    return ini.readString(section, key, QString(), TextBuffer);
}

QString numbered(int i)
{
    return QStringLiteral("TargetTerm%1").arg(i);
}

// Removes the old numbered lines (as many as the old count).
void removeOldLines(IniFile &ini, const QString &section)
{
    const auto old = readNumber(ini, section, CountKey).value_or(0);
    for (int i = 1; i <= old; ++i)
        ini.removeKey(section, numbered(i));
}

template <class T, class Line>
void writeLines(IniFile &ini, const QString &section, const QList<T> &items, Line line)
{
    for (int i = 0; i < items.size(); ++i)
        ini.writeString(section, numbered(i + 1), line(items[i]));
}

QMutex &filesMutex()
{
    static QMutex m;
    return m;
}

// Opens the file (missing is fine), changes it and saves it whole. The
// settings file's protection is lifted for the write and set again after.
bool modify(const QString &path, bool protectedFile, const std::function<void(IniFile &)> &change)
{
    QMutexLocker lock(&filesMutex());
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool existed = QFileInfo::exists(path);
    if (protectedFile && existed)
        ClearFileAttributes(path, FileAttr::ReadOnly);
    IniFile ini(path);
    ini.load();
    change(ini);
    const bool saved = ini.save();
    if (protectedFile && QFileInfo::exists(path))
        AddFileAttributes(path, FileAttr::ReadOnly | FileAttr::Hidden);
    return saved;
}

IniFile loaded(const QString &path)
{
    QMutexLocker lock(&filesMutex());
    IniFile ini(path);
    ini.load();
    return ini;
}

} // namespace

namespace ScheduleFiles
{

QString settingsPath(const QString &folder, int number)
{
    return folder + QString::asprintf("Schedule/ScheduleSettings%02d.ini", number);
}

QString resultPath(const QString &folder, int number)
{
    return folder + QString::asprintf("Schedule/Result/ScheduleResult%02d.ini", number);
}

QString mngPath(const QString &folder)
{
    return folder + QStringLiteral("Schedule/ScheduleMng.ini");
}

QString targetLine(const ScheduleTarget &t)
{
    return QStringLiteral("%1,%2,%3,%4").arg(t.termId, t.ipAddress, t.macAddress, t.machineName);
}

ScheduleTarget parseTargetLine(const QString &line)
{
    ScheduleTarget t;
    QString *fields[] = {&t.termId, &t.ipAddress, &t.macAddress};
    qsizetype from = 0;
    for (QString *f : fields) {
        const qsizetype comma = line.indexOf(QLatin1Char(','), from);
        if (comma < 0) {
            *f = line.mid(from);
            return t;
        }
        *f = line.mid(from, comma - from);
        from = comma + 1;
    }
    t.machineName = line.mid(from);
    return t;
}

bool readSettings(const QString &path, ScheduleSettings &settings)
{
    const IniFile ini = loaded(path);
    ScheduleSettings s;
    for (const Field &f : settingsFields()) {
        const QString key = QString::fromLatin1(f.key);
        if (f.kind == Kind::Text) {
            *textOf(s, f) = readText(ini, SettingsSection, key);
            continue;
        }
        const auto v = readNumber(ini, SettingsSection, key);
        if (!v)
            return false;
        *numberOf(s, f) = f.kind == Kind::Flag ? (*v != 0 ? 1 : 0) : *v;
    }
    settings = s;
    return true;
}

QList<ScheduleTarget> readTargets(const QString &path)
{
    const IniFile ini = loaded(path);
    QList<ScheduleTarget> targets;
    const int count = readNumber(ini, SettingsSection, CountKey).value_or(0);
    for (int i = 1; i <= count; ++i)
        targets.append(parseTargetLine(readText(ini, SettingsSection, numbered(i))));
    return targets;
}

bool readEnabled(const QString &path, bool &enabled)
{
    const auto v = readNumber(loaded(path), SettingsSection, EnabledKey);
    if (!v)
        return false;
    enabled = *v != 0;
    return true;
}

bool writeSettings(const QString &path, const ScheduleSettings &settings,
                   const QList<ScheduleTarget> &targets)
{
    ScheduleSettings s = settings;
    return modify(path, true, [&](IniFile &ini) {
        for (const Field &f : settingsFields()) {
            const QString key = QString::fromLatin1(f.key);
            if (f.kind == Kind::Text)
                ini.writeString(SettingsSection, key, *textOf(s, f));
            else
                ini.writeInt(SettingsSection, key, *numberOf(s, f));
        }
        removeOldLines(ini, SettingsSection);
        ini.writeInt(SettingsSection, CountKey, targets.size());
        writeLines(ini, SettingsSection, targets, targetLine);
    });
}

bool writeTargets(const QString &path, const QList<ScheduleTarget> &targets)
{
    return modify(path, true, [&](IniFile &ini) {
        removeOldLines(ini, SettingsSection);
        ini.writeInt(SettingsSection, CountKey, targets.size());
        writeLines(ini, SettingsSection, targets, targetLine);
    });
}

bool writeEnabled(const QString &path, bool enabled)
{
    return modify(path, true,
                  [&](IniFile &ini) { ini.writeInt(SettingsSection, EnabledKey, enabled ? 1 : 0); });
}

bool readResult(const QString &path, ScheduleResult &result)
{
    const IniFile ini = loaded(path);
    ScheduleResult r;
    const std::pair<const char *, std::int32_t *> numbers[] = {
        {"ProcessKind", &r.ProcessKind},
        {"SuccessTermNum", &r.SuccessTermNum},
        {"ErrorTermNum", &r.ErrorTermNum},
        {"CancelTermCount", &r.CancelTermCount},
    };
    for (const auto &[key, value] : numbers) {
        const auto v = readNumber(ini, ResultSection, QString::fromLatin1(key));
        if (!v)
            return false;
        *value = *v;
    }
    r.ScheduleDate = readText(ini, ResultSection, QStringLiteral("ScheduleDate"));
    r.BeginDate = readText(ini, ResultSection, QStringLiteral("BeginDate"));
    const auto status = readNumber(ini, ResultSection, QStringLiteral("Status"));
    if (!status)
        return false;
    r.Status = *status;
    const int count = readNumber(ini, ResultSection, CountKey).value_or(0);
    for (int i = 1; i <= count; ++i) {
        const QString line = readText(ini, ResultSection, numbered(i));
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        ScheduleResultTerm t;
        t.outcome = ParseProfileDecimal(line.left(comma < 0 ? line.size() : comma));
        t.terminal = parseTargetLine(comma < 0 ? QString() : line.mid(comma + 1));
        r.terminals.append(t);
    }
    result = r;
    return true;
}

bool writeResult(const QString &path, const ScheduleResult &r)
{
    return modify(path, false, [&](IniFile &ini) {
        removeOldLines(ini, ResultSection);
        ini.writeInt(ResultSection, QStringLiteral("ProcessKind"), r.ProcessKind);
        ini.writeInt(ResultSection, CountKey, r.terminals.size());
        ini.writeInt(ResultSection, QStringLiteral("SuccessTermNum"), r.SuccessTermNum);
        ini.writeInt(ResultSection, QStringLiteral("ErrorTermNum"), r.ErrorTermNum);
        ini.writeInt(ResultSection, QStringLiteral("CancelTermCount"), r.CancelTermCount);
        ini.writeString(ResultSection, QStringLiteral("ScheduleDate"), r.ScheduleDate);
        ini.writeString(ResultSection, QStringLiteral("BeginDate"), r.BeginDate);
        ini.writeInt(ResultSection, QStringLiteral("Status"), r.Status);
        writeLines(ini, ResultSection, r.terminals, [](const ScheduleResultTerm &t) {
            return QString::number(t.outcome) + QLatin1Char(',') + targetLine(t.terminal);
        });
    });
}

void deleteFiles(const QString &settingsFile, const QString &resultFile, Delete what)
{
    QMutexLocker lock(&filesMutex());
    if (what != Delete::Result && QFileInfo::exists(settingsFile)) {
        ClearFileAttributes(settingsFile, FileAttr::ReadOnly | FileAttr::Hidden);
        QFile::remove(settingsFile);
    }
    if (what != Delete::Settings && QFileInfo::exists(resultFile))
        QFile::remove(resultFile);
}

bool readCancelClose(const QString &path)
{
    const auto v = readNumber(loaded(path), MngSection, QStringLiteral("SchCancelClose"));
    if (!v) {
        writeCancelClose(path, true);
        return true;
    }
    return *v != 0;
}

bool writeCancelClose(const QString &path, bool close)
{
    return modify(path, false, [&](IniFile &ini) {
        ini.writeInt(MngSection, QStringLiteral("SchCancelClose"), close ? 1 : 0);
    });
}

} // namespace ScheduleFiles
