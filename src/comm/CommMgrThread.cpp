#include "comm/CommMgrThread.h"

#include "comm/FtpSettings.h"
#include "comm/IncomingDatagram.h"
#include "comm/TermProcThread.h"
#include "comm/UdpChannel.h"
#include "comm/WorkerMessages.h"
#include "common/Ipv4.h"
#include "common/ProcessValues.h"

#include <QFileInfo>
#include <QTimer>

#include <array>
#include <cstdio>

class CommReceiver : public MessageReceiver, public ICommHost
{
public:
    explicit CommReceiver(CCommMgrThread &owner)
        : MessageReceiver(ProcessValues::CommThreadId), m_owner(owner), m_core(*this)
    {
        m_core.setDecider(owner.m_decider);
        FtpTimerSettings::load();
        startRequestWorkers();
        m_channel.setHandler(
            [this](const QByteArray &d, std::uint32_t a, std::uint16_t p) { onDatagram(d, a, p); });
        // Counted log lines of repeated errors go out once their minute is over.
        m_repeatFlush.setInterval(OpLogFlushMs);
        QObject::connect(&m_repeatFlush, &QTimer::timeout, [] { OpLog::flushRepeated(); });
        m_repeatFlush.start();
    }

    ~CommReceiver() override
    {
        m_channel.close();
        m_owner.m_socketOpen = false;
        m_core.shutdown();
        // A worker in the middle of a long transfer must not hold up the end.
        for (auto &w : m_requestWorkers)
            if (w)
                w->abortTransfers();
        for (auto &w : m_userWorkers)
            if (w)
                w->abortTransfers();
        for (auto &w : m_requestWorkers)
            endWorker(w);
        for (auto &w : m_userWorkers)
            endWorker(w);
        ProcessValues::remoteUpdateCount = 0;
        OpLog::flushRepeated();
    }

protected:
    void onMessage(std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam) override
    {
        switch (msg) {
        case Msg::StartStop:
            onStartStop(dynamic_cast<TaskMessage *>(lParam.get()));
            return;
        case Msg::Task:
            if (dynamic_cast<TaskMessage *>(lParam.get())) {
                std::unique_ptr<TaskMessage> task(static_cast<TaskMessage *>(lParam.release()));
                m_core.onTask(std::move(task));
            }
            return;
        case WorkerMsg::SessionSend:
            if (auto *d = dynamic_cast<DatagramPayload *>(lParam.get()))
                m_channel.send(d->address, d->port, d->bytes);
            return;
        case WorkerMsg::End:
            QThread::currentThread()->quit();
            return;
        case CommMsg::TermInfoStep:
            m_core.onTermInfoStep();
            return;
        case CommMsg::SessionAnswer:
            if (auto *d = dynamic_cast<DatagramPayload *>(lParam.get()))
                m_core.onSessionAnswer(d->address, d->bytes);
            return;
        case CommMsg::TermRequestArrived:
            if (dynamic_cast<TermRequestPayload *>(lParam.get())) {
                m_core.onTermRequest(std::unique_ptr<TermRequestPayload>(
                    static_cast<TermRequestPayload *>(lParam.release())));
            }
            return;
        case CommMsg::DispatchQueue:
            m_core.onDispatch();
            return;
        case Msg::StoredRequests:
            answerStoredRequests(wParam);
            return;
        case WorkerMsg::OperationLog:
        case WorkerMsg::ErrorLog:
            if (auto *l = dynamic_cast<LogPayload *>(lParam.get())) {
                if (msg == WorkerMsg::OperationLog)
                    OpLog::writeOperation(l->value);
                else
                    OpLog::writeError(l->value);
            }
            return;
        default:
            break;
        }
        if (auto *reply = dynamic_cast<WorkerReplyPayload *>(lParam.get())) {
            if (reply->value.pool == WorkerPool::Request)
                m_core.onRequestWorkerDone(reply->value.slot, reply->value.result);
            else
                m_core.onUserWorkerDone(reply->value.slot, msg, reply->value.result);
        }
    }

