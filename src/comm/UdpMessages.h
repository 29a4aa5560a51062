#pragma once
// The datagrams exchanged with the terminals on the one UDP port: building
// and reading every message byte for byte. Everything here is pure: no
// sockets, no clock except where a caller passes the time in.
//
// Addresses are IPv4 numbers in host order (127.0.0.2 is 0x7F000002, as
// QHostAddress::toIPv4Address() gives it); on the wire they are big-endian.
// Texts and the register's order: common/Ipv4.h.
// Text fields are fixed-width CP932, NUL-padded, read up to the first NUL.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>

namespace Udp
{

// Message codes. The PC sends 0x00xx, terminals send 0x80xx.
namespace Code
{
constexpr std::uint16_t TermNotify = 0x8010;
constexpr std::uint16_t TermNotifyAck = 0x0010;
constexpr std::uint16_t TermInfoReq = 0x0020;
constexpr std::uint16_t RemoteOpenReq = 0x0030;
constexpr std::uint16_t RemoteOpenAck = 0x8030;
constexpr std::uint16_t RemoteOpenNak = 0x8038;
constexpr std::uint16_t RemoteCloseReq = 0x0040;
constexpr std::uint16_t RemoteCloseAck = 0x8040;
constexpr std::uint16_t TermRequest = 0x8050;
constexpr std::uint16_t TermRequestAccept = 0x0050;
constexpr std::uint16_t TermRequestResult = 0x0058;
} // namespace Code

// The PC never reads more than this of one datagram; longer ones are cut.
constexpr int ReceiveSize = 326;
// Size of the two long terminal messages.
constexpr int LongMessageSize = 326;

// Sizes of what the PC sends.
constexpr int TermNotifyAckSize = 12;
constexpr int TermInfoReqSize = 4;
constexpr int RemoteOpenReqSize = 4;
constexpr int RemoteCloseReqSize = 6;
constexpr int TermRequestAcceptSize = 4;
constexpr int TermRequestResultSize = 6;
// Smallest RemoteOpenNak that carries its reason.
constexpr int RemoteOpenNakMinSize = 6;

// RemoteOpenNak reasons.
namespace NakReason
{
constexpr std::uint16_t Busy = 0;   // the telephone is in use
constexpr std::uint16_t Remote = 1; // another maintenance session is open
} // namespace NakReason

// TermRequest file selection (offset 324).
namespace FileSelect
{
constexpr std::uint16_t System = 1;
constexpr std::uint16_t User = 2;
constexpr std::uint16_t PhoneBook = 3;
constexpr std::uint16_t All = 4;
} // namespace FileSelect

// Why a datagram could not be read.
enum class ParseStatus {
    Ok,
    Empty,       // 0 bytes
    TooShort,    // shorter than its message needs (or than a code)
    UnknownCode, // not a code the reader accepts
    WrongCode,   // a message of another code was handed to a specific reader
};
const char *parseStatusText(ParseStatus s);

// A reader's answer: the message, or why there is none.
template <class T> struct Parsed {
    ParseStatus status = ParseStatus::Empty;
    T value{};
    bool ok() const { return status == ParseStatus::Ok; }
    explicit operator bool() const { return ok(); }
};

// ---- fields -------------------------------------------------------------

// The BCD byte of the last two decimal digits of n (2016 -> 0x16).
std::uint8_t toBcd(int n);
// Inverse of toBcd for a valid BCD byte; -1 for a byte with a digit above 9.
int fromBcd(std::uint8_t b);

// Checks a MAC address text: trimmed and upper-cased, exactly
// "XX:XX:XX:XX:XX:XX" in hex digits. Answers the normalised text, or an
// empty text when it does not qualify.
QString checkMacAddress(const QString &text);

// Reads a 16-bit number at an offset, big- or little-endian.
std::uint16_t readBe16(const QByteArray &bytes, int offset);
std::uint16_t readLe16(const QByteArray &bytes, int offset);
// The code at offset 0 (0 for a datagram shorter than 2 bytes).
std::uint16_t messageCode(const QByteArray &bytes);

// ---- terminal messages ----------------------------------------------------

// TermNotify (0x8010): the terminal's identity. The member names follow the
// TermInfo columns they fill. macAddress is the checked text (empty when the
// terminal sent something that is not a MAC address).
struct TermNotify {
    QString termId;            // offset 4, 64 bytes
    std::uint32_t address = 0; // offset 68
    std::uint16_t regist = 0;  // offset 72, stored as it comes
    QString vendor;            // offset 74, 20
    QString machineName;       // offset 94, 20
    QString machineType;       // offset 114, 20
    QString termTypeInfo1;     // offset 134, 20
    QString termTypeInfo2;     // offset 154, 20
    QString verBoot;           // offset 174, 10
    QString verApli;           // offset 184, 10
    QString verInfo1;          // offset 194, 10
    QString verInfo2;          // offset 204, 10
    QString verInfo3;          // offset 214, 10
    QString macAddress;        // offset 224, 50 (UserInfo1)
    QString userInfo2;         // offset 274, 50

    bool operator==(const TermNotify &) const = default;
};

// TermRequest (0x8050): the TermNotify layout with a sequence number at
// offset 2 and the file selection at offset 324. stampField holds the 50
// raw bytes of offset 274, NUL bytes included; stamps() splits it.
struct TermRequest {
    TermNotify notify;            // all fields of the shared layout
    std::uint16_t sequence = 0;   // offset 2
    std::uint16_t fileSelect = 0; // offset 324 (FileSelect)
    QByteArray stampField;        // offset 274 as bytes

