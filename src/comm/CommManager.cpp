#include "comm/CommManager.h"

#include "comm/RemoteNames.h"
#include "comm/TermProcThread.h"
#include "comm/WorkerMessages.h"
#include "common/Ipv4.h"
#include "common/ProcessValues.h"
#include "common/TerminalPaths.h"

#include <algorithm>

static_assert(std::tuple_size_v<decltype(RemoteSlotsPayload::workers)> ==
              CommManagerCore::RequestWorkers);

CommManagerCore::CommManagerCore(ICommHost &host) : m_host(host) {}

CommManagerCore::~CommManagerCore() = default;

void CommManagerCore::start(const CommSettings &s)
{
    m_udpPort = s.udpPort;
    m_ftpMode = s.ftpMode;
    m_entryInt = s.entryInt;
}

void CommManagerCore::settingsChanged(int ftpMode, int entryInt)
{
    m_ftpMode = ftpMode;
    m_entryInt = entryInt;
}

// ---- requests ------------------------------------------------------------

void CommManagerCore::onTask(std::unique_ptr<TaskMessage> message)
{
    if (!message)
        return;
    const int kind = message->kind;
    if (kind == RequestKind::Cancel) {
        cancel();
        return;
    }
    if (kind == RequestKind::Decision) {
        std::unique_ptr<TermRequestPayload> request(
            dynamic_cast<TermRequestPayload *>(message->payload[0].release()));
        if (request)
            decided(std::move(request));
        return;
    }
    if (kind != RequestKind::TermInfo && !IsWorkerRequestKind(kind))
        return;
    if (!RequestOf(*message))
        return;
    if (busy()) {
        refuse(std::move(message));
        return;
    }
    if (kind == RequestKind::TermInfo)
        startTermInfo(std::move(message));
    else
        startOperation(std::move(message));
}

void CommManagerCore::refuse(std::unique_ptr<TaskMessage> message)
{
    RequestOf(*message)->endFlag = 0;
    message->kind = TaskKind::RequestEnded;
    message->sender = ProcessValues::CommThreadId;
    m_host.postToView(std::move(message));
}

void CommManagerCore::reportProgress()
{
    const ThreadId target = RequestOf(*m_request)->progressTarget;
    if (target)
        m_host.postProgress(target, m_finished, m_total);
}

void CommManagerCore::startTermInfo(std::unique_ptr<TaskMessage> message)
{
    RequestPayload *request = RequestOf(*message);
    for (TerminalEntry &e : request->entries)
        e.result = ResultCode::Cancelled;
    m_request = std::move(message);
    m_requestKind = RequestKind::TermInfo;
    m_workerOp = 0;
    m_cursor = m_handed = m_finished = 0;
    m_total = static_cast<int>(request->entries.size());
    m_cancel = false;
    reportProgress();
    m_activeUserWorkers = 1;
    m_host.scheduleTermInfoStep(0);
}

void CommManagerCore::onTermInfoStep()
{
    if (!m_request || m_requestKind != RequestKind::TermInfo)
        return;
    RequestPayload *request = RequestOf(*m_request);
    if (m_cursor < m_total && !m_cancel) {
        TerminalEntry &entry = request->entries[m_cursor++];
        auto copy = std::make_unique<RequestPayload>();
        copy->entries.append(entry);
        copy->progressTarget = request->progressTarget;
        m_host.postToView(
            MakeRequest(ProcessValues::CommThreadId, TaskKind::TermInfoSent, std::move(copy)));
        m_host.send(entry.address, static_cast<std::uint16_t>(m_udpPort), Udp::buildTermInfoReq());
        entry.result = ResultCode::Success;
        ++m_handed;
        ++m_finished;
        reportProgress();
        m_host.writeOperationLog(LogRecord{entry.termId, OpeLog::TermInfo, -1, entry.address, {}});
        // One request per pause plus the send delay, as the sender spaces them.
        m_host.scheduleTermInfoStep(TermInfoPauseMs + ProcessValues::sendDelay.load());
        return;
    }
    m_activeUserWorkers = 0;
    finishRequest(TaskKind::RequestEnded);
}

namespace
{

// The requests whose files are named after the terminal ID: the settings
// files of one terminal and the schedule transfers built from them.
// Common files and firmware are files the user chose.
bool namesTerminalFiles(int requestKind)
{
    switch (requestKind) {
    case RequestKind::ReadSys:
    case RequestKind::ReadUser:
    case RequestKind::ReadDial:
    case RequestKind::WriteSys:
    case RequestKind::WriteUser:
    case RequestKind::WriteDial:
    case RequestKind::ScheduleWriteSettings:
    case RequestKind::ScheduleReadSettings:
        return true;
    default:
        return false;
    }
}

bool insideProgramFolder(const QString &path)
{
    return path.isEmpty() ||
           TerminalPaths::isInside(ResolveLocalPath(path), ProcessValues::programFolder());
}

} // namespace

