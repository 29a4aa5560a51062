#include "comm/TermProcThread.h"

#include "comm/FtpSettings.h"
#include "comm/UdpMessages.h"
#include "comm/WorkerMessages.h"
#include "common/Cp932.h"
#include "common/Ipv4.h"
#include "common/ProcessValues.h"
#include "common/SignalEvent.h"
#include "common/TimerPayload.h"
#include "history/SettingsHistory.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <thread>

QString ResolveLocalPath(const QString &path)
{
    if (path.isEmpty() || !QDir::isRelativePath(path))
        return path;
    return ProcessValues::programPath(path);
}

// ---- FTP step ----------------------------------------------------------------

FtpOptions FtpStep::optionsFor(std::uint32_t op, const FtpOptions &current)
{
    FtpOptions o = current;
    switch (op) {
    case WorkerMsg::ReadSettings:
    case WorkerMsg::WriteSettings:
    case WorkerMsg::SchedWriteSettings:
    case WorkerMsg::SchedReadSettings:
        o.connectTimeoutMs = 5000;
        o.connectRetries = 3;
        o.controlTimeoutMs = 10000;
        o.dataTimeoutMs = 30000;
        break;
    case WorkerMsg::WriteBoot:
    case WorkerMsg::WriteApli:
    case WorkerMsg::RemoteMaintenance:
    case WorkerMsg::SchedWriteFirmware:
    case WorkerMsg::InitialSettings: {
        const FtpTimeouts t = FtpTimerSettings::current();
        o.connectTimeoutMs = 5000;
        o.connectRetries = 3;
        o.controlTimeoutMs = t.controlRecvSec * 1000;
        o.dataTimeoutMs = t.dataRecvSec * 1000;
        break;
    }
    default:
        break;
    }
    return o;
}

bool FtpStep::upload(const FilePair &file)
{
    const QString local = ResolveLocalPath(file.localPath);
    SettingsHistory::SendMark mark(m_termId, local);
    if (!m_client.upload(local, FtpClient::remoteFileName(file.remoteName)))
        return false;
    mark.transferred();
    return true;
}

bool FtpStep::download(const FilePair &file)
{
    // A terminal's own file keeps the version it replaces in its history.
    const QString local = ResolveLocalPath(file.localPath);
    return SettingsHistory::replaceFile(m_termId, local, SettingsHistory::Origin::Read, [&] {
        return m_client.download(FtpClient::remoteFileName(file.remoteName), local);
    });
}

