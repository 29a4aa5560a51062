// A terminal's settings file as the editor reads it: any bytes, merged into
// the sample KT-100 system description and written back in both file modes.
// What the writer writes must read back as the values the form held.
#include "FuzzSupport.h"

#include "editor/DescriptionLoader.h"
#include "editor/SettingsFile.h"

#include <QFile>

namespace
{

const SettingsDescription &sample()
{
    static const SettingsDescription d = [] {
        QFile f(QStringLiteral(KEL_SOURCE_DIR "/samples/Config/Sys/sysconfig_KT-100_1.xml"));
        SettingsDescription desc;
        if (!f.open(QIODevice::ReadOnly) || !LoadDescriptionBytes(f.readAll(), true, &desc))
            std::abort();
        return desc;
    }();
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto detail = [&] { return QString::fromLatin1(bytes.left(120).toHex()); };
    const SettingsFileImage image = ReadSettingsBytes(bytes);
    for (const SettingsKeyRecord &r : image.keys)
        FUZZ_CHECK(r.section >= 0 && r.section < image.sections.size() &&
                       !r.key.contains(QLatin1Char('=')),
                   detail());

    // One description serves both modes: copying it is the largest cost of a
    // run. The writer trims the values it writes in place; the second mode
    // sees those trimmed values, which trim to themselves.
    SettingsDescription d = sample();
    MergeSettings(image, d);
    for (const FileMode mode : {FileMode{true, false}, FileMode{true, true}}) {
        if (mode.commonFile)
            for (DescEntry &e : d.entries)
                e.included = e.present;
        const SettingsFileImage back = ReadSettingsBytes(FormatSettingsFile(d, mode));
        for (qsizetype i = 0; i < d.entries.size(); ++i) {
            if (!d.isWritten(int(i), mode))
                continue;
            const DescEntry &e = d.entries[i];
            const bool version = i == 0 && e.key == QLatin1String("Version");
            const SettingsKeyRecord *r = back.find(
                version ? QStringLiteral("Version") : d.sections[e.section].key, e.key);
            const bool fixed =
                e.inputType == InputType::NoControl || e.inputType == InputType::ReadOnly;
            FUZZ_CHECK(r && r->value == (fixed ? e.defaultValue.trimmed() : e.value),
                       e.key + QLatin1String(": ") + (r ? r->value : QStringLiteral("(none)")) +
                           QLatin1String(" / ") + e.value + QLatin1Char(' ') + detail());
        }
    }
    return 0;
}
