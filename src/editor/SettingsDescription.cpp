#include "editor/SettingsDescription.h"

bool SettingsDescription::isVisible(const DescEntry &entry, FileMode mode)
{
    if (entry.dispFlg == 1)
        return false;
    if (!mode.settingsFile)
        return true;
    if (entry.kept)
        return true;
    return mode.commonFile && entry.commonFlg != 1;
}

bool SettingsDescription::isWritten(int index, FileMode mode) const
{
    const DescEntry &e = entries[index];
    if (!isVisible(e, mode))
        return false;
    if (!mode.settingsFile || !mode.commonFile)
        return true;
    const bool alwaysIncluded =
        e.inputType == InputType::NoControl || (index == 0 && e.key == QLatin1String("Version"));
    return e.included || alwaysIncluded;
}

QStringList SettingsDescription::groupParentPieces(const DescEntry &entry)
{
    if (entry.groupParent.isEmpty())
        return {};
    return entry.groupParent.split(QLatin1Char('|'));
}
