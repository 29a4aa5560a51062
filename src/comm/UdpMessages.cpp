#include "comm/UdpMessages.h"

#include "common/Cp932.h"

namespace Udp
{

namespace
{

// Offsets of the shared TermNotify / TermRequest layout.
namespace Off
{
constexpr int Sequence = 2;
constexpr int TermId = 4;
constexpr int Address = 68;
constexpr int Regist = 72;
constexpr int Vendor = 74;
constexpr int MachineName = 94;
constexpr int MachineType = 114;
constexpr int TermTypeInfo1 = 134;
constexpr int TermTypeInfo2 = 154;
constexpr int VerBoot = 174;
constexpr int VerApli = 184;
constexpr int VerInfo1 = 194;
constexpr int VerInfo2 = 204;
constexpr int VerInfo3 = 214;
constexpr int Mac = 224;
constexpr int UserInfo2 = 274;
constexpr int FileSelect = 324;
} // namespace Off

constexpr int TermIdWidth = 64;
constexpr int NameWidth = 20;
constexpr int VersionWidth = 10;
constexpr int LongTextWidth = 50;

void putBe16(QByteArray &b, int offset, std::uint16_t v)
{
    b[offset] = char(v >> 8);
    b[offset + 1] = char(v & 0xFF);
}

void putLe16(QByteArray &b, int offset, std::uint16_t v)
{
    b[offset] = char(v & 0xFF);
    b[offset + 1] = char(v >> 8);
}

void putBe32(QByteArray &b, int offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((v >> (24 - 8 * i)) & 0xFF);
}

std::uint32_t readBe32(const QByteArray &b, int offset)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | std::uint8_t(b[offset + i]);
    return v;
}

// The bytes of a fixed-width field up to its first NUL.
QByteArray fieldBytes(const QByteArray &b, int offset, int width)
{
    QByteArray f = b.mid(offset, width);
    const int nul = f.indexOf('\0');
    if (nul >= 0)
        f.truncate(nul);
    return f;
}

QString fieldText(const QByteArray &b, int offset, int width)
{
    return Cp932::decode(fieldBytes(b, offset, width));
}

// Writes a text into a NUL-padded field; a text too long for the field is
// cut before the first character that would not fit whole.
void putText(QByteArray &b, int offset, int width, const QString &text)
{
    QByteArray bytes = Cp932::encode(text);
    if (bytes.size() > width) {
        bytes.clear();
        for (const QChar *p = text.constBegin(); p != text.constEnd();) {
            const int n = (p->isHighSurrogate() && p + 1 != text.constEnd()) ? 2 : 1;
            const QByteArray ch = Cp932::encode(QString(p, n));
            if (bytes.size() + ch.size() > width)
                break;
            bytes += ch;
            p += n;
        }
    }
    for (int i = 0; i < width; ++i)
        b[offset + i] = i < bytes.size() ? bytes[i] : '\0';
}

void putRaw(QByteArray &b, int offset, int width, const QByteArray &bytes)
{
    for (int i = 0; i < width; ++i)
        b[offset + i] = i < bytes.size() ? bytes[i] : '\0';
}

QByteArray cut(const QByteArray &datagram)
{
    return datagram.left(ReceiveSize);
}

// Common checks of a specific reader: something there, the right code and
// at least minSize bytes.
ParseStatus check(const QByteArray &d, std::uint16_t code, int minSize)
{
    if (d.isEmpty())
        return ParseStatus::Empty;
    if (d.size() < 2)
        return ParseStatus::TooShort;
    if (messageCode(d) != code)
        return ParseStatus::WrongCode;
    if (d.size() < minSize)
        return ParseStatus::TooShort;
    return ParseStatus::Ok;
}

void writeSharedLayout(QByteArray &b, const TermNotify &m)
{
    putText(b, Off::TermId, TermIdWidth, m.termId);
    putBe32(b, Off::Address, m.address);
    putBe16(b, Off::Regist, m.regist);
    putText(b, Off::Vendor, NameWidth, m.vendor);
    putText(b, Off::MachineName, NameWidth, m.machineName);
    putText(b, Off::MachineType, NameWidth, m.machineType);
    putText(b, Off::TermTypeInfo1, NameWidth, m.termTypeInfo1);
    putText(b, Off::TermTypeInfo2, NameWidth, m.termTypeInfo2);
    putText(b, Off::VerBoot, VersionWidth, m.verBoot);
    putText(b, Off::VerApli, VersionWidth, m.verApli);
    putText(b, Off::VerInfo1, VersionWidth, m.verInfo1);
    putText(b, Off::VerInfo2, VersionWidth, m.verInfo2);
    putText(b, Off::VerInfo3, VersionWidth, m.verInfo3);
    putText(b, Off::Mac, LongTextWidth, m.macAddress);
    putText(b, Off::UserInfo2, LongTextWidth, m.userInfo2);
}

TermNotify readSharedLayout(const QByteArray &b)
{
    TermNotify m;
    m.termId = fieldText(b, Off::TermId, TermIdWidth);
    m.address = readBe32(b, Off::Address);
    m.regist = readBe16(b, Off::Regist);
    m.vendor = fieldText(b, Off::Vendor, NameWidth);
    m.machineName = fieldText(b, Off::MachineName, NameWidth);
    m.machineType = fieldText(b, Off::MachineType, NameWidth);
    m.termTypeInfo1 = fieldText(b, Off::TermTypeInfo1, NameWidth);
    m.termTypeInfo2 = fieldText(b, Off::TermTypeInfo2, NameWidth);
    m.verBoot = fieldText(b, Off::VerBoot, VersionWidth);
    m.verApli = fieldText(b, Off::VerApli, VersionWidth);
    m.verInfo1 = fieldText(b, Off::VerInfo1, VersionWidth);
    m.verInfo2 = fieldText(b, Off::VerInfo2, VersionWidth);
    m.verInfo3 = fieldText(b, Off::VerInfo3, VersionWidth);
    m.macAddress = checkMacAddress(fieldText(b, Off::Mac, LongTextWidth));
    m.userInfo2 = fieldText(b, Off::UserInfo2, LongTextWidth);
    return m;
}

QByteArray withCode(std::uint16_t code, int size)
{
    QByteArray b(size, '\0');
    putBe16(b, 0, code);
    return b;
}

} // namespace

