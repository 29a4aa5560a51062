#include "comm/UpdateDecider.h"

#include "comm/OpLog.h"
#include "comm/RemoteNames.h"
#include "comm/ResultCodes.h"
#include "comm/TermProcThread.h"
#include "common/Cp932.h"
#include "common/IniFile.h"
#include "common/ProcessValues.h"
#include "common/TerminalPaths.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <tuple>

namespace
{

constexpr int Skip = -1;
constexpr int NotOnPc = 0;
constexpr int Current = 1;
constexpr int Send = 0xFF;
constexpr int Initial = 0xFE;

QString localPath(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return ResolveLocalPath(p);
}

// The first registration for the model whose file exists, for the key.
QString registeredFile(const IniFile &ini, const QString &model, const QString &key)
{
    for (const QString &section : ini.sectionNames()) {
        if (ini.readString(section, QStringLiteral("ModelType"), {}, 256) != model)
            continue;
        const QString path = ini.readString(section, key, {}, 256);
        if (!path.isEmpty() && QFileInfo(localPath(path)).isFile())
            return localPath(path);
    }
    return QString();
}

int twoDigits(const QByteArray &s, int at, int width, bool *ok)
{
    int v = 0;
    for (int i = at; i < at + width; ++i) {
        if (s[i] < '0' || s[i] > '9') {
            *ok = false;
            return 0;
        }
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

} // namespace

QString CAutoUpdateDecider::firmwareVersion(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return firmwareVersion(f);
}

QString CAutoUpdateDecider::firmwareVersion(QIODevice &file)
{
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.size() < 58)
        return QString();
    const QByteArray bytes = QByteArray::fromHex(line.mid(38, 20));
    const qsizetype nul = bytes.indexOf('\0');
    return Cp932::decode(nul < 0 ? bytes : bytes.left(nul));
}

std::optional<CAutoUpdateDecider::Stamp> CAutoUpdateDecider::parseStamp(const QByteArray &item)
{
    if (item.size() < 14)
        return std::nullopt;
    bool ok = true;
    Stamp s;
    s.day = twoDigits(item, 0, 2, &ok);
    s.month = twoDigits(item, 2, 2, &ok);
    s.year = twoDigits(item, 4, 4, &ok);
    s.hour = twoDigits(item, 8, 2, &ok);
    s.minute = twoDigits(item, 10, 2, &ok);
    s.second = twoDigits(item, 12, 2, &ok);
    if (!ok || s.year < 1971 || s.month < 1 || s.month > 12 || s.day < 1 || s.day > 31 ||
        s.hour > 23 || s.minute > 59 || s.second > 59)
        return std::nullopt;
    return s;
}

bool CAutoUpdateDecider::laterThan(const QDateTime &t, const Stamp &s)
{
    const QDate d = t.date();
    const QTime tm = t.time();
    return std::make_tuple(d.year(), d.month(), d.day(), tm.hour(), tm.minute(), tm.second()) >
           std::make_tuple(s.year, s.month, s.day, s.hour, s.minute, s.second);
}

QString CAutoUpdateDecider::sizeText(qint64 size)
{
    const auto u = static_cast<unsigned long long>(size);
    return QStringLiteral("%1%2")
        .arg(u / 1000000)
        .arg(u % 1000000)
        .rightJustified(12, QLatin1Char('0'));
}

void CAutoUpdateDecider::decide(TermRequestPayload &request, bool busy)
{
    request.files.clear();
    if (busy) {
        request.decision = UpdateDecision::Busy;
        return;
    }
    const Udp::TermNotify &n = request.request.notify;
    const QString termId = n.termId.trimmed();

    // Firmware registered for automatic update of the model.
    bool firmware = false;
    const QString registration =
        ProcessValues::programPath(QStringLiteral("Config/FirmFilePath.ini"));
    if (!QFile::exists(registration)) {
        // Every request would write it again: once a minute, with a count.
        OpLog::writeErrorRepeated("firmware-registration",
                                  LogRecord{termId, ErrLog::FileMissing, 0, request.address,
                                            QStringLiteral("設定iniファイル無し")});
    } else {
        IniFile ini(registration);
        ini.load();
        const std::array<std::tuple<int, const char *, QString>, 2> programs{
            std::make_tuple(UpdateFileKind::Boot, "BootFilePath", n.verBoot),
            std::make_tuple(UpdateFileKind::Apli, "ApliFilePath", n.verApli)};
        for (const auto &[kind, key, reported] : programs) {
            const QString path = registeredFile(ini, n.machineName, QLatin1String(key));
            if (path.isEmpty())
                continue;
            const QString version = firmwareVersion(path);
            if (!version.isEmpty() && version != reported.left(10)) {
                request.files.append(UpdateFile{kind, QString(), QString(), path});
                firmware = true;
            }
        }
    }

    // Settings files, unless firmware goes first. The ID came in the
    // datagram: one that could name a file elsewhere (or, empty, the common
    // file) names none, so nothing is looked at, compared or sent for it.
    std::array<int, 3> outcome{Skip, Skip, Skip};
    if (!firmware && TerminalPaths::isSafeId(termId)) {
        using TerminalPaths::Kind;
        const std::array<QString, 3> paths{TerminalPaths::absolute(Kind::System, termId),
                                           TerminalPaths::absolute(Kind::User, termId),
                                           TerminalPaths::absolute(Kind::PhoneBook, termId)};
        const std::array<QByteArray, 3> stamps = request.request.stamps();
        const int select = request.request.fileSelect;
        for (int i = 0; i < 3; ++i) {
            if (select != i + 1 && select != Udp::FileSelect::All)
                continue;
            const QFileInfo pc(paths[i]);
            if (!pc.exists()) {
                outcome[i] = NotOnPc;
                continue;
            }
            const auto stamp = parseStamp(stamps[i]);
            outcome[i] = !stamp || laterThan(pc.lastModified(), *stamp) ? Send : Current;
        }
        // Only a new terminal, which reports the ID "ERROR", gets a number:
        // a terminal with an ID of its own keeps it.
        const bool initialMode = initialSettingsMode && initialSettingsMode();
        if (initialMode && termId == QLatin1String("ERROR") && !QFile::exists(paths[0]))
            outcome[0] = Initial;
        for (int i = 0; i < 3; ++i) {
            if (outcome[i] != Send && outcome[i] != Initial)
                continue;
            UpdateFile f{UpdateFileKind::System + i, QString(), QString(), paths[i]};
            if (outcome[i] == Send) {
                const QFileInfo pc(paths[i]);
                f.sizeText = sizeText(pc.size());
                f.stamp = RemoteNames::stamp(pc.lastModified());
            }
            request.files.append(f);
        }
    }

    if (!request.files.isEmpty())
        request.decision = UpdateDecision::FilesToSend;
    else
        request.decision = std::find(outcome.begin(), outcome.end(), Current) != outcome.end()
                               ? UpdateDecision::UpToDate
                               : UpdateDecision::NothingToSend;
    if (outcome[0] == Initial)
        request.decision = UpdateDecision::InitialSettings;
}

bool CAutoUpdateDecider::prepareInitialSettings(TermRequestPayload &request)
{
    return initialSettings && initialSettings(request);
}
