#include "history/SettingsHistory.h"

#include "common/ProcessValues.h"
#include "common/SafeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsHistory
{

namespace
{

constexpr int FormatVersion = 1;
constexpr int MaxKeep = 999;
const QString DateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

QString subfolder(Kind kind)
{
    switch (kind) {
    case Kind::System:
        return QStringLiteral("Sys");
    case Kind::User:
        return QStringLiteral("User");
    case Kind::PhoneBook:
        return QStringLiteral("Dial");
    }
    return {};
}

QString versionName(Kind kind, int number)
{
    return QStringLiteral("v%1.%2")
        .arg(number, 6, 10, QLatin1Char('0'))
        .arg(kind == Kind::PhoneBook ? QStringLiteral("csv") : QStringLiteral("ini"));
}

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

const char *originName(Origin o)
{
    switch (o) {
    case Origin::Read:
        return "read";
    case Origin::Edited:
        return "edited";
    case Origin::Initial:
        return "initial";
    case Origin::Restored:
        return "restored";
    case Origin::Unknown:
        break;
    }
    return "unknown";
}

Origin originOf(const QString &name)
{
    for (Origin o : {Origin::Read, Origin::Edited, Origin::Initial, Origin::Restored})
        if (name == QLatin1String(originName(o)))
            return o;
    return Origin::Unknown;
}

QJsonValue dateValue(const QDateTime &dt)
{
    return dt.isValid() ? QJsonValue(dt.toString(DateFormat)) : QJsonValue();
}

QDateTime dateOf(const QJsonValue &v)
{
    return QDateTime::fromString(v.toString(), DateFormat);
}

QJsonObject toJson(const Version &v)
{
    QJsonObject o;
    o[QStringLiteral("number")] = v.number;
    o[QStringLiteral("madeBy")] = QLatin1String(originName(v.madeBy));
    o[QStringLiteral("madeAt")] = dateValue(v.madeAt);
    o[QStringLiteral("sentAt")] = dateValue(v.sentAt);
    o[QStringLiteral("sha256")] = QString::fromLatin1(v.sha256);
    o[QStringLiteral("size")] = v.size;
    return o;
}

Version fromJson(const QJsonObject &o)
{
    Version v;
    v.number = o.value(QStringLiteral("number")).toInt();
    v.madeBy = originOf(o.value(QStringLiteral("madeBy")).toString());
    v.madeAt = dateOf(o.value(QStringLiteral("madeAt")));
    v.sentAt = dateOf(o.value(QStringLiteral("sentAt")));
    v.sha256 = o.value(QStringLiteral("sha256")).toString().toLatin1();
    v.size = o.value(QStringLiteral("size")).toInteger();
    return v;
}

// One file's index: the kept versions, oldest first.
struct Index {
    std::vector<Version> versions;
    int next = 1;
};

std::optional<QByteArray> readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

int keepLimit()
{
    return std::clamp(ProcessValues::historyKeep.load(), 1, MaxKeep);
}

// The history of one file of one terminal.
class FileHistory
{
public:
    FileHistory(const QString &folder, Kind kind)
        : m_folder(folder + QLatin1Char('/') + subfolder(kind)), m_kind(kind)
    {
    }

    QString versionPath(int number) const
    {
        return m_folder + QLatin1Char('/') + versionName(m_kind, number);
    }
    QString indexPath() const { return m_folder + QStringLiteral("/index.json"); }

    // A missing index is an empty history; one that can't be read is
    // rebuilt from the version files there, so none is overwritten or lost.
    Index load() const
    {
        Index index;
        const std::optional<QByteArray> bytes = readAll(indexPath());
        QJsonParseError error{};
        const QJsonDocument doc = bytes ? QJsonDocument::fromJson(*bytes, &error) : QJsonDocument();
        const QJsonObject root = doc.object();
        if (bytes && error.error == QJsonParseError::NoError &&
            root.value(QStringLiteral("format")).toInt() == FormatVersion) {
            for (const QJsonValue &v : root.value(QStringLiteral("versions")).toArray()) {
                Version version = fromJson(v.toObject());
                if (version.number > 0 &&
                    (index.versions.empty() || version.number > index.versions.back().number))
                    index.versions.push_back(version);
            }
            index.next = root.value(QStringLiteral("next")).toInt();
        } else if (QFileInfo::exists(m_folder)) {
            rebuild(index);
        }
        const int highest = index.versions.empty() ? 0 : index.versions.back().number;
        index.next = std::max({index.next, highest + 1, highestOnDisk() + 1});
        return index;
    }

    bool save(const Index &index) const
    {
        QJsonArray versions;
        for (const Version &v : index.versions)
            versions.append(toJson(v));
        QJsonObject root;
        root[QStringLiteral("format")] = FormatVersion;
        root[QStringLiteral("next")] = index.next;
        root[QStringLiteral("versions")] = versions;
        return SafeFile::write(indexPath(), QJsonDocument(root).toJson(QJsonDocument::Indented));
    }

    bool makeFolder() const { return QDir().mkpath(m_folder); }

    // Adds bytes as the newest version and saves the index; versions beyond
    // the limit go, the index first (a file it no longer names is only
    // garbage). False, with index and folder as they were, on failure.
    bool keep(Index &index, Version v, const QByteArray &bytes) const
    {
        v.number = index.next;
        v.sha256 = digest(bytes);
        v.size = bytes.size();
        if (!SafeFile::write(versionPath(v.number), bytes))
            return false;
        Index changed = index;
        changed.versions.push_back(v);
        ++changed.next;
        std::vector<int> dropped;
        const std::size_t limit = static_cast<std::size_t>(keepLimit());
        while (changed.versions.size() > limit) {
            dropped.push_back(changed.versions.front().number);
            changed.versions.erase(changed.versions.begin());
        }
        if (!save(changed)) {
            QFile::remove(versionPath(v.number));
            return false;
        }
        for (int n : dropped)
            QFile::remove(versionPath(n));
        index = std::move(changed);
        return true;
    }

private:
    int highestOnDisk() const
    {
        int highest = 0;
        for (const QString &name : QDir(m_folder).entryList(QDir::Files))
            highest = std::max(highest, numberOf(name));
        return highest;
    }

    int numberOf(const QString &name) const
    {
        bool ok = false;
        const int n = name.mid(1, name.indexOf(QLatin1Char('.')) - 1).toInt(&ok);
        return ok && n > 0 && name == versionName(m_kind, n) ? n : 0;
    }

    void rebuild(Index &index) const
    {
        std::vector<int> numbers;
        for (const QString &name : QDir(m_folder).entryList(QDir::Files))
            if (const int n = numberOf(name))
                numbers.push_back(n);
        std::sort(numbers.begin(), numbers.end());
        for (int n : numbers) {
            const std::optional<QByteArray> bytes = readAll(versionPath(n));
            if (!bytes)
                continue;
            Version v;
            v.number = n;
            v.madeAt = QFileInfo(versionPath(n)).lastModified();
            v.sha256 = digest(*bytes);
            v.size = bytes->size();
            index.versions.push_back(v);
        }
    }

    QString m_folder;
    Kind m_kind;
};

// An exclusive lock on a terminal's history, across threads and programs:
// every flock() of a descriptor of its own excludes the others.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder)
    {
        m_fd = ::open(QFile::encodeName(folder + QStringLiteral("/.lock")).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(m_fd);
                m_fd = -1;
                return;
            }
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// The history folders hold copies of files with SIP data: owner only. A
// folder another account made stays as it is.
bool makeOwnerOnly(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path))
        return false;
    ::chmod(QFile::encodeName(path).constData(), 0700);
    return true;
}

// The file in place as a version of unknown origin: older than the history,
// or changed outside the program.
Version unknownVersion(const QString &path)
{
    Version v;
    v.madeAt = QFileInfo(path).lastModified();
    return v;
}

// Makes the history's folders and takes the terminal's lock.
bool openForChange(const QString &program, const QString &root, const FileHistory &history,
                   std::optional<FolderLock> &lock)
{
    if (!makeOwnerOnly(program + QStringLiteral("Data/History")) || !makeOwnerOnly(root))
        return false;
    lock.emplace(root);
    return lock->held() && history.makeFolder();
}

bool isNewest(const Index &index, const QByteArray &bytes)
{
    return !index.versions.empty() && index.versions.back().sha256 == digest(bytes);
}

} // namespace