bool CommManagerCore::terminalFilesSafe(const TerminalEntry &entry) const
{
    if (!namesTerminalFiles(m_requestKind))
        return true;
    if (!TerminalPaths::isSafeId(entry.termId) || !insideProgramFolder(entry.file))
        return false;
    return std::all_of(entry.files.begin(), entry.files.end(), [](const RequestFile &f) {
        return f.chosen || insideProgramFolder(f.localPath);
    });
}

void CommManagerCore::startOperation(std::unique_ptr<TaskMessage> message)
{
    RequestPayload *request = RequestOf(*message);
    for (TerminalEntry &e : request->entries)
        e.result = ResultCode::Cancelled;
    m_request = std::move(message);
    m_requestKind = m_request->kind;
    m_workerOp = WorkerOperationOf(m_requestKind);
    m_cursor = m_handed = m_finished = 0;
    m_total = static_cast<int>(request->entries.size());
    m_cancel = false;
    reportProgress();
    m_host.reloadFtpTimeouts();

    // Every request from the view or a schedule passes here: a terminal
    // whose ID or file could lead outside the program folder ends at once,
    // without a session; the others go on.
    m_order.clear();
    for (int i = 0; i < m_total; ++i) {
        TerminalEntry &e = request->entries[i];
        if (terminalFilesSafe(e)) {
            m_order.push_back(i);
            continue;
        }
        e.result = ResultCode::FileCreate;
        ++m_finished;
        reportProgress();
        m_host.writeErrorLog(LogRecord{e.termId, ErrLog::FileOpen, 0, e.address, {}});
    }

    const int completion = CompletionKindOf(m_requestKind);
    const int workers = std::min(static_cast<int>(m_order.size()), UserWorkers);
    for (int slot = 0; slot < workers; ++slot) {
        if (m_host.startUserWorker(slot)) {
            m_userSlots[slot].running = true;
            continue;
        }
        // Without all its workers the request can't run: end those that
        // started and give the request back as not run.
        for (int s = 0; s < slot; ++s) {
            m_host.endUserWorker(s);
            m_userSlots[s] = UserSlot{};
        }
        std::unique_ptr<TaskMessage> back = std::move(m_request);
        m_requestKind = 0;
        refuse(std::move(back));
        return;
    }
    m_activeUserWorkers = workers;
    for (int slot = 0; slot < workers; ++slot)
        handOut(slot);
    m_request->kind = completion;
    for (int slot = 0; slot < workers; ++slot)
        m_host.postToWorker(WorkerPool::User, slot, m_workerOp);
    if (workers == 0)
        finishRequest(completion);
}

SessionTarget CommManagerCore::targetFor(const TerminalEntry &entry) const
{
    SessionTarget t;
    t.address = entry.address;
    t.port = static_cast<std::uint16_t>(m_udpPort);
    t.localPath = entry.file;
    t.ftpMode = m_ftpMode;
    t.termId = entry.termId;
    t.model = entry.model;
    t.restartAfterWrite = entry.restart;
    const bool schedule = m_requestKind == RequestKind::ScheduleWriteSettings ||
                          m_requestKind == RequestKind::ScheduleReadSettings ||
                          m_requestKind == RequestKind::ScheduleWriteFirm;
    if (schedule) {
        for (const RequestFile &f : entry.files) {
            const std::optional<QDateTime> stamp =
                f.localPath.isEmpty() ? std::nullopt : m_host.fileLastWrite(f.localPath);
            t.files.append(FilePair{f.localPath,
                                    RemoteNames::forSchedule(m_requestKind, f.remoteName, stamp)});
        }
    } else {
        t.remoteName = RemoteNames::forUserRequest(
            m_requestKind, entry.file,
            entry.file.isEmpty() ? std::nullopt : m_host.fileLastWrite(entry.file), m_host.now());
    }
    return t;
}

void CommManagerCore::handOut(int slot)
{
    RequestPayload *request = RequestOf(*m_request);
    const int index = m_order[static_cast<std::size_t>(m_cursor++)];
    const TerminalEntry &entry = request->entries[index];
    m_userSlots[slot].entry = index;
    m_host.postToWorker(WorkerPool::User, slot, WorkerMsg::RenewSession);
    m_host.postToWorker(WorkerPool::User, slot, WorkerMsg::Target,
                        std::make_unique<TargetPayload>(targetFor(entry)));
    const int number = RequestOpeLogNumber(m_requestKind);
    if (number >= 0)
        m_host.writeOperationLog(LogRecord{entry.termId, number, -1, entry.address, entry.file});
    ++m_handed;
}