const char *parseStatusText(ParseStatus s)
{
    switch (s) {
    case ParseStatus::Ok:
        return "ok";
    case ParseStatus::Empty:
        return "empty datagram";
    case ParseStatus::TooShort:
        return "datagram too short for its message";
    case ParseStatus::UnknownCode:
        return "unknown message code";
    case ParseStatus::WrongCode:
        return "datagram of another message";
    }
    return "?";
}

// ---- fields -------------------------------------------------------------

std::uint8_t toBcd(int n)
{
    const int v = (n < 0 ? -n : n) % 100;
    return std::uint8_t((v / 10) * 16 + v % 10);
}

int fromBcd(std::uint8_t b)
{
    const int hi = b >> 4, lo = b & 0x0F;
    if (hi > 9 || lo > 9)
        return -1;
    return hi * 10 + lo;
}

QString checkMacAddress(const QString &text)
{
    const QString mac = text.trimmed().toUpper();
    if (mac.size() != 17)
        return {};
    for (int i = 0; i < mac.size(); ++i) {
        const QChar c = mac[i];
        const bool colonPlace = i % 3 == 2;
        if (colonPlace) {
            if (c != QLatin1Char(':'))
                return {};
        } else if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                     (c >= QLatin1Char('A') && c <= QLatin1Char('F')))) {
            return {};
        }
    }
    return mac;
}

std::uint16_t readBe16(const QByteArray &b, int offset)
{
    if (offset < 0 || offset + 2 > b.size())
        return 0;
    return std::uint16_t((std::uint8_t(b[offset]) << 8) | std::uint8_t(b[offset + 1]));
}

std::uint16_t readLe16(const QByteArray &b, int offset)
{
    if (offset < 0 || offset + 2 > b.size())
        return 0;
    return std::uint16_t((std::uint8_t(b[offset + 1]) << 8) | std::uint8_t(b[offset]));
}

std::uint16_t messageCode(const QByteArray &b)
{
    return readBe16(b, 0);
}

// ---- terminal messages ----------------------------------------------------

std::array<QByteArray, 3> TermRequest::stamps() const
{
    if (stampField.size() <= 16 || stampField[16] != ',')
        return {};
    return {stampField.mid(0, 16), stampField.mid(17, 16), stampField.mid(34, 16)};
}

QByteArray buildTermNotify(const TermNotify &m)
{
    QByteArray b = withCode(Code::TermNotify, LongMessageSize);
    writeSharedLayout(b, m);
    return b;
}

QByteArray buildTermRequest(const TermRequest &m)
{
    QByteArray b = withCode(Code::TermRequest, LongMessageSize);
    writeSharedLayout(b, m.notify);
    putBe16(b, Off::Sequence, m.sequence);
    // The stamp items are bytes, not a text: they replace offset 274.
    putRaw(b, Off::UserInfo2, LongTextWidth, m.stampField);
    putBe16(b, Off::FileSelect, m.fileSelect);
    return b;
}

