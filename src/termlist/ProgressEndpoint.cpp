#include "termlist/ProgressEndpoint.h"

#include "comm/CommPayloads.h"

void ProgressEndpoint::onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> lParam)
{
    auto *task = dynamic_cast<TaskMessage *>(lParam.get());
    if (msg != Msg::Task || !task || task->kind != TaskKind::Progress)
        return;
    if (const auto *p = task->slot<ProgressPayload>(0))
        m_window.progress(p->value.done, p->value.total);
}