void CommManagerCore::logResult(const TerminalEntry &entry, int result, bool scheduleOp)
{
    const ResultLogEntry how = ResultLogMapping(result);
    if (!how.errorLine) {
        if (!scheduleOp)
            m_host.writeOperationLog(LogRecord{
                entry.termId, RequestOpeLogNumber(m_requestKind), result, entry.address, {}});
        return;
    }
    m_host.writeErrorLog(
        LogRecord{entry.termId, how.number, how.detailCode, entry.address, how.detailText});
}

void CommManagerCore::onUserWorkerDone(int slot, std::uint32_t replyMsg, int result)
{
    if (slot < 0 || slot >= UserWorkers || !m_request || m_userSlots[slot].entry < 0)
        return;
    RequestPayload *request = RequestOf(*m_request);
    TerminalEntry &entry = request->entries[m_userSlots[slot].entry];
    m_userSlots[slot].entry = -1;
    ++m_finished;
    entry.result = static_cast<std::int16_t>(result);
    entry.ended = m_host.now();
    reportProgress();
    const bool scheduleOp = replyMsg == WorkerMsg::SchedWriteSettingsDone ||
                            replyMsg == WorkerMsg::SchedReadSettingsDone ||
                            replyMsg == WorkerMsg::SchedWriteFirmwareDone;
    logResult(entry, result, scheduleOp);

    if (m_cursor < static_cast<int>(m_order.size()) && !m_cancel) {
        handOut(slot);
        m_host.postToWorker(WorkerPool::User, slot, m_workerOp);
        return;
    }
    m_host.endUserWorker(slot);
    m_userSlots[slot] = UserSlot{};
    if (--m_activeUserWorkers == 0)
        finishRequest(m_request->kind);
}

void CommManagerCore::finishRequest(int completionKind)
{
    std::unique_ptr<TaskMessage> done = std::move(m_request);
    done->kind = completionKind;
    done->sender = ProcessValues::CommThreadId;
    RequestOf(*done)->endFlag = 1;
    m_requestKind = 0;
    m_workerOp = 0;
    m_activeUserWorkers = 0;
    m_cursor = m_total = m_handed = m_finished = 0;
    m_order.clear();
    m_host.postToView(std::move(done));
}

void CommManagerCore::cancel()
{
    m_cancel = true;
    m_host.writeOperationLog(LogRecord{QString(), OpeLog::Cancel, -1, 0, {}});
}

std::optional<std::uint32_t> CommManagerCore::userWorkerAddress(int slot) const
{
    if (slot < 0 || slot >= UserWorkers || !m_request || m_userSlots[slot].entry < 0)
        return std::nullopt;
    return RequestOf(*m_request)->entries[m_userSlots[slot].entry].address;
}

// ---- datagrams -------------------------------------------------------------

void CommManagerCore::onSessionAnswer(std::uint32_t source, const QByteArray &datagram)
{
    std::array<Udp::WorkerSlotView, UserWorkers> users{};
    for (int i = 0; i < UserWorkers; ++i) {
        if (const auto a = userWorkerAddress(i))
            users[i] = {true, *a};
    }
    std::array<Udp::WorkerSlotView, RequestWorkers> requests{};
    for (int i = 0; i < RequestWorkers; ++i) {
        const RequestSlot &s = m_requestSlots[i];
        if (s.busy && s.request)
            requests[i] = {true, s.request->sourceAddress};
    }
    const Udp::Route route = Udp::routeSessionAnswer(source, users, requests);
    if (route.pool == Udp::Route::None)
        return;
    auto payload = std::make_unique<DatagramPayload>();
    payload->address = source;
    payload->bytes = datagram;
    m_host.postToWorker(route.pool == Udp::Route::UserWorker ? WorkerPool::User
                                                             : WorkerPool::Request,
                        route.slot, WorkerMsg::Datagram, std::move(payload));
}

// ---- terminal-initiated requests ---------------------------------------------