Store::Store(const QString &programFolder, Clock clock)
    : m_program(programFolder.isEmpty() ? ProcessValues::programFolder() : programFolder),
      m_clock(std::move(clock))
{
    if (!m_program.endsWith(QLatin1Char('/')))
        m_program += QLatin1Char('/');
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTime(); };
}

QString Store::folder(const QString &termId) const
{
    const QString rel = TerminalPaths::historyRelative(termId);
    return rel.isEmpty() ? QString() : m_program + rel;
}

QString Store::filePath(const QString &termId, Kind kind) const
{
    const QString rel = TerminalPaths::relative(kind, termId);
    return rel.isEmpty() ? QString() : m_program + rel;
}

bool Store::replace(const QString &termId, Kind kind, Origin origin,
                    const std::function<bool()> &putInPlace)
{
    const QString root = folder(termId);
    const QString path = filePath(termId, kind);
    if (root.isEmpty() || path.isEmpty())
        return false;
    // Without a history a version in place could not be kept; a file not
    // there yet loses nothing, so it may still be written.
    FileHistory history(root, kind);
    std::optional<FolderLock> lock;
    if (!openForChange(m_program, root, history, lock))
        return QFileInfo::exists(path) ? false : putInPlace();
    Index index = history.load();

    // The version in place first, when the history lacks it.
    if (QFileInfo::exists(path)) {
        const std::optional<QByteArray> inPlace = readAll(path);
        if (!inPlace)
            return false; // it can't be read, so it can't be kept
        if (!isNewest(index, *inPlace) && !history.keep(index, unknownVersion(path), *inPlace))
            return false;
    }
    if (!putInPlace())
        return false;
    // An unchanged file (the usual read) keeps nothing more.
    const std::optional<QByteArray> now = readAll(path);
    if (!now || isNewest(index, *now))
        return true;
    Version made;
    made.madeBy = origin;
    made.madeAt = m_clock();
    // The file is in place either way; a version not kept now is kept as
    // one of unknown origin before the next replacement.
    history.keep(index, made, *now);
    return true;
}

