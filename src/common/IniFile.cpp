#include "common/IniFile.h"

#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace
{

// The platform trims ASCII white space only; a full-width blank is text.
bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == u'\v' || u == u'\f';
}

QString trimBlanks(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QString trimTrailingBlanks(const QString &s)
{
    qsizetype e = s.size();
    while (e > 0 && isBlank(s[e - 1]))
        --e;
    return s.left(e);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Cuts a text to at most maxBytes CP932 bytes without splitting a character.
QString cutToBytes(const QString &text, int maxBytes)
{
    if (Cp932::byteLength(text) <= maxBytes)
        return text;
    QString out;
    int used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype n = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            n = 2;
        const QString ch = text.mid(i, n);
        const int len = int(Cp932::byteLength(ch));
        if (used + len > maxBytes)
            break;
        out += ch;
        used += len;
        i += n - 1;
    }
    return out;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

QMutex &iniMutex()
{
    static QMutex m;
    return m;
}

} // namespace

// ---------------------------------------------------------------------------
// Number rules

std::optional<std::int32_t> ParseProfileHex(const QString &text, bool ampersandHex)
{
    if (text.size() < 2)
        return std::nullopt;
    const QChar c0 = text[0];
    const QChar c1 = text[1].toLower();
    const bool zeroX = c0 == QLatin1Char('0') && c1 == QLatin1Char('x');
    const bool ampH = ampersandHex && c0 == QLatin1Char('&') && c1 == QLatin1Char('h');
    if (!zeroX && !ampH)
        return std::nullopt;
    std::uint32_t v = 0;
    for (qsizetype i = 2; i < text.size() && i < 10; ++i) {
        const int d = hexDigit(text[i]);
        if (d < 0)
            break;
        v = (v << 4) | std::uint32_t(d);
    }
    return static_cast<std::int32_t>(v);
}

std::int32_t ParseProfileDecimal(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    std::uint32_t v = 0; // wraps like the platform's 32-bit conversion
    for (; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9')
            break;
        v = v * 10u + std::uint32_t(u - u'0');
    }
    if (negative)
        v = 0u - v;
    return static_cast<std::int32_t>(v);
}

// ---------------------------------------------------------------------------
// Document

IniFile::IniFile(const QString &path) : m_path(path) {}

IniFile::Line IniFile::parseLine(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    const QString text = trimBlanks(Cp932::decode(raw));
    if (text.isEmpty())
        return line;
    if (text.front() == QLatin1Char('[')) {
        line.kind = Line::Section;
        qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            close = text.size();
        line.name = trimBlanks(text.mid(1, close - 1));
        return line;
    }
    if (text.front() == QLatin1Char(';'))
        return line; // comment
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return line; // no key name: the platform never finds such a line
    line.name = trimBlanks(text.left(eq));
    if (line.name.isEmpty())
        return line;
    line.kind = Line::Key;
    QString value = trimBlanks(text.mid(eq + 1));
    // The platform drops one pair of enclosing quotes.
    if (value.size() >= 2 &&
        ((value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"')) ||
         (value.front() == QLatin1Char('\'') && value.back() == QLatin1Char('\''))))
        value = value.mid(1, value.size() - 2);
    line.value = value;
    return line;
}

void IniFile::setBytes(const QByteArray &bytes)
{
    m_lines.clear();
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        const qsizetype end = nl < 0 ? bytes.size() : nl;
        QByteArray raw = bytes.mid(start, end - start);
        if (raw.endsWith('\r'))
            raw.chop(1);
        m_lines.append(parseLine(raw));
        start = end + 1;
    }
}

IniFile IniFile::fromBytes(const QByteArray &bytes)
{
    IniFile f;
    f.setBytes(bytes);
    return f;
}

QByteArray IniFile::toBytes() const
{
    QByteArray out;
    for (const Line &l : m_lines) {
        out += l.raw;
        out += "\r\n";
    }
    return out;
}

bool IniFile::load()
{
    m_error.clear();
    m_lines.clear();
    m_existed = false;
    QFile f(m_path);
    if (!f.exists()) {
        m_error = QStringLiteral("file not found: %1").arg(m_path);
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("can't read %1: %2").arg(m_path, f.errorString());
        return false;
    }
    m_existed = true;
    setBytes(f.readAll());
    return true;
}

bool IniFile::save()
{
    m_error.clear();
    if (m_path.isEmpty()) {
        m_error = QStringLiteral("no file name");
        return false;
    }
    if (QFileInfo::exists(m_path) && IsReadOnly(m_path)) {
        m_error = QStringLiteral("%1 is read-only").arg(m_path);
        return false;
    }
    // Through a synced temporary file and a rename: a crash leaves the old
    // file or the new one; the mode and owner stay.
    QString error;
    if (!SafeFile::write(m_path, toBytes(), &error)) {
        m_error = error;
        return false;
    }
    m_existed = true;
    return true;
}

qsizetype IniFile::findSection(const QString &section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Line::Section && sameName(m_lines[i].name, section))
            return i;
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Line::Section)
        ++i;
    return i;
}

qsizetype IniFile::findKey(qsizetype header, const QString &key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Line::Key && sameName(m_lines[i].name, key))
            return i;
    return -1;
}

