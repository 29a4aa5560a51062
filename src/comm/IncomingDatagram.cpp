#include "comm/IncomingDatagram.h"

#include "comm/CommPayloads.h"
#include "comm/UdpMessages.h"
#include "comm/WorkerMessages.h"
#include "common/ProcessValues.h"

void DispatchIncoming(const QByteArray &datagram, std::uint32_t source, std::uint16_t port,
                      IIncomingSink &sink)
{
    Udp::IncomingResult in = Udp::parseIncoming(datagram);
    if (in.status != Udp::ParseStatus::Ok)
        return;
    if (auto *notice = std::get_if<Udp::TermNotify>(&in.message)) {
        sink.ackNotice(*notice, source, port);
        auto payload = std::make_unique<NoticePayload>();
        payload->notice = std::move(*notice);
        payload->source = source;
        auto m = std::make_unique<TaskMessage>(ProcessValues::CommThreadId, TaskKind::TermNotice);
        m->payload[0] = std::move(payload);
        sink.post(ProcessValues::MainThreadId, Msg::Task, std::move(m));
    } else if (std::holds_alternative<Udp::SessionAnswer>(in.message)) {
        auto d = std::make_unique<DatagramPayload>();
        d->address = source;
        d->port = port;
        d->bytes = datagram.left(Udp::ReceiveSize);
        sink.post(ProcessValues::CommThreadId, CommMsg::SessionAnswer, std::move(d));
    } else if (auto *request = std::get_if<Udp::TermRequest>(&in.message)) {
        auto r = std::make_unique<TermRequestPayload>();
        r->address = request->notify.address;
        r->sourceAddress = source;
        r->sourcePort = port;
        r->sequence = request->sequence;
        r->request = std::move(*request);
        sink.post(ProcessValues::CommThreadId, CommMsg::TermRequestArrived, std::move(r));
    }
}
