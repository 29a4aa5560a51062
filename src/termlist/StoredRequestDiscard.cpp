#include "termlist/StoredRequestDiscard.h"

#include "comm/CommPayloads.h"
#include "common/CommandScope.h"
#include "common/ProcessValues.h"
#include "termlist/CommandFlow.h"

#include <QCoreApplication>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(StoredRequestDiscard)
};
} // namespace

void StoredRequestDiscard::onStopPressed()
{
    if (m_phase != Phase::Idle)
        return;
    // New terminal requests are answered "busy" while this runs.
    ProcessValues::operatorBusy.fetch_or(1);
    BusyTimer::stop();
    m_phase = Phase::Counting;
    if (!m_ctx.post(m_ctx.comm, Msg::StoredRequests, StoredAsk::Count, {})) {
        m_phase = Phase::Idle;
        BusyTimer::start();
    }
}

void StoredRequestDiscard::onAnswer(std::unique_ptr<StoredRequestsPayload> answer)
{
    if (!answer)
        return;
    if (answer->ask == StoredAsk::TakeAll) {
        // Handed over to be dropped: they go with the answer.
        m_discarded += static_cast<int>(answer->taken.size());
        return;
    }
    if (m_phase != Phase::Counting)
        return;
    if (answer->count == 0) {
        m_phase = Phase::Idle;
        BusyTimer::start();
        return;
    }
    m_phase = Phase::Asking;
    m_seriesEnded = false;
    m_ctx.host.setMainEnabled(false);
    const int choice = m_ctx.ask().closableMessageBox(
        370, 2, Tr::tr("蓄積されているリモート設定要求を破棄します。\nよろしいですか？"),
        Tr::tr("リモート設定要求の破棄確認"), MsgType::IconQuestion | MsgType::YesNo, m_box);
    if (choice == MsgResult::Yes)
        m_ctx.post(m_ctx.comm, Msg::StoredRequests, StoredAsk::TakeAll, {});
    else if (m_seriesEnded)
        m_ctx.host.closeRemoteWindow();
    else
        m_ctx.host.enableRemoteStop();
    finish();
}

void StoredRequestDiscard::seriesEnded()
{
    m_seriesEnded = true;
    m_box.close();
}

void StoredRequestDiscard::finish()
{
    if (m_ctx.schedule && m_ctx.schedule->scheduleSettingsOpen())
        m_ctx.host.enableRemoteWindow();
    else if (!m_flow.awaiting())
        m_ctx.host.setMainEnabled(true);
    ProcessValues::operatorBusy.fetch_and(~1u);
    m_ctx.refreshIfPending();
    BusyTimer::start();
    m_phase = Phase::Idle;
}