int FtpStep::run(const TransferJob &job, const LogPoster &postOperationLog)
{
    const SessionTarget &t = job.target;
    const std::uint32_t op = job.operation;
    m_termId = t.termId;
    FtpOptions options = optionsFor(op, m_client.options());
    options.passive = t.ftpMode == 1;
    m_client.setOptions(options);
    if (pauseBeforeMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseBeforeMs));

    if (!m_client.connect(Ipv4::dotted(t.address), m_port, Cp932::encode(job.account.user),
                          Cp932::encode(job.account.password)))
        return ResultCode::FtpConnect;

    bool missing = false;
    bool ok = true;
    const FilePair single{t.localPath, t.remoteName};
    auto opeLine = [&](int number, const QString &file, int code) {
        LogRecord r{t.termId, number, code, t.address, code < 0 ? file : QString()};
        OpLog::writeOperation(r);
    };

    switch (op) {
    case WorkerMsg::ReadSettings:
        ok = download(single);
        ProcessesEvent().set();
        break;
    case WorkerMsg::WriteSettings:
    case WorkerMsg::WriteBoot:
    case WorkerMsg::WriteApli:
        ok = upload(single);
        break;
    case WorkerMsg::SchedWriteSettings:
    case WorkerMsg::SchedWriteFirmware:
    case WorkerMsg::SchedReadSettings: {
        const bool read = op == WorkerMsg::SchedReadSettings;
        const int number = op == WorkerMsg::SchedWriteSettings ? OpeLog::SettingsWrite
                           : read                              ? OpeLog::SettingsRead
                                                               : OpeLog::FirmWrite;
        int moved = 0;
        for (const FilePair &f : t.files) {
            if (f.localPath.isEmpty())
                continue;
            ++moved;
            opeLine(number, f.localPath, -1);
            if (!read && !QFile::exists(ResolveLocalPath(f.localPath))) {
                missing = true;
                continue;
            }
            ok = read ? download(f) : upload(f);
            opeLine(number, f.localPath, ok ? ResultCode::Success : ResultCode::FtpTransfer);
            if (!ok)
                break;
        }
        if (moved == 0) {
            opeLine(number, QString(), ResultCode::FileMissing);
            missing = true;
        }
        break;
    }
    case WorkerMsg::RemoteMaintenance:
    case WorkerMsg::InitialSettings: {
        const bool initial = op == WorkerMsg::InitialSettings;
        for (const FilePair &f : t.files) {
            postOperationLog(LogRecord{t.termId,
                                       initial ? OpeLog::InitialSettings : OpeLog::RemoteWrite, -1,
                                       t.address, f.localPath});
            ok = upload(f);
            if (!ok)
                break;
            postOperationLog(LogRecord{t.termId,
                                       initial ? OpeLog::InitialSettingsEnd : OpeLog::RemoteWrite,
                                       ResultCode::Success,
                                       t.address,
                                       {}});
        }
        break;
    }
    default:
        break;
    }
    m_client.close();
    const int result = missing ? ResultCode::FileMissing
                       : ok    ? ResultCode::Success
                               : ResultCode::FtpTransfer;
    if (pauseAfterMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseAfterMs));
    return result;
}

// ---- worker ----------------------------------------------------------------

namespace
{

class WorkerReceiver : public MessageReceiver, public ISessionHost
{
public:
    WorkerReceiver(WorkerPool pool, int slot, ThreadId manager, const std::atomic<bool> *abort)
        : m_pool(pool), m_slot(slot), m_manager(manager), m_step(m_ftp)
    {
        m_ftp.setAbortFlag(abort);
        renew();
    }
    ~WorkerReceiver() override
    {
        m_session.reset();
        m_ftp.close();
    }

protected:
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> lParam) override
    {
        switch (msg) {
        case WorkerMsg::Target:
        case WorkerMsg::RemoteTarget:
            if (auto *t = dynamic_cast<TargetPayload *>(lParam.get())) {
                if (msg == WorkerMsg::Target)
                    m_session->onTarget(t->value);
                else
                    m_session->onRemoteTarget(t->value);
            }
            return;
        case WorkerMsg::RenewSession:
            renew();
            return;
        case WorkerMsg::Datagram:
            if (auto *d = dynamic_cast<DatagramPayload *>(lParam.get()))
                onDatagram(d->bytes);
            return;
        case WorkerMsg::End:
            QThread::currentThread()->quit();
            return;
        case Msg::Task:
            if (auto *task = dynamic_cast<TaskMessage *>(lParam.get())) {
                if (task->kind == TaskKind::TimerExpired) {
                    // Only the wait now running: an expiry that crossed its
                    // stop belongs to an earlier wait, perhaps of an earlier
                    // session with the same timer id.
                    const TimerSpec *timerSpec = TimerSpecOf(*task);
                    if (timerSpec && m_waitGeneration != 0 &&
                        timerSpec->generation == m_waitGeneration)
                        m_session->onTimeout(timerSpec->id);
                }
            }
            return;
        default:
            if (const auto event = sessionEventForMessage(msg))
                m_session->onOperation(*event);
            return;
        }
    }