bool Store::markSent(const QString &termId, Kind kind, const QByteArray &sent)
{
    const QString root = folder(termId);
    const QString path = filePath(termId, kind);
    FileHistory history(root, kind);
    std::optional<FolderLock> lock;
    if (root.isEmpty() || path.isEmpty() || !openForChange(m_program, root, history, lock))
        return false;
    Index index = history.load();
    const QByteArray sha = digest(sent);
    for (auto it = index.versions.rbegin(); it != index.versions.rend(); ++it) {
        if (it->sha256 == sha) {
            it->sentAt = m_clock();
            return history.save(index);
        }
    }
    // A file the history lacks: kept now, as sent.
    const std::optional<QByteArray> inPlace = readAll(path);
    if (!inPlace || digest(*inPlace) != sha)
        return false;
    Version v = unknownVersion(path);
    v.sentAt = m_clock();
    return history.keep(index, v, *inPlace);
}

Listing Store::list(const QString &termId, Kind kind) const
{
    Listing out;
    const QString root = folder(termId);
    const QString path = filePath(termId, kind);
    if (root.isEmpty() || path.isEmpty())
        return out;
    const Index index = FileHistory(root, kind).load();
    out.versions = index.versions;
    if (const std::optional<QByteArray> bytes = readAll(path)) {
        out.hasFile = true;
        if (isNewest(index, *bytes))
            out.current = index.versions.back().number;
    }
    return out;
}

std::optional<QByteArray> Store::content(const QString &termId, Kind kind, int number) const
{
    const QString root = folder(termId);
    const QString path = filePath(termId, kind);
    if (root.isEmpty() || path.isEmpty())
        return std::nullopt;
    if (number == 0)
        return readAll(path);
    FileHistory history(root, kind);
    const Index index = history.load();
    const auto it = std::find_if(index.versions.begin(), index.versions.end(),
                                 [number](const Version &v) { return v.number == number; });
    if (it == index.versions.end())
        return std::nullopt;
    std::optional<QByteArray> bytes = readAll(history.versionPath(number));
    if (!bytes || digest(*bytes) != it->sha256)
        return std::nullopt;
    return bytes;
}

bool Store::restore(const QString &termId, Kind kind, int number)
{
    const std::optional<QByteArray> bytes = content(termId, kind, number);
    if (!bytes || number <= 0)
        return false;
    const QString path = filePath(termId, kind);
    return replace(termId, kind, Origin::Restored, [&] {
        QDir().mkpath(QFileInfo(path).absolutePath());
        return SafeFile::write(path, *bytes);
    });
}

bool Store::removeAll(const QString &termId)
{
    const QString root = folder(termId);
    if (root.isEmpty() || !QFileInfo::exists(root))
        return !root.isEmpty();
    // A change in progress ends first.
    FolderLock lock(root);
    return QDir(root).removeRecursively();
}

std::optional<Kind> terminalFileKind(const QString &termId, const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (Kind kind : {Kind::System, Kind::User, Kind::PhoneBook}) {
        const QString own = TerminalPaths::absolute(kind, termId);
        if (!own.isEmpty() && QDir::cleanPath(QFileInfo(own).absoluteFilePath()) == clean)
            return kind;
    }
    return std::nullopt;
}

bool replaceFile(const QString &termId, const QString &path, Origin origin,
                 const std::function<bool()> &putInPlace)
{
    const std::optional<Kind> kind = terminalFileKind(termId, path);
    if (!kind)
        return putInPlace();
    return Store().replace(termId, *kind, origin, putInPlace);
}

SendMark::SendMark(const QString &termId, const QString &path)
    : m_termId(termId), m_kind(terminalFileKind(termId, path))
{
    if (m_kind)
        m_bytes = readAll(path).value_or(QByteArray());
}

void SendMark::transferred()
{
    if (m_kind)
        Store().markSent(m_termId, *m_kind, m_bytes);
}

} // namespace SettingsHistory