    // The three 16-byte items of stampField (system, user, phone book) when
    // its byte 16 is a comma; otherwise three empty items.
    std::array<QByteArray, 3> stamps() const;

    bool operator==(const TermRequest &) const = default;
};

QByteArray buildTermNotify(const TermNotify &m);
QByteArray buildTermRequest(const TermRequest &m);
QByteArray buildRemoteOpenAck();
QByteArray buildRemoteOpenNak(std::uint16_t reason);
QByteArray buildRemoteCloseAck();

// The readers take the datagram as received; anything beyond ReceiveSize is
// ignored.
Parsed<TermNotify> parseTermNotify(const QByteArray &datagram);
Parsed<TermRequest> parseTermRequest(const QByteArray &datagram);
// RemoteOpenAck and RemoteCloseAck carry nothing but their code.
ParseStatus parseRemoteOpenAck(const QByteArray &datagram);
ParseStatus parseRemoteCloseAck(const QByteArray &datagram);
// The refusal reason of a RemoteOpenNak.
Parsed<std::uint16_t> parseRemoteOpenNak(const QByteArray &datagram);

// ---- PC messages --------------------------------------------------------

// Date and time fields of a TermNotifyAck as sent (already decoded from BCD).
struct NotifyAckFields {
    int year2 = 0; // last two digits of the year
    int month = 0;
    int day = 0;
    int dayOfWeek = 0; // 0 Sunday .. 6 Saturday
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::uint8_t entryInt = 0; // registration refresh interval, hours

    bool operator==(const NotifyAckFields &) const = default;
};

struct TermRequestResultFields {
    std::uint16_t sequence = 0;
    std::uint16_t result = 0;
    bool operator==(const TermRequestResultFields &) const = default;
};

// TermNotifyAck with the given local time and EntryInt.
QByteArray buildTermNotifyAck(const QDateTime &localTime, std::uint8_t entryInt);
QByteArray buildTermInfoReq();
QByteArray buildRemoteOpenReq();
QByteArray buildRemoteCloseReq(bool restart);
QByteArray buildTermRequestAccept(std::uint16_t sequence);
QByteArray buildTermRequestResult(std::uint16_t sequence, std::uint16_t result);

// The one generic builder of outgoing messages: arg1 is the byte at offset 11
// of 0x0010 or the big-endian field at offset 4 of 0x0040 and 0x0058; arg2 is
// the field at offset 2 (little-endian for 0x0030 and 0x0050, big-endian for
// 0x0058). Any other code gives an empty array. 0x0010 uses now.
QByteArray buildMessage(std::uint16_t code, std::uint16_t arg1, std::uint16_t arg2,
                        const QDateTime &now = QDateTime::currentDateTime());

// Readers of the PC's messages (terminal side: simulator and tests).
Parsed<NotifyAckFields> parseTermNotifyAck(const QByteArray &datagram);
ParseStatus parseTermInfoReq(const QByteArray &datagram);
ParseStatus parseRemoteOpenReq(const QByteArray &datagram);
Parsed<bool> parseRemoteCloseReq(const QByteArray &datagram); // the restart flag
Parsed<std::uint16_t> parseTermRequestAccept(const QByteArray &datagram);
Parsed<TermRequestResultFields> parseTermRequestResult(const QByteArray &datagram);

// ---- what the PC does with an incoming datagram ----------------------------

// One of the three answers of a maintenance session, as the session sees it.
struct SessionAnswer {
    std::uint16_t code = 0;      // RemoteOpenAck, RemoteOpenNak or RemoteCloseAck
    std::uint16_t nakReason = 0; // RemoteOpenNak only
    bool operator==(const SessionAnswer &) const = default;
};

// A datagram the PC accepted, by class: a notice for the register, an answer
// for the session of the sender's worker, or a terminal-initiated request.
using Incoming = std::variant<std::monostate, TermNotify, SessionAnswer, TermRequest>;

// Reads one received datagram (cut to ReceiveSize). status is Ok exactly
// when message holds one of the three classes; anything else is dropped by
// the caller without answer.
struct IncomingResult {
    ParseStatus status = ParseStatus::Empty;
    std::uint16_t code = 0;
    Incoming message;
};
IncomingResult parseIncoming(const QByteArray &datagram);

// Whether the PC accepts a code from a terminal at all.
bool isAcceptedCode(std::uint16_t code);

// ---- routing a session answer to its worker ----------------------------

// What the router needs to know of one worker slot: whether it serves a
// terminal now (a user worker with an entry, a request worker that is busy)
// and that terminal's address.
struct WorkerSlotView {
    bool active = false;
    std::uint32_t address = 0;
};

struct Route {
    enum Pool { None, UserWorker, RequestWorker } pool = None;
    int slot = -1;
    bool operator==(const Route &) const = default;
};

// The worker whose current terminal has the source address: the user
// workers first in slot order, then the busy request workers. None when no
// worker matches (the datagram is dropped).
Route routeSessionAnswer(std::uint32_t source, std::span<const WorkerSlotView> userWorkers,
                         std::span<const WorkerSlotView> requestWorkers);

} // namespace Udp