    // ---- ICommHost ----
    void postToView(std::unique_ptr<TaskMessage> message) override
    {
        PostToThread(ProcessValues::MainThreadId, Msg::Task, 0, std::move(message));
    }
    void postRequestQueued() override
    {
        PostToThread(ProcessValues::MainThreadId, Msg::RequestQueued);
    }
    void postProgress(ThreadId target, int done, int total) override
    {
        auto m = std::make_unique<TaskMessage>(ProcessValues::CommThreadId, TaskKind::Progress);
        m->payload[0] = std::make_unique<ProgressPayload>(RequestProgress{done, total});
        PostToThread(target, Msg::Task, 0, std::move(m));
    }
    bool startUserWorker(int slot) override
    {
        auto &w = m_userWorkers[static_cast<std::size_t>(slot)];
        endWorker(w);
        w = std::make_unique<CTermProcThread>(WorkerPool::User, slot, threadId());
        if (!w->launch(QThread::HighPriority)) {
            w.reset();
            return false;
        }
        return true;
    }
    void endUserWorker(int slot) override
    {
        endWorker(m_userWorkers[static_cast<std::size_t>(slot)]);
    }
    void postToWorker(WorkerPool pool, int slot, std::uint32_t msg,
                      std::unique_ptr<Payload> payload) override
    {
        auto &w = pool == WorkerPool::User ? m_userWorkers[static_cast<std::size_t>(slot)]
                                           : m_requestWorkers[static_cast<std::size_t>(slot)];
        if (w)
            PostToThread(w->id(), msg, static_cast<quintptr>(slot), std::move(payload));
    }
    void send(std::uint32_t address, std::uint16_t port, const QByteArray &datagram) override
    {
        m_channel.send(address, port, datagram);
    }
    void sendAnswer(const TermRequestPayload &request, const QByteArray &datagram) override
    {
        const auto dropped =
            m_channel.sendAnswer(request.sourceAddress, request.sourcePort, datagram,
                                 request.known == 0, request.request.notify.termId);
        if (dropped)
            OpLog::writeErrorRepeated(
                "answer-dropped",
                LogRecord{dropped->termId, ErrLog::CommError, 0, dropped->address,
                          QStringLiteral(u"端末要求応答破棄 IPアドレス:") +
                              Ipv4::dotted(dropped->address)});
    }
    void scheduleTermInfoStep(int delayMs) override
    {
        if (delayMs <= 0) {
            PostToThread(threadId(), CommMsg::TermInfoStep);
            return;
        }
        const ThreadId self = threadId();
        // Precise: a coarse timer may fire up to 5 % early, closer than the pacing allows.
        QTimer::singleShot(delayMs, Qt::PreciseTimer, this,
                           [self] { PostToThread(self, CommMsg::TermInfoStep); });
    }
    void scheduleDispatch() override { PostToThread(threadId(), CommMsg::DispatchQueue); }
    void writeOperationLog(const LogRecord &record) override { OpLog::writeOperation(record); }
    void writeErrorLog(const LogRecord &record) override { OpLog::writeError(record); }
    void writeRepeatedErrorLog(const char *kind, const LogRecord &record) override
    {
        OpLog::writeErrorRepeated(kind, record);
    }
    QDateTime now() override { return QDateTime::currentDateTime(); }
    std::optional<QDateTime> fileLastWrite(const QString &path) override
    {
        const QFileInfo info(ResolveLocalPath(path));
        if (!info.exists())
            return std::nullopt;
        return info.lastModified();
    }
    void reloadFtpTimeouts() override { FtpTimerSettings::load(); }
    bool operatorBusy() override { return (ProcessValues::operatorBusy.load() & 1) != 0; }
    void setRemoteUpdateCount(int busy) override
    {
        ProcessValues::remoteUpdateCount = static_cast<std::uint32_t>(busy);
    }

private:
    // The user interface asks how many terminal-initiated requests are
    // stored, or takes them all; the answer goes to the main thread.
    void answerStoredRequests(quintptr ask)
    {
        auto answer = std::make_unique<StoredRequestsPayload>();
        answer->ask = ask;
        answer->count = m_core.queuedCount();
        if (ask == StoredAsk::TakeAll)
            answer->taken = m_core.takeQueued();
        PostToThread(ProcessValues::MainThreadId, Msg::StoredRequests, ask, std::move(answer));
    }

