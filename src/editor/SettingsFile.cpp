#include "editor/SettingsFile.h"

#include "comm/OpLog.h"
#include "comm/ResultCodes.h"
#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace
{

const QString kVersion = QStringLiteral("Version");

// The lines of the file as a text-mode reader with a 512-byte buffer sees
// them: CR LF read as LF, a line longer than the limit split into pieces.
// Each piece keeps its LF, if it has one.
template <class Fn> void forEachPiece(const QByteArray &bytes, Fn fn)
{
    QByteArray text = bytes;
    text.replace("\r\n", "\n");
    const char *p = text.constData();
    const char *end = p + text.size();
    while (p < end) {
        const char *stop = p + std::min<qsizetype>(SettingsFileImage::LineLimit, end - p);
        const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(stop - p)));
        const char *next = nl ? nl + 1 : stop;
        fn(p, next - p);
        p = next;
    }
}

// Blanks and line breaks around a value; other characters (a full-width
// blank among them) are part of it.
QString trimmed(const QString &s)
{
    auto isWhite = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
    };
    qsizetype b = 0, e = s.size();
    while (b < e && isWhite(s[b]))
        ++b;
    while (e > b && isWhite(s[e - 1]))
        --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

} // namespace

SettingsFileImage SettingsFileImage::fromBytes(const QByteArray &bytes)
{
    SettingsFileImage image;
    // First pass: how many sections and keys, so the lists are sized once.
    qsizetype sectionLines = 0, keyLines = 0;
    forEachPiece(bytes, [&](const char *p, qsizetype) {
        if (*p == '\n' || *p == ' ')
            return;
        ++(*p == '[' ? sectionLines : keyLines);
    });
    image.sections.reserve(sectionLines + 1);
    image.keys.reserve(keyLines);

    // Second pass: the lines themselves.
    int open = -1;
    bool versionSeen = false;
    forEachPiece(bytes, [&](const char *p, qsizetype size) {
        if (*p == '\n' || *p == ' ')
            return;
        // Cut at the line end (and at a NUL, where a C string would end).
        qsizetype len = 0;
        while (len < size && p[len] != '\n' && p[len] != '\0')
            ++len;
        const QString line = Cp932::decode(p, len);
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']', 1);
            image.sections.append(close < 0 ? line.mid(1) : line.mid(1, close - 1));
            open = int(image.sections.size() - 1);
            return;
        }
        if (line.startsWith(kVersion)) {
            if (versionSeen)
                return;
            versionSeen = true;
            image.sections.append(kVersion);
            open = int(image.sections.size() - 1);
        }
        if (open < 0)
            return;
        SettingsKeyRecord rec;
        rec.section = open;
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0) {
            rec.key = line.left(eq);
            rec.value = line.mid(eq + 1);
        }
        image.keys.append(std::move(rec));
    });
    return image;
}

SettingsFileImage::ReadStatus SettingsFileImage::read(const QString &path, SettingsFileImage *out)
{
    *out = SettingsFileImage();
    if (path.isEmpty())
        return ReadStatus::Ok;
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return ReadStatus::OpenFailed;
    if (f.size() > MaxFileBytes)
        return ReadStatus::ReadFailed;
    const QByteArray bytes = f.read(MaxFileBytes + 1);
    if (f.error() != QFileDevice::NoError || bytes.size() > MaxFileBytes)
        return ReadStatus::ReadFailed;
    *out = fromBytes(bytes);
    return ReadStatus::Ok;
}

const SettingsKeyRecord *SettingsFileImage::find(const QString &section, const QString &key) const
{
    for (const SettingsKeyRecord &r : keys)
        if (r.key == key && sections[r.section] == section)
            return &r;
    return nullptr;
}

void MergeSettings(const SettingsFileImage &image, SettingsDescription &description)
{
    // The first record of every section name and key: filled from the end,
    // so an earlier record replaces a later one.
    using KeyIndex = std::unordered_map<QString, int, QStringStdHash>;
    std::unordered_map<QString, KeyIndex, QStringStdHash> first;
    for (const QString &name : image.sections)
        first[name];
    for (qsizetype i = image.keys.size() - 1; i >= 0; --i) {
        const SettingsKeyRecord &r = image.keys[i];
        first[image.sections[r.section]][r.key] = int(i);
    }

    for (DescSection &s : description.sections)
        if (first.count(s.key))
            s.tab = true;
    for (DescEntry &e : description.entries) {
        const auto sec = first.find(description.sections.at(e.section).key);
        if (sec == first.end())
            continue;
        const auto rec = sec->second.find(e.key);
        if (rec == sec->second.end())
            continue;
        if (e.inputType >= InputType::Combo && e.inputType <= InputType::FilePath) {
            e.value = image.keys[rec->second].value;
            e.fileValue = e.value;
        }
        e.present = true;
        e.kept = true;
    }
}

QByteArray FormatSettingsFile(SettingsDescription &description, FileMode mode)
{
    QString out;
    int previousSection = -1;
    bool first = true;
    for (qsizetype i = 0; i < description.entries.size(); ++i) {
        if (!description.isWritten(int(i), mode))
            continue;
        DescEntry &e = description.entries[i];
        const bool fixed =
            e.inputType == InputType::NoControl || e.inputType == InputType::ReadOnly;
        const QString value = trimmed(fixed ? e.defaultValue : e.value);
        if (!fixed)
            e.value = value;
        const QString line = e.key + u'=' + value + QLatin1String("\r\n");
        if (first && e.key == kVersion) {
            out += line + QLatin1String("\r\n");
        } else if (first || e.section != previousSection) {
            if (!first)
                out += QLatin1String("\r\n");
            out += u'[' + description.sections[e.section].key + QLatin1String("]\r\n") + line;
        } else {
            out += line;
        }
        first = false;
        previousSection = e.section;
    }
    return Cp932::encode(out);
}

EditorErrorLog DailyEditorLog()
{
    return [](int number, const QString &termId, const QString &detail) {
        OpLog::writeError(number, termId, detail);
    };
}

bool WriteSettingsFile(const QString &path, SettingsDescription &description, FileMode mode,
                       const EditorErrorLog &log)
{
    if (path.isEmpty() || IsReadOnly(path))
        return false;
    const QByteArray bytes = FormatSettingsFile(description, mode);
    // Settings files hold SIP accounts and passwords.
    switch (SafeFile::writeFile(path, bytes, nullptr, SafeFile::PrivateWhenNew)) {
    case SafeFile::Outcome::Written:
        return true;
    case SafeFile::Outcome::NotCreated:
        return false;
    case SafeFile::Outcome::NotWritten:
        break;
    }
    if (log) {
        const int last = int(description.entries.size()) - 1;
        log(ErrLog::ConfigXml, QString(),
            QString::asprintf("DATA[%d] ", std::max(last, 0)) +
                QStringLiteral(u"iniファイル書き込みにて例外処理が発生しました。"));
    }
    return false;
}