QByteArray buildRemoteOpenAck()
{
    return withCode(Code::RemoteOpenAck, 4);
}

QByteArray buildRemoteOpenNak(std::uint16_t reason)
{
    QByteArray b = withCode(Code::RemoteOpenNak, RemoteOpenNakMinSize);
    putBe16(b, 4, reason);
    return b;
}

QByteArray buildRemoteCloseAck()
{
    return withCode(Code::RemoteCloseAck, 4);
}

Parsed<TermNotify> parseTermNotify(const QByteArray &datagram)
{
    const QByteArray d = cut(datagram);
    Parsed<TermNotify> r;
    r.status = check(d, Code::TermNotify, LongMessageSize);
    if (r.ok())
        r.value = readSharedLayout(d);
    return r;
}

Parsed<TermRequest> parseTermRequest(const QByteArray &datagram)
{
    const QByteArray d = cut(datagram);
    Parsed<TermRequest> r;
    r.status = check(d, Code::TermRequest, LongMessageSize);
    if (!r.ok())
        return r;
    r.value.notify = readSharedLayout(d);
    r.value.sequence = readBe16(d, Off::Sequence);
    r.value.fileSelect = readBe16(d, Off::FileSelect);
    // Three items of 16 bytes with commas at 16 and 33, each possibly padded
    // with NUL bytes: not a text, so not cut at its first NUL.
    r.value.stampField = d.mid(Off::UserInfo2, LongTextWidth);
    return r;
}

ParseStatus parseRemoteOpenAck(const QByteArray &datagram)
{
    return check(cut(datagram), Code::RemoteOpenAck, 2);
}

ParseStatus parseRemoteCloseAck(const QByteArray &datagram)
{
    return check(cut(datagram), Code::RemoteCloseAck, 2);
}

Parsed<std::uint16_t> parseRemoteOpenNak(const QByteArray &datagram)
{
    const QByteArray d = cut(datagram);
    Parsed<std::uint16_t> r;
    r.status = check(d, Code::RemoteOpenNak, RemoteOpenNakMinSize);
    if (r.ok())
        r.value = readBe16(d, 4);
    return r;
}

// ---- PC messages --------------------------------------------------------

QByteArray buildTermNotifyAck(const QDateTime &t, std::uint8_t entryInt)
{
    QByteArray b = withCode(Code::TermNotifyAck, TermNotifyAckSize);
    const QDate d = t.date();
    const QTime tm = t.time();
    b[4] = char(toBcd(d.year()));
    b[5] = char(toBcd(d.month()));
    b[6] = char(toBcd(d.day()));
    b[7] = char(d.dayOfWeek() % 7); // Qt counts Monday 1 .. Sunday 7
    b[8] = char(toBcd(tm.hour()));
    b[9] = char(toBcd(tm.minute()));
    b[10] = char(toBcd(tm.second()));
    b[11] = char(entryInt);
    return b;
}

QByteArray buildTermInfoReq()
{
    return withCode(Code::TermInfoReq, TermInfoReqSize);
}

QByteArray buildRemoteOpenReq()
{
    QByteArray b = withCode(Code::RemoteOpenReq, RemoteOpenReqSize);
    putLe16(b, 2, 1);
    return b;
}

QByteArray buildRemoteCloseReq(bool restart)
{
    QByteArray b = withCode(Code::RemoteCloseReq, RemoteCloseReqSize);
    putBe16(b, 4, restart ? 1 : 0);
    return b;
}

QByteArray buildTermRequestAccept(std::uint16_t sequence)
{
    QByteArray b = withCode(Code::TermRequestAccept, TermRequestAcceptSize);
    putLe16(b, 2, sequence);
    return b;
}

QByteArray buildTermRequestResult(std::uint16_t sequence, std::uint16_t result)
{
    QByteArray b = withCode(Code::TermRequestResult, TermRequestResultSize);
    putBe16(b, 2, sequence);
    putBe16(b, 4, result);
    return b;
}

QByteArray buildMessage(std::uint16_t code, std::uint16_t arg1, std::uint16_t arg2,
                        const QDateTime &now)
{
    switch (code) {
    case Code::TermNotifyAck:
        return buildTermNotifyAck(now, std::uint8_t(arg1 & 0xFF));
    case Code::TermInfoReq:
        return buildTermInfoReq();
    case Code::RemoteOpenReq: {
        QByteArray b = withCode(code, RemoteOpenReqSize);
        putLe16(b, 2, arg2);
        return b;
    }
    case Code::TermRequestAccept:
        return buildTermRequestAccept(arg2);
    case Code::RemoteCloseReq: {
        QByteArray b = withCode(code, RemoteCloseReqSize);
        putBe16(b, 4, arg1);
        return b;
    }
    case Code::TermRequestResult:
        return buildTermRequestResult(arg2, arg1);
    default:
        return {};
    }
}