    // ---- ISessionHost ----
    bool sendDatagram(std::uint32_t address, std::uint16_t port,
                      const QByteArray &datagram) override
    {
        auto d = std::make_unique<DatagramPayload>();
        d->address = address;
        d->port = port;
        d->bytes = datagram;
        return PostToThread(m_manager, WorkerMsg::SessionSend, static_cast<quintptr>(m_slot),
                            std::move(d));
    }
    void startTimer(std::uint16_t timerId, int ticks) override
    {
        if (++m_lastGeneration == 0)
            ++m_lastGeneration;
        m_waitGeneration = m_lastGeneration;
        PostToThread(ProcessValues::TimerThreadId, Msg::Task, 0,
                     MakeTimerMessage(threadId(), TaskKind::TimerStart,
                                      {threadId(), timerId, static_cast<std::uint16_t>(ticks),
                                       m_waitGeneration}));
    }
    void stopTimer(std::uint16_t timerId) override
    {
        m_waitGeneration = 0;
        PostToThread(ProcessValues::TimerThreadId, Msg::Task, 0,
                     MakeTimerMessage(threadId(), TaskKind::TimerStop, {threadId(), timerId, 0}));
    }
    bool localFileExists(const QString &path) override
    {
        return !path.isEmpty() && QFile::exists(ResolveLocalPath(path));
    }
    std::optional<FtpAccount> lookupAccount(const QString &model) override
    {
        FtpAccount a;
        a.model = model;
        if (!LookupFtpAccount(model, a.user, a.password))
            return std::nullopt;
        return a;
    }
    void startTransfer(const TransferJob &job) override
    {
        const int result = m_step.run(job, [this](const LogRecord &r) {
            PostToThread(m_manager, WorkerMsg::OperationLog, static_cast<quintptr>(m_slot),
                         std::make_unique<LogPayload>(r));
        });
        m_session->onTransferDone(result);
    }
    void closeFtp() override { m_ftp.close(); }
    void reportResult(std::uint32_t replyMsg, int result) override
    {
        PostToThread(m_manager, replyMsg, static_cast<quintptr>(m_slot),
                     std::make_unique<WorkerReplyPayload>(WorkerReply{m_pool, m_slot, result}));
    }
    void postErrorLog(const LogRecord &record) override
    {
        PostToThread(m_manager, WorkerMsg::ErrorLog, static_cast<quintptr>(m_slot),
                     std::make_unique<LogPayload>(record));
    }

private:
    void renew()
    {
        m_waitGeneration = 0;
        m_ftp.close();
        m_session = std::make_unique<MaintenanceSession>(*this, m_slot);
    }
    void onDatagram(const QByteArray &bytes)
    {
        switch (Udp::messageCode(bytes)) {
        case Udp::Code::RemoteOpenAck:
            m_session->onOpenAck();
            break;
        case Udp::Code::RemoteOpenNak:
            if (const auto nak = Udp::parseRemoteOpenNak(bytes))
                m_session->onOpenNak(nak.value);
            break;
        case Udp::Code::RemoteCloseAck:
            m_session->onCloseAck();
            break;
        default:
            break;
        }
    }

    WorkerPool m_pool;
    int m_slot;
    ThreadId m_manager;
    FtpClient m_ftp;
    FtpStep m_step;
    std::unique_ptr<MaintenanceSession> m_session;
    // Marks of the worker's timer starts: the one running (0: none) and the
    // last one given, never repeated while the worker lives.
    std::uint32_t m_waitGeneration = 0;
    std::uint32_t m_lastGeneration = 0;
};

} // namespace

CTermProcThread::CTermProcThread(WorkerPool pool, int slot, ThreadId manager, QObject *parent)
    : MessageThread(parent), m_pool(pool), m_slot(slot), m_manager(manager)
{
}

CTermProcThread::~CTermProcThread()
{
    stopAndWait();
}

std::unique_ptr<MessageReceiver> CTermProcThread::makeReceiver()
{
    return std::make_unique<WorkerReceiver>(m_pool, m_slot, m_manager, &m_abort);
}
