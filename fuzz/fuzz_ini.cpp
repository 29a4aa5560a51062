// INI documents as the program reads and updates its configuration files:
// any bytes as a file, every section and key read back, the integer rule,
// cut reads, and writes that must change only what they name.
//
// Input: the document. Its own names and values drive the reads and the
// writes, so the seeds' sections and keys are exercised as they stand.
#include "FuzzSupport.h"

#include "common/Cp932.h"
#include "common/IniFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <cctype>

#include <optional>

namespace
{

struct Entry {
    QString section, key;
    std::optional<QString> value;
};

// Every (section, key) that the document answers for, with its value.
QList<Entry> snapshot(const IniFile &ini)
{
    QList<Entry> out;
    for (const QString &s : ini.sectionNames())
        for (const QString &k : ini.keys(s))
            out.append({s, k, ini.value(s, k)});
    return out;
}

bool plainAscii(const QString &v)
{
    if (v.isEmpty() || v.front() == QLatin1Char(' ') || v.back() == QLatin1Char(' ') ||
        v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
        return false;
    for (QChar c : v)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

std::optional<std::int32_t> hexOracle(const QString &v)
{
    if (v.size() < 2 || !(v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ||
                          v.startsWith(QLatin1String("&h"), Qt::CaseInsensitive)))
        return std::nullopt;
    const QString digits = v.mid(2, 8);
    qsizetype n = 0;
    while (n < digits.size() && std::isxdigit(digits[n].unicode() < 128 ? digits[n].unicode() : 0))
        ++n;
    return n == 0 ? 0 : std::int32_t(digits.left(n).toUInt(nullptr, 16));
}

// "-?[0-9]{1,9}": a number the decimal reading must give exactly.
bool decimalText(const QString &v)
{
    const qsizetype sign = v.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype digits = v.size() - sign;
    if (digits < 1 || digits > 9)
        return false;
    for (qsizetype i = sign; i < v.size(); ++i)
        if (v[i] < QLatin1Char('0') || v[i] > QLatin1Char('9'))
            return false;
    return true;
}

// In memory where the system offers it: a save syncs the file to disk.
QTemporaryDir &tempDir()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kel-fuzz-ini-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kel-fuzz-ini-XXXXXX"));
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile ini = IniFile::fromBytes(bytes);
    const QList<Entry> before = snapshot(ini);
    const auto detail = [&] { return QString::fromLatin1(bytes.left(120).toHex()); };

    // What is written out reads back as the same lines. The answers depend
    // on the lines alone, so they are the same too.
    const QByteArray out = ini.toBytes();
    FUZZ_CHECK(IniFile::fromBytes(out).toBytes() == out, detail());
    const bool hadEvil = ini.hasSection(QStringLiteral("Evil"));

    // Every look-up walks the document: a sample of the entries keeps a run
    // short, and the fuzzer moves the sample around.
    QList<Entry> sample = before.mid(0, 24);
    int cut = 1;
    for (const Entry &e : sample) {
        FUZZ_CHECK(e.value.has_value(), detail());
        const QString &v = *e.value;
        FUZZ_CHECK(ini.readString(e.section, e.key) == v, detail());
        // A cut read fits the buffer and never splits a character.
        cut = cut % 40 + 1;
        const QString part = ini.readString(e.section, e.key, {}, cut);
        FUZZ_CHECK(v.startsWith(part) && Cp932::byteLength(part) <= cut - 1, detail());
        const std::int32_t number = ini.readNumber(e.section, e.key, -7);
        if (const auto hex = hexOracle(v))
            FUZZ_CHECK(number == *hex, detail());
        else if (v.isEmpty())
            FUZZ_CHECK(number == -7, detail());
        if (decimalText(v))
            FUZZ_CHECK(ini.readInt(e.section, e.key, -7) == v.toInt(), detail());
        // No section name read from a file holds a ']'.
        FUZZ_CHECK(!ini.hasKey(e.section + QLatin1String("]"), e.key), detail());
    }

    // Writes: the first value moves into every key in turn, a new key and a
    // new section are added; nothing else may change.
    const QString written = before.isEmpty() ? QStringLiteral("x = 'y'") : *before.first().value;
    QList<Entry> expect = sample;
    for (qsizetype i = 0; i < expect.size(); i += 3) {
        ini.writeString(expect[i].section, expect[i].key, written);
        expect[i].value = ini.value(expect[i].section, expect[i].key);
        if (plainAscii(written))
            FUZZ_CHECK(expect[i].value == written, detail());
    }
    const QString section = before.isEmpty() ? QStringLiteral("New") : before.last().section;
    ini.writeString(section, QStringLiteral("FuzzAdded"), QStringLiteral("1\r\n[Evil]"));
    ini.writeString(QStringLiteral("FuzzNew"), QStringLiteral("Key"), written);
    FUZZ_CHECK(ini.readNumber(section, QStringLiteral("FuzzAdded"), -1) == 1, detail());
    // A line break in a value never starts a line of its own.
    FUZZ_CHECK(ini.hasSection(QStringLiteral("Evil")) == hadEvil, detail());
    for (const Entry &e : expect) {
        if (e.key.compare(QLatin1String("FuzzAdded"), Qt::CaseInsensitive) == 0 ||
            e.section.compare(QLatin1String("FuzzNew"), Qt::CaseInsensitive) == 0)
            continue;
        FUZZ_CHECK(ini.value(e.section, e.key) == e.value,
                   e.section + QLatin1Char('/') + e.key + QLatin1Char(' ') + detail());
    }

    // Through a file: saved, loaded, the same lines. What a save and a load
    // do hardly depends on the text, and their system calls cost as much as
    // the rest of a run: one input in eight takes this road.
    if (FuzzSampled(data, size, 8)) {
        IniFile file = ini;
        file.setPath(tempDir().path() + QLatin1String("/fuzz.ini"));
        FUZZ_CHECK(file.save(), file.errorString());
        IniFile loaded(file.path());
        FUZZ_CHECK(loaded.load(), loaded.errorString());
        FUZZ_CHECK(loaded.toBytes() == ini.toBytes(), detail());
    }
    return 0;
}