Parsed<NotifyAckFields> parseTermNotifyAck(const QByteArray &datagram)
{
    const QByteArray d = cut(datagram);
    Parsed<NotifyAckFields> r;
    r.status = check(d, Code::TermNotifyAck, TermNotifyAckSize);
    if (!r.ok())
        return r;
    auto bcd = [&](int i) { return fromBcd(std::uint8_t(d[i])); };
    r.value = {bcd(4), bcd(5), bcd(6),  int(std::uint8_t(d[7])),
               bcd(8), bcd(9), bcd(10), std::uint8_t(d[11])};
    return r;
}

ParseStatus parseTermInfoReq(const QByteArray &datagram)
{
    return check(cut(datagram), Code::TermInfoReq, TermInfoReqSize);
}

ParseStatus parseRemoteOpenReq(const QByteArray &datagram)
{
    return check(cut(datagram), Code::RemoteOpenReq, RemoteOpenReqSize);
}

Parsed<bool> parseRemoteCloseReq(const QByteArray &datagram)
{
    const QByteArray d = cut(datagram);
    Parsed<bool> r;
    r.status = check(d, Code::RemoteCloseReq, RemoteCloseReqSize);
    if (r.ok())
        r.value = readBe16(d, 4) == 1;
    return r;
}

Parsed<std::uint16_t> parseTermRequestAccept(const QByteArray &datagram)
{
    const QByteArray d = cut(datagram);
    Parsed<std::uint16_t> r;
    r.status = check(d, Code::TermRequestAccept, TermRequestAcceptSize);
    if (r.ok())
        r.value = readLe16(d, 2);
    return r;
}

Parsed<TermRequestResultFields> parseTermRequestResult(const QByteArray &datagram)
{
    const QByteArray d = cut(datagram);
    Parsed<TermRequestResultFields> r;
    r.status = check(d, Code::TermRequestResult, TermRequestResultSize);
    if (r.ok())
        r.value = {readBe16(d, 2), readBe16(d, 4)};
    return r;
}

// ---- incoming -----------------------------------------------------------

bool isAcceptedCode(std::uint16_t code)
{
    switch (code) {
    case Code::TermNotify:
    case Code::RemoteOpenAck:
    case Code::RemoteOpenNak:
    case Code::RemoteCloseAck:
    case Code::TermRequest:
        return true;
    default:
        return false;
    }
}

IncomingResult parseIncoming(const QByteArray &datagram)
{
    IncomingResult r;
    const QByteArray d = cut(datagram);
    if (d.isEmpty()) {
        r.status = ParseStatus::Empty;
        return r;
    }
    if (d.size() < 2) {
        r.status = ParseStatus::TooShort;
        return r;
    }
    r.code = messageCode(d);
    switch (r.code) {
    case Code::TermNotify: {
        auto p = parseTermNotify(d);
        r.status = p.status;
        if (p.ok())
            r.message = std::move(p.value);
        break;
    }
    case Code::TermRequest: {
        auto p = parseTermRequest(d);
        r.status = p.status;
        if (p.ok())
            r.message = std::move(p.value);
        break;
    }
    case Code::RemoteOpenAck:
    case Code::RemoteCloseAck:
        r.status = ParseStatus::Ok;
        r.message = SessionAnswer{r.code, 0};
        break;
    case Code::RemoteOpenNak: {
        auto p = parseRemoteOpenNak(d);
        r.status = p.status;
        if (p.ok())
            r.message = SessionAnswer{r.code, p.value};
        break;
    }
    default:
        r.status = ParseStatus::UnknownCode;
        break;
    }
    return r;
}

Route routeSessionAnswer(std::uint32_t source, std::span<const WorkerSlotView> userWorkers,
                         std::span<const WorkerSlotView> requestWorkers)
{
    for (std::size_t i = 0; i < userWorkers.size(); ++i)
        if (userWorkers[i].active && userWorkers[i].address == source)
            return {Route::UserWorker, int(i)};
    for (std::size_t i = 0; i < requestWorkers.size(); ++i)
        if (requestWorkers[i].active && requestWorkers[i].address == source)
            return {Route::RequestWorker, int(i)};
    return {};
}

} // namespace Udp
