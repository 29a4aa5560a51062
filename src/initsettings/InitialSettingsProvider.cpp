#include "initsettings/InitialSettingsProvider.h"

#include "comm/CommPayloads.h"
#include "comm/OpLog.h"
#include "comm/RemoteNames.h"
#include "comm/UpdateDecider.h"

#include <QFileInfo>

CInitialSettingsProvider::CInitialSettingsProvider(CInitialSettingsTable &table, BoxPoster box)
    : m_table(table), m_box(std::move(box))
{
}

bool CInitialSettingsProvider::prepare(TermRequestPayload &request)
{
    Udp::TermNotify &n = request.request.notify;
    request.files.clear();
    const std::optional<QString> id = m_table.assign();
    if (!id) {
        request.result = ResultCode::NoFreeSipAddress;
        OpLog::writeError(LogRecord{n.termId, ErrLog::NoFreeSipAddress, 0, request.address, {}});
        return false;
    }
    const InitialFile::Result made = InitialFile::generate(*id, n.machineName, m_box);
    if (made.outcome != InitialFile::Outcome::Written) {
        request.result = InitialFile::resultCodeOf(made.outcome);
        OpLog::writeError(LogRecord{*id, ErrLog::Other, 0, request.address, {}});
        return false;
    }
    const QFileInfo file(made.path);
    n.termId = *id;
    request.files.append(UpdateFile{UpdateFileKind::System,
                                    CAutoUpdateDecider::sizeText(file.size()),
                                    RemoteNames::stamp(file.lastModified()), made.path});
    return true;
}
