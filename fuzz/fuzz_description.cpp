// A settings description as the loader reads it: any bytes as the XML file,
// walked and checked in both modes (settings file and firmware
// registration). What it accepts must hang together: every index in range,
// and the file the writer makes of it readable.
#include "FuzzSupport.h"

#include "editor/DescriptionLoader.h"
#include "editor/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto detail = [&] { return QString::fromLatin1(bytes.left(200)); };
    for (const bool settingsFile : {true, false}) {
        SettingsDescription d;
        QString message;
        if (!LoadDescriptionBytes(bytes, settingsFile, &d, &message))
            continue;
        const qsizetype entries = d.entries.size();
        for (const DescEntry &e : d.entries) {
            FUZZ_CHECK(e.section >= 0 && e.section < d.sections.size(), detail());
            for (int child : e.children)
                FUZZ_CHECK(child >= 0 && child < entries, detail());
        }
        MergeSettings(SettingsFileImage(), d);
        const FileMode mode{settingsFile, false};
        const SettingsFileImage back = ReadSettingsBytes(FormatSettingsFile(d, mode));
        for (const SettingsKeyRecord &r : back.keys)
            FUZZ_CHECK(r.section >= 0 && r.section < back.sections.size(), detail());
    }
    return 0;
}
