#include "termlist/ViewNotifications.h"

#include "comm/CommPayloads.h"
#include "common/TimerPayload.h"
#include "termlist/CommandFlow.h"
#include "termlist/CommandResults.h"
#include "termlist/FirmChecks.h"
#include "termlist/NoticeApplier.h"
#include "termlist/RemoteUpdateTexts.h"
#include "termlist/StoredRequestDiscard.h"

#include <algorithm>

namespace
{

bool isCompletion(int kind)
{
    return kind == TaskKind::RequestEnded ||
           (kind >= CompletionKind::Restart && kind <= CompletionKind::WriteApli && kind % 2 == 1);
}

bool isScheduleStep(int kind)
{
    return kind == CompletionKind::ScheduleRestart ||
           kind == CompletionKind::ScheduleWriteSettings ||
           kind == CompletionKind::ScheduleReadSettings || kind == CompletionKind::ScheduleWriteFirm;
}

} // namespace

void ViewNotifications::onMessage(std::uint32_t msg, std::unique_ptr<Payload> payload)
{
    if (msg == Msg::Task) {
        if (auto *task = dynamic_cast<TaskMessage *>(payload.get())) {
            payload.release();
            onTask(std::unique_ptr<TaskMessage>(task));
        }
    } else if (msg == Msg::DiscardRequests) {
        m_discard.onStopPressed();
    } else if (msg == Msg::StoredRequests) {
        if (auto *answer = dynamic_cast<StoredRequestsPayload *>(payload.get())) {
            payload.release();
            m_discard.onAnswer(std::unique_ptr<StoredRequestsPayload>(answer));
        }
    }
}

void ViewNotifications::onTask(std::unique_ptr<TaskMessage> task)
{
    const int kind = task->kind;
    if (isCompletion(kind))
        return onCompletion(std::move(task));
    if (isScheduleStep(kind))
        return onScheduleStep(std::move(task));
    switch (kind) {
    case TaskKind::TermNotice:
        if (auto *notice = task->slot<NoticePayload>(0))
            m_ctx.notices.onNotice(notice->notice, notice->source);
        break;
    case TaskKind::TimerExpired: {
        const TimerSpec *timer = TimerSpecOf(*task);
        if (!timer || !m_ctx.notices.onTimerExpired(*timer))
            m_ctx.refreshIfPending();
        break;
    }
    case TaskKind::TermInfoSent:
        // The row shows "端末情報取得中" from the next redraw on.
        recordResults(*task);
        break;
    case TaskKind::TermRequestEnded:
        onTermRequestEnded(*task);
        break;
    case TaskKind::RemoteSeriesBegan:
        m_ctx.host.showRemoteWindow();
        break;
    case TaskKind::RemoteSeriesEnded:
        if (m_discard.questionOpen())
            m_discard.seriesEnded();
        else
            m_ctx.host.closeRemoteWindow();
        break;
    case TaskKind::RemoteSlots:
        if (auto *report = task->slot<RemoteSlotsPayload>(0))
            m_ctx.host.setRemoteLines(RemoteUpdateTexts::lines(*report));
        break;
    case TaskKind::TermRequestDecide:
        onTermRequest(std::move(task));
        break;
    default:
        break;
    }
}

void ViewNotifications::recordResults(const TaskMessage &task)
{
    const RequestPayload *request = RequestOf(task);
    if (!request)
        return;
    // Notices received before the results keep their place before them.
    m_ctx.notices.flush();
    CommandResults::record(m_ctx.db, *request, CommandResults::resultKindOf(task.kind));
    startFirmChecks(FirmChecks::written(task.kind, *request));
}

void ViewNotifications::startFirmChecks(const std::vector<FirmChecks::Written> &writes)
{
    if (!writes.empty() && FirmChecks::start(m_ctx.db, writes) > 0 && m_ctx.firmChecks)
        m_ctx.firmChecks->check();
}

void ViewNotifications::onCompletion(std::unique_ptr<TaskMessage> task)
{
    const RequestPayload *request = RequestOf(*task);
    if (!request)
        return;
    IScheduleCompletionSink *schedule = m_ctx.schedule;
    if (task->kind == TaskKind::RequestEnded && request->endFlag == 0 && schedule &&
        request->progressTarget == schedule->requestReceiver())
        return schedule->scheduleStepComplete(std::move(task));

    m_flow.completed();
    recordResults(*task);
    if (ITerminalFileWaiter *waiter = m_ctx.waiter) {
        m_ctx.waiter = nullptr;
        const bool any = request->endFlag == 1 &&
                         std::any_of(request->entries.begin(), request->entries.end(),
                                     [](const TerminalEntry &e) { return e.result == 0; });
        m_ctx.host.setRefreshPending();
        return waiter->terminalFileDone(any, std::move(task));
    }
    m_ctx.host.setMainEnabled(true);
    m_ctx.host.refreshList();
}

void ViewNotifications::onScheduleStep(std::unique_ptr<TaskMessage> task)
{
    recordResults(*task);
    if (m_ctx.schedule)
        m_ctx.schedule->scheduleStepComplete(std::move(task));
}

void ViewNotifications::onTermRequestEnded(const TaskMessage &task)
{
    const auto *request = task.slot<TermRequestPayload>(0);
    if (!request)
        return;
    m_ctx.notices.flush();
    const bool running = m_ctx.initialSettingsRunning();
    // A request run as initial settings is one, even when the range filled
    // up (and waiting ended) while its session was still closing.
    const bool initial = running || request->decision == UpdateDecision::InitialSettings;
    CommandResults::recordTermRequest(
        m_ctx.db, *request, CommandResults::resultKindOf(TaskKind::TermRequestEnded, initial));
    startFirmChecks(FirmChecks::written(*request));
    // A command in progress redraws at its end.
    if (m_ctx.host.mainEnabled())
        m_ctx.host.refreshList();
    else
        m_ctx.host.setRefreshPending();
    if (running)
        m_ctx.initialSettings->requestEnded();
}

void ViewNotifications::onTermRequest(std::unique_ptr<TaskMessage> task)
{
    auto *request = task->slot<TermRequestPayload>(0);
    if (!request)
        return;
    m_ctx.notices.flush();
    // A result written shows with the next redraw of the redraw timer: a
    // re-read here would let a stranger's requests keep the list busy.
    if (CommandResults::markTermRequest(m_ctx.db, *request, m_ctx.initialSettingsRunning()))
        m_ctx.notices.requestRedraw();
    task->kind = TaskKind::TermRequestDecision;
    task->sender = m_ctx.self;
    m_ctx.post(m_ctx.comm, Msg::Task, 0, std::move(task));
}