void CommManagerCore::onTermRequest(std::unique_ptr<TermRequestPayload> request)
{
    if (!request)
        return;
    // One request per address at a time and a bounded number in all, so a
    // flood costs a decision per address, not one per datagram. A terminal
    // that asked twice gets the answer to the first.
    const QDateTime now = m_host.now();
    std::erase_if(m_deciding,
                  [&](const auto &d) { return d.second.secsTo(now) > DecidingSeconds; });
    if (m_deciding.count(request->sourceAddress) ||
        m_deciding.size() >= std::size_t(MaxDeciding)) {
        m_host.writeRepeatedErrorLog(
            "request-dropped",
            LogRecord{request->request.notify.termId, ErrLog::CommError, 0, request->sourceAddress,
                      QStringLiteral(u"端末要求破棄 IPアドレス:") +
                          Ipv4::dotted(request->sourceAddress)});
        return;
    }
    m_deciding[request->sourceAddress] = now;
    const bool isBusy = busy() || m_host.operatorBusy();
    request->files.clear();
    request->known = 1;
    if (m_decider) {
        m_decider->decide(*request, isBusy);
    } else {
        request->decision = isBusy ? UpdateDecision::Busy : UpdateDecision::NothingToSend;
    }
    auto m =
        std::make_unique<TaskMessage>(ProcessValues::CommThreadId, TaskKind::TermRequestDecide);
    m->payload[0] = std::move(request);
    m_host.postToView(std::move(m));
}

bool CommManagerCore::alreadyAccepted(const TermRequestPayload &request) const
{
    const QString &mac = request.request.notify.macAddress;
    const auto same = [&](const TermRequestPayload *other) {
        return other && (other->sourceAddress == request.sourceAddress ||
                         (!mac.isEmpty() && other->request.notify.macAddress == mac));
    };
    return std::any_of(m_queue.begin(), m_queue.end(), [&](const auto &q) { return same(q.get()); }) ||
           std::any_of(m_requestSlots.begin(), m_requestSlots.end(),
                       [&](const RequestSlot &s) { return s.busy && same(s.request.get()); });
}

void CommManagerCore::decided(std::unique_ptr<TermRequestPayload> request)
{
    m_deciding.erase(request->sourceAddress);
    int code = request->known ? request->decision : 3;
    // A terminal whose update is queued or running already, or a full
    // queue: the terminal is told that the PC is busy and asks again later.
    if ((code < 0 || code > 3) &&
        (alreadyAccepted(*request) || m_queue.size() >= std::size_t(MaxQueued)))
        code = UpdateDecision::Busy;
    if (code >= 0 && code <= 3) {
        m_host.sendAnswer(*request, Udp::buildTermRequestResult(request->sequence,
                                                                static_cast<std::uint16_t>(code)));
        return;
    }
    m_host.sendAnswer(*request, Udp::buildTermRequestAccept(request->sequence));
    m_host.writeOperationLog(
        LogRecord{request->request.notify.termId, OpeLog::RemoteWrite, -1, request->address, {}});
    m_queue.push_back(std::move(request));
    m_host.postRequestQueued();
    m_host.scheduleDispatch();
}

SessionTarget CommManagerCore::targetFor(const TermRequestPayload &request) const
{
    SessionTarget t;
    t.address = request.sourceAddress;
    t.port = request.sourcePort;
    t.termId = request.request.notify.termId;
    t.model = request.request.notify.machineName;
    t.ftpMode = m_ftpMode;
    for (const UpdateFile &f : request.files) {
        QString remote;
        switch (f.kind) {
        case UpdateFileKind::Boot:
        case UpdateFileKind::Apli:
            remote = RemoteNames::fileNameOf(f.localPath);
            break;
        case UpdateFileKind::System:
            remote = f.stamp.isEmpty() ? QString() : QStringLiteral("kel_sys%1.ini").arg(f.stamp);
            break;
        case UpdateFileKind::User:
            remote = f.stamp.isEmpty() ? QString() : QStringLiteral("kel_user%1.ini").arg(f.stamp);
            break;
        case UpdateFileKind::PhoneBook:
            remote = f.stamp.isEmpty() ? QString() : QStringLiteral("kel_dial%1.csv").arg(f.stamp);
            break;
        default:
            break;
        }
        if (remote.isEmpty())
            continue;
        t.files.append(FilePair{f.localPath, remote});
        if (RestartsTerminal(f))
            t.restartAfterRemote = true;
    }
    return t;
}

int CommManagerCore::busyRequestWorkers() const
{
    return static_cast<int>(std::count_if(m_requestSlots.begin(), m_requestSlots.end(),
                                          [](const RequestSlot &s) { return s.busy; }));
}