bool IniFile::hasSection(const QString &section) const
{
    return findSection(section) >= 0;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return value(section, key).has_value();
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype k = findKey(header, key);
    if (k < 0)
        return std::nullopt;
    return m_lines[k].value;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue,
                            int maxBytes) const
{
    QString v = value(section, key).value_or(trimTrailingBlanks(defaultValue));
    if (maxBytes > 0)
        v = cutToBytes(v, maxBytes - 1);
    return v;
}

std::int32_t IniFile::readInt(const QString &section, const QString &key,
                              std::int32_t defaultValue) const
{
    const auto v = value(section, key);
    if (!v || v->isEmpty())
        return defaultValue;
    return ParseProfileDecimal(*v);
}

std::int32_t IniFile::readNumber(const QString &section, const QString &key,
                                 std::int32_t defaultValue, bool ampersandHex) const
{
    const auto v = value(section, key);
    if (v) {
        if (const auto hex = ParseProfileHex(*v, ampersandHex))
            return *hex;
    }
    return readInt(section, key, defaultValue);
}

QStringList IniFile::sectionNames() const
{
    QStringList names;
    for (const Line &l : m_lines) {
        if (l.kind != Line::Section)
            continue;
        if (!names.contains(l.name, Qt::CaseInsensitive))
            names << l.name;
    }
    return names;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    const qsizetype header = findSection(section);
    if (header < 0)
        return names;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Line::Key && !names.contains(m_lines[i].name, Qt::CaseInsensitive))
            names << m_lines[i].name;
    return names;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // A line break in a value would start a new line of the file.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const Line keyLine = parseLine(Cp932::encode(key + QLatin1Char('=') + flat));
    qsizetype header = findSection(section);
    if (header < 0) {
        m_lines.append(parseLine(Cp932::encode(QLatin1Char('[') + section + QLatin1Char(']'))));
        m_lines.append(keyLine);
        return;
    }
    const qsizetype k = findKey(header, key);
    if (k >= 0) {
        m_lines[k] = keyLine;
        return;
    }
    // After the section's last non-blank line, so blank separator lines stay
    // in front of the next section.
    qsizetype at = sectionEnd(header);
    while (at > header + 1 && m_lines[at - 1].kind == Line::Other &&
           trimBlanks(Cp932::decode(m_lines[at - 1].raw)).isEmpty())
        --at;
    m_lines.insert(at, keyLine);
}

void IniFile::writeInt(const QString &section, const QString &key, long value)
{
    writeString(section, key, QString::number(value));
}

bool IniFile::removeKey(const QString &section, const QString &key)
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return false;
    const qsizetype k = findKey(header, key);
    if (k < 0)
        return false;
    m_lines.removeAt(k);
    return true;
}

bool IniFile::removeSection(const QString &section)
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return false;
    m_lines.remove(header, sectionEnd(header) - header);
    return true;
}

// ---------------------------------------------------------------------------
// One-shot calls

namespace
{
IniFile loadLocked(const QString &path)
{
    IniFile f(path);
    f.load();
    return f;
}

// Load, change, save under the lock; a missing file is created.
template <class Change> bool modify(const QString &path, Change change)
{
    QMutexLocker lock(&iniMutex());
    IniFile f(path);
    f.load();
    if (!change(f))
        return false;
    return f.save();
}
} // namespace

QString IniReadString(const QString &path, const QString &section, const QString &key,
                      const QString &defaultValue, int maxBytes)
{
    QMutexLocker lock(&iniMutex());
    return loadLocked(path).readString(section, key, defaultValue, maxBytes);
}

std::int32_t IniReadInt(const QString &path, const QString &section, const QString &key,
                        std::int32_t defaultValue)
{
    QMutexLocker lock(&iniMutex());
    return loadLocked(path).readInt(section, key, defaultValue);
}

std::int32_t IniReadNumber(const QString &path, const QString &section, const QString &key,
                           std::int32_t defaultValue, bool ampersandHex)
{
    QMutexLocker lock(&iniMutex());
    return loadLocked(path).readNumber(section, key, defaultValue, ampersandHex);
}

QStringList IniSectionNames(const QString &path)
{
    QMutexLocker lock(&iniMutex());
    return loadLocked(path).sectionNames();
}

bool IniWriteString(const QString &path, const QString &section, const QString &key,
                    const QString &value)
{
    return modify(path, [&](IniFile &f) {
        f.writeString(section, key, value);
        return true;
    });
}

bool IniWriteInt(const QString &path, const QString &section, const QString &key, long value)
{
    return IniWriteString(path, section, key, QString::number(value));
}

bool IniDeleteKey(const QString &path, const QString &section, const QString &key)
{
    // Deleting a key that isn't there succeeds without touching the file.
    QMutexLocker lock(&iniMutex());
    IniFile f(path);
    if (!f.load())
        return !QFileInfo::exists(path);
    if (!f.removeKey(section, key))
        return true;
    return f.save();
}

bool IniDeleteSection(const QString &path, const QString &section)
{
    QMutexLocker lock(&iniMutex());
    IniFile f(path);
    if (!f.load())
        return !QFileInfo::exists(path);
    if (!f.removeSection(section))
        return true;
    return f.save();
}
