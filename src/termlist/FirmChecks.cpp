#include "termlist/FirmChecks.h"

#include "comm/UpdateDecider.h"
#include "common/Ipv4.h"
#include "register/TermDatabase.h"

#include <QHash>

#include <algorithm>

namespace FirmChecks
{

namespace
{

// Of the programs written in one session the application's version is
// checked when both went, since a row holds one check.
void pick(Written &w, int updateKind, const QString &path)
{
    if (updateKind == UpdateFileKind::Apli)
        w.kind = FirmKind::Apli, w.file = path;
    else if (updateKind == UpdateFileKind::Boot && w.kind == 0)
        w.kind = FirmKind::Boot, w.file = path;
}

} // namespace

std::vector<Written> written(int notificationKind, const RequestPayload &request)
{
    std::vector<Written> out;
    for (const TerminalEntry &e : request.entries) {
        if (e.result != ResultCode::Success)
            continue;
        switch (notificationKind) {
        case CompletionKind::WriteBoot:
            out.push_back({e.macAddress, e.address, FirmKind::Boot, e.file, e.ended});
            break;
        case CompletionKind::WriteApli:
            out.push_back({e.macAddress, e.address, FirmKind::Apli, e.file, e.ended});
            break;
        case CompletionKind::ScheduleWriteFirm: {
            if (!e.restart)
                break;
            Written w{e.macAddress, e.address, 0, QString(), e.ended};
            for (const RequestFile &f : e.files)
                pick(w, f.kind, f.localPath);
            if (w.kind)
                out.push_back(w);
            break;
        }
        default:
            return {};
        }
    }
    return out;
}

std::vector<Written> written(const TermRequestPayload &request)
{
    if (request.result != ResultCode::Success || request.decision != UpdateDecision::FilesToSend ||
        std::none_of(request.files.begin(), request.files.end(), RestartsTerminal))
        return {};
    Written w{request.request.notify.macAddress, request.address, 0, QString()};
    for (const UpdateFile &f : request.files)
        pick(w, f.kind, f.localPath);
    if (!w.kind)
        return {};
    return {w};
}

int start(CTermDatabase &db, const std::vector<Written> &writes,
          const std::function<QString(const QString &)> &version)
{
    QHash<QString, QString> versions;
    int waiting = 0;
    for (const Written &w : writes) {
        auto it = versions.find(w.file);
        if (it == versions.end())
            it = versions.insert(w.file, version ? version(w.file)
                                                 : CAutoUpdateDecider::firmwareVersion(w.file));
        if (db.startFirmCheck(w.mac, Ipv4::hostToRegister(w.address), w.kind, *it, w.ended) ==
                DbAnswer::Done &&
            !it->trimmed().isEmpty())
            ++waiting;
    }
    return waiting;
}

} // namespace FirmChecks

namespace
{
// A clock that jumps is caught up with at least this often.
constexpr qint64 LongestSleepMs = 3600 * 1000;
// The register failed: tried again after this.
constexpr qint64 RetryMs = 10 * 1000;
} // namespace

FirmCheckTracker::FirmCheckTracker(CTermDatabase &db, QObject *parent) : QObject(parent), m_db(db)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
}

void FirmCheckTracker::setWait(int seconds)
{
    m_wait = std::max(seconds, 1);
}

int FirmCheckTracker::check()
{
    m_timer.stop();
    m_next = QDateTime();
    if (!m_db.isOpen())
        return 0;
    const QDateTime now = m_db.now();
    int ended = 0;
    if (m_db.expireFirmChecks(now.addSecs(-m_wait), &ended) != DbAnswer::Done) {
        m_next = now.addMSecs(RetryMs);
        m_timer.start(int(RetryMs));
        return 0;
    }
    const QDateTime oldest = m_db.oldestFirmCheck();
    if (oldest.isValid()) {
        m_next = oldest.addSecs(m_wait);
        m_timer.start(int(std::clamp(now.msecsTo(m_next), qint64(200), LongestSleepMs)));
    }
    if (ended > 0 && onEnded)
        onEnded();
    return ended;
}