void CommManagerCore::onDispatch()
{
    if (!m_requestWorkersRunning)
        return;
    bool started = false;
    while (!m_queue.empty()) {
        auto free = std::find_if(m_requestSlots.begin(), m_requestSlots.end(),
                                 [](const RequestSlot &s) { return !s.busy; });
        if (free == m_requestSlots.end())
            break;
        const int slot = static_cast<int>(free - m_requestSlots.begin());
        std::unique_ptr<TermRequestPayload> request = std::move(m_queue.front());
        m_queue.pop_front();
        bool initial = request->decision == UpdateDecision::InitialSettings;
        if (initial && (!m_decider || !m_decider->prepareInitialSettings(*request))) {
            // No number or no settings file for the new terminal. It was told
            // to go ahead already, so it gets its session closed (nothing
            // written, no restart) rather than waiting for one; the failure
            // code stays with the request for its end (kind 43).
            if (request->result == 0)
                request->result = ResultCode::FileCreate;
            request->files.clear();
            initial = false;
        }
        SessionTarget target = targetFor(*request);
        const std::uint32_t op = initial                 ? WorkerMsg::InitialSettingsMsg
                                 : !target.files.empty() ? WorkerMsg::RemoteMaintenanceMsg
                                                         : WorkerMsg::ForceClose;
        free->busy = true;
        free->request = std::move(request);
        m_host.postToWorker(WorkerPool::Request, slot, WorkerMsg::RenewSession);
        m_host.postToWorker(WorkerPool::Request, slot, WorkerMsg::RemoteTarget,
                            std::make_unique<TargetPayload>(std::move(target)));
        if (!m_remoteUpdate) {
            m_remoteUpdate = true;
            m_host.postToView(std::make_unique<TaskMessage>(ProcessValues::CommThreadId,
                                                            TaskKind::RemoteSeriesBegan));
        }
        m_host.postToWorker(WorkerPool::Request, slot, op);
        m_host.setRemoteUpdateCount(busyRequestWorkers());
        started = true;
    }
    if (started)
        postSlots();
    // Requests that ended without a session may have been the last ones.
    endSeriesIfIdle();
}

void CommManagerCore::endSeriesIfIdle()
{
    if (m_remoteUpdate && m_queue.empty() && busyRequestWorkers() == 0) {
        m_remoteUpdate = false;
        m_host.postToView(std::make_unique<TaskMessage>(ProcessValues::CommThreadId,
                                                        TaskKind::RemoteSeriesEnded));
    }
}

void CommManagerCore::onRequestWorkerDone(int slot, int result)
{
    if (slot < 0 || slot >= RequestWorkers || !m_requestSlots[slot].busy)
        return;
    std::unique_ptr<TermRequestPayload> request = std::move(m_requestSlots[slot].request);
    m_requestSlots[slot].busy = false;
    // A failed initial settings preparation keeps its own code: the close
    // that followed it wrote nothing.
    if (request->decision != UpdateDecision::InitialSettings || request->result == 0)
        request->result = result;
    auto m = std::make_unique<TaskMessage>(ProcessValues::CommThreadId, TaskKind::TermRequestEnded);
    m->payload[0] = std::move(request);
    m_host.postToView(std::move(m));
    m_host.setRemoteUpdateCount(busyRequestWorkers());
    postSlots();
    if (!m_queue.empty())
        m_host.scheduleDispatch();
    else
        endSeriesIfIdle();
}

std::vector<std::unique_ptr<TermRequestPayload>> CommManagerCore::takeQueued()
{
    std::vector<std::unique_ptr<TermRequestPayload>> out;
    out.reserve(m_queue.size());
    for (auto &r : m_queue)
        out.push_back(std::move(r));
    m_queue.clear();
    // Nothing queued any more: with no worker busy the series has ended.
    endSeriesIfIdle();
    return out;
}

void CommManagerCore::postSlots()
{
    auto payload = std::make_unique<RemoteSlotsPayload>();
    for (int i = 0; i < RequestWorkers; ++i) {
        const RequestSlot &s = m_requestSlots[i];
        if (!s.busy || !s.request)
            continue;
        RemoteSlot &out = payload->workers[static_cast<std::size_t>(i)];
        out.busy = true;
        out.termId = s.request->request.notify.termId;
        out.address = s.request->address;
        for (const UpdateFile &f : s.request->files)
            out.fileKinds.append(f.kind);
    }
    auto m = std::make_unique<TaskMessage>(ProcessValues::CommThreadId, TaskKind::RemoteSlots);
    m->payload[0] = std::move(payload);
    m_host.postToView(std::move(m));
}

void CommManagerCore::shutdown()
{
    m_queue.clear();
    if (m_remoteUpdate) {
        m_remoteUpdate = false;
        m_host.postToView(std::make_unique<TaskMessage>(ProcessValues::CommThreadId,
                                                        TaskKind::RemoteSeriesEnded));
    }
}
