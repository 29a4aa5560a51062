// Any bytes that reach the UDP port: the receiving side's dispatch (the code
// the socket thread runs up to the point where it posts), every reader of
// the message formats, and the builders' round trip with the readers.
#include "FuzzSupport.h"

#include "comm/CommPayloads.h"
#include "comm/IncomingDatagram.h"
#include "comm/UdpMessages.h"
#include "comm/WorkerMessages.h"
#include "common/ProcessValues.h"

#include <vector>

namespace
{

constexpr std::uint32_t Source = 0x7F000002;
constexpr std::uint16_t SourcePort = 4000;

struct Posted {
    ThreadId target;
    std::uint32_t msg;
    std::unique_ptr<Payload> payload;
};

struct RecordingSink : IIncomingSink {
    int acks = 0;
    std::uint32_t ackAddress = 0;
    std::uint16_t ackPort = 0;
    std::vector<Posted> posted;
    void ackNotice(const Udp::TermNotify &notice, std::uint32_t, std::uint16_t port) override
    {
        ++acks;
        ackAddress = notice.address;
        ackPort = port;
    }
    void post(ThreadId target, std::uint32_t msg, std::unique_ptr<Payload> payload) override
    {
        posted.push_back({target, msg, std::move(payload)});
    }
};

QString hex(const QByteArray &b)
{
    return QString::fromLatin1(b.left(64).toHex());
}

bool isMacText(const QString &m)
{
    if (m.isEmpty())
        return true;
    if (m.size() != 17)
        return false;
    for (int i = 0; i < 17; ++i) {
        const char16_t c = m[i].unicode();
        const bool ok = i % 3 == 2 ? c == u':'
                                   : (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
        if (!ok)
            return false;
    }
    return true;
}

void checkTexts(const Udp::TermNotify &n, const QByteArray &d)
{
    for (const QString *t : {&n.termId, &n.vendor, &n.machineName, &n.machineType,
                             &n.termTypeInfo1, &n.termTypeInfo2, &n.verBoot, &n.verApli,
                             &n.verInfo1, &n.verInfo2, &n.verInfo3, &n.macAddress, &n.userInfo2})
        FUZZ_CHECK(!t->contains(QChar(0)), hex(d));
    FUZZ_CHECK(n.termId.size() <= 64 && n.verApli.size() <= 10, hex(d));
    FUZZ_CHECK(isMacText(n.macAddress), n.macAddress);
}

// The readers of the messages the PC sends must read back what the builder
// wrote, whatever the arguments.
void builderRoundTrip(std::uint16_t code, std::uint16_t a1, std::uint16_t a2)
{
    const QByteArray b = Udp::buildMessage(code, a1, a2, QDateTime(QDate(2016, 2, 29), QTime(23, 59, 58)));
    switch (code) {
    case Udp::Code::TermNotifyAck: {
        const auto p = Udp::parseTermNotifyAck(b);
        FUZZ_CHECK(p && p.value.year2 == 16 && p.value.day == 29 && p.value.second == 58 &&
                       p.value.entryInt == (a1 & 0xFF) && p.value.dayOfWeek == 1,
                   hex(b));
        break;
    }
    case Udp::Code::RemoteCloseReq: {
        const auto p = Udp::parseRemoteCloseReq(b);
        FUZZ_CHECK(p && p.value == (a1 == 1), hex(b));
        break;
    }
    case Udp::Code::TermRequestAccept: {
        const auto p = Udp::parseTermRequestAccept(b);
        FUZZ_CHECK(p && p.value == a2, hex(b));
        break;
    }
    case Udp::Code::TermRequestResult: {
        const auto p = Udp::parseTermRequestResult(b);
        FUZZ_CHECK(p && p.value.sequence == a2 && p.value.result == a1, hex(b));
        break;
    }
    case Udp::Code::TermInfoReq:
        FUZZ_CHECK(Udp::parseTermInfoReq(b) == Udp::ParseStatus::Ok, hex(b));
        break;
    case Udp::Code::RemoteOpenReq:
        FUZZ_CHECK(Udp::parseRemoteOpenReq(b) == Udp::ParseStatus::Ok && b.size() == 4, hex(b));
        break;
    default:
        FUZZ_CHECK(b.isEmpty(), hex(b));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray d(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray cut = d.left(Udp::ReceiveSize);
    const std::uint16_t code = Udp::messageCode(d);

    RecordingSink sink;
    DispatchIncoming(d, Source, SourcePort, sink);

    // What must come of it, from the message table alone.
    const qsizetype n = cut.size();
    const bool notice = code == Udp::Code::TermNotify && n >= 326;
    const bool request = code == Udp::Code::TermRequest && n >= 326;
    const bool answer = n >= 2 && (code == Udp::Code::RemoteOpenAck ||
                                   code == Udp::Code::RemoteCloseAck ||
                                   (code == Udp::Code::RemoteOpenNak && n >= 6));
    FUZZ_CHECK(sink.posted.size() == ((notice || request || answer) ? 1u : 0u), hex(d));
    FUZZ_CHECK(sink.acks == (notice ? 1 : 0), hex(d));
    FUZZ_CHECK(Udp::isAcceptedCode(code) || sink.posted.empty(), hex(d));

    if (!sink.posted.empty()) {
        Posted &p = sink.posted.front();
        if (notice) {
            FUZZ_CHECK(p.target == ProcessValues::MainThreadId && p.msg == Msg::Task, hex(d));
            auto *task = dynamic_cast<TaskMessage *>(p.payload.get());
            FUZZ_CHECK(task && task->kind == TaskKind::TermNotice, hex(d));
            auto *np = task->slot<NoticePayload>(0);
            FUZZ_CHECK(np != nullptr, hex(d));
            checkTexts(np->notice, d);
            FUZZ_CHECK(sink.ackAddress == np->notice.address && sink.ackPort == SourcePort, hex(d));
            // What the builder writes of a notice reads back the same.
            const auto again = Udp::parseTermNotify(Udp::buildTermNotify(np->notice));
            FUZZ_CHECK(again.ok(), hex(d));
            const auto third = Udp::parseTermNotify(Udp::buildTermNotify(again.value));
            FUZZ_CHECK(third.ok() && third.value == again.value, hex(d));
        } else if (request) {
            auto *r = dynamic_cast<TermRequestPayload *>(p.payload.get());
            FUZZ_CHECK(p.target == ProcessValues::CommThreadId &&
                           p.msg == CommMsg::TermRequestArrived && r,
                       hex(d));
            checkTexts(r->request.notify, d);
            FUZZ_CHECK(r->sourceAddress == Source && r->sourcePort == SourcePort &&
                           r->sequence == Udp::readBe16(d, 2) &&
                           r->request.fileSelect == Udp::readBe16(d, 324) &&
                           r->address == r->request.notify.address,
                       hex(d));
            const QByteArray &field = r->request.stampField;
            FUZZ_CHECK(field == d.mid(274, 50), hex(d));
            const auto items = r->request.stamps();
            for (const QByteArray &item : items)
                FUZZ_CHECK(item.size() <= 16, hex(d));
            FUZZ_CHECK(items[0].isEmpty() || field[16] == ',', hex(d));
        } else {
            auto *dp = dynamic_cast<DatagramPayload *>(p.payload.get());
            FUZZ_CHECK(p.target == ProcessValues::CommThreadId && p.msg == CommMsg::SessionAnswer &&
                           dp && dp->bytes == cut && dp->address == Source &&
                           dp->port == SourcePort,
                       hex(d));
            if (code == Udp::Code::RemoteOpenNak)
                FUZZ_CHECK(Udp::parseRemoteOpenNak(dp->bytes).value == Udp::readBe16(d, 4),
                           hex(d));
        }
    }

    // The readers of the PC's own messages (terminal side) on the same bytes.
    (void)Udp::parseTermNotifyAck(d);
    (void)Udp::parseTermInfoReq(d);
    (void)Udp::parseRemoteOpenReq(d);
    (void)Udp::parseRemoteCloseReq(d);
    (void)Udp::parseTermRequestAccept(d);
    (void)Udp::parseTermRequestResult(d);
    builderRoundTrip(std::uint16_t(code & 0x00FF), Udp::readBe16(d, 2), Udp::readBe16(d, 4));
    return 0;
}