    void startRequestWorkers()
    {
        int started = 0;
        for (int slot = 0; slot < CommManagerCore::RequestWorkers; ++slot) {
            auto w = std::make_unique<CTermProcThread>(WorkerPool::Request, slot, threadId());
            if (!w->launch(QThread::HighPriority))
                break;
            m_requestWorkers[static_cast<std::size_t>(slot)] = std::move(w);
            ++started;
        }
        if (started < CommManagerCore::RequestWorkers) {
            for (auto &w : m_requestWorkers)
                endWorker(w);
        }
        m_core.setRequestWorkersRunning(started == CommManagerCore::RequestWorkers);
    }

    void endWorker(std::unique_ptr<CTermProcThread> &w)
    {
        if (!w)
            return;
        PostToThread(w->id(), WorkerMsg::End);
        w->wait();
        w.reset();
    }

    void onStartStop(TaskMessage *task)
    {
        if (!task)
            return;
        auto *settings = task->slot<CommSettingsPayload>(0);
        if (task->kind == TaskKind::Start) {
            CommSettings s = settings ? settings->value : CommSettings{};
            m_core.start(s);
            m_channel.setEntryInt(s.entryInt);
            const bool share =
                qEnvironmentVariableIntValue(CCommMgrThread::TestSharedPortVariable) == 1;
            if (!m_channel.open(static_cast<std::uint16_t>(s.udpPort), share))
                reportPortProblem(s.udpPort, m_channel.errorText());
            m_owner.m_socketOpen = m_channel.isOpen();
        } else if (task->kind == TaskKind::SettingsChanged && settings) {
            m_core.settingsChanged(settings->value.ftpMode, settings->value.entryInt);
            m_channel.setEntryInt(settings->value.entryInt);
        } else if (task->kind == TaskKind::Stop) {
            QThread::currentThread()->quit();
        }
    }

    // Without the port the program hears no terminal: the user is told.
    void reportPortProblem(int port, const QString &reason)
    {
        if (m_owner.m_portProblemTo != 0 &&
            PostToThread(m_owner.m_portProblemTo, CCommMgrThread::PortUnavailableMsg, 0,
                         std::make_unique<PortProblemPayload>(PortProblem{port, reason})))
            return;
        std::fprintf(stderr, "UDP port %d: %s\n", port, reason.toLocal8Bit().constData());
    }

    // On the socket's receiving thread: notices are answered and handed to
    // the user interface from here, so a burst never waits for the manager.
    void onDatagram(const QByteArray &datagram, std::uint32_t source, std::uint16_t port)
    {
        struct Sink : IIncomingSink {
            UdpChannel &channel;
            explicit Sink(UdpChannel &c) : channel(c) {}
            void ackNotice(const Udp::TermNotify &notice, std::uint32_t source,
                           std::uint16_t to) override
            {
                if (channel.sendNoticeAck(source, notice.address, to) ==
                    SendQueue::AckPush::Full)
                    OpLog::writeErrorRepeated(
                        "ack-dropped", LogRecord{notice.termId, ErrLog::CommError, 0, source,
                                                 QStringLiteral(u"端末通知応答破棄 IPアドレス:") +
                                                     Ipv4::dotted(source)});
            }
            void post(ThreadId target, std::uint32_t msg, std::unique_ptr<Payload> payload) override
            {
                PostToThread(target, msg, 0, std::move(payload));
            }
        } sink(m_channel);
        DispatchIncoming(datagram, source, port, sink);
    }

    static constexpr int OpLogFlushMs = 60 * 1000;

    CCommMgrThread &m_owner;
    QTimer m_repeatFlush;
    CommManagerCore m_core;
    UdpChannel m_channel;
    std::array<std::unique_ptr<CTermProcThread>, CommManagerCore::UserWorkers> m_userWorkers;
    std::array<std::unique_ptr<CTermProcThread>, CommManagerCore::RequestWorkers> m_requestWorkers;
};

CCommMgrThread::CCommMgrThread(QObject *parent) : MessageThread(parent) {}

CCommMgrThread::~CCommMgrThread()
{
    stopAndWait();
}

std::unique_ptr<MessageReceiver> CCommMgrThread::makeReceiver()
{
    return std::make_unique<CommReceiver>(*this);
}
