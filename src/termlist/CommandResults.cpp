#include "termlist/CommandResults.h"

#include "comm/OpLog.h"
#include "common/Ipv4.h"
#include "register/TermDatabase.h"

namespace CommandResults
{

namespace
{

constexpr int RemoteWriteKind = 14;
constexpr int InitialSettingsKind = 19;
// The terminal ID of a new terminal that has none yet.
const QString NoTerminalId = QStringLiteral("ERROR");

int setResult(CTermDatabase &db, const QString &mac, const QString &termId,
              std::uint32_t hostAddress, int kind, int code)
{
    if (mac.isEmpty())
        return db.setResultByAddress(termId, Ipv4::hostToRegister(hostAddress), kind, code);
    return db.setResultByMac(mac, kind, code);
}

} // namespace

int resultKindOf(int kind, bool initialSettingsRunning)
{
    switch (kind) {
    case TaskKind::TermInfoSent:
        return 13;
    case CompletionKind::Restart:
        return 10;
    case CompletionKind::ForceClose:
        return 11;
    case CompletionKind::ReadSys:
        return 2;
    case CompletionKind::ReadUser:
        return 3;
    case CompletionKind::WriteSys:
        return 5;
    case CompletionKind::WriteUser:
        return 6;
    case CompletionKind::ReadDial:
        return 4;
    case CompletionKind::WriteDial:
        return 7;
    case CompletionKind::WriteCommon:
        return 12;
    case CompletionKind::WriteBoot:
        return 8;
    case CompletionKind::WriteApli:
        return 9;
    case CompletionKind::ScheduleRestart:
        return 18;
    case CompletionKind::ScheduleWriteSettings:
        return 16;
    case CompletionKind::ScheduleReadSettings:
        return 17;
    case CompletionKind::ScheduleWriteFirm:
        return 15;
    case TaskKind::TermRequestEnded:
        return initialSettingsRunning ? InitialSettingsKind : RemoteWriteKind;
    default:
        return -1;
    }
}

int record(CTermDatabase &db, const RequestPayload &request, int resultKind)
{
    if (resultKind < 0)
        return 0;
    int found = 0;
    db.beginTransaction();
    for (const TerminalEntry &e : request.entries)
        found += setResult(db, e.macAddress, e.termId, e.address, resultKind, e.result) ==
                 DbAnswer::Done;
    db.commitTransaction();
    return found;
}

int recordTermRequest(CTermDatabase &db, const TermRequestPayload &request, int resultKind)
{
    const Udp::TermNotify &n = request.request.notify;
    int answer = setResult(db, n.macAddress, n.termId, request.address, resultKind, request.result);
    if (answer != DbAnswer::NoRow)
        return answer;
    RegistrationData data;
    data.TermID = n.termId;
    data.IPAddr = Ipv4::hostToRegister(request.address);
    if (db.registerUpdate(data) != DbAnswer::Done)
        return DbAnswer::Failed;
    // The row just added carries no MAC address: it is found by its address.
    return db.setResultByAddress(n.termId, data.IPAddr, resultKind, request.result);
}

bool markTermRequest(CTermDatabase &db, TermRequestPayload &request, bool initialSettingsRunning)
{
    const Udp::TermNotify &n = request.request.notify;
    TermRecord row;
    // An empty MAC address would find any row added by hand.
    const bool found = !n.macAddress.isEmpty() && db.getByMac(n.macAddress, row) == DbAnswer::Done;
    // Anyone can send a MAC address: the register vouches for the request
    // only when the row of that MAC holds the terminal ID asked for, no
    // other row claims that ID, and the request comes from the row's address.
    const bool vouched =
        found && row.TermID == TrimmedTermId(StoredTermId(n.termId)) && row.TermIDAlert == 0 &&
        row.IPAddr == StoredIpAddr(Ipv4::hostToRegister(request.sourceAddress));
    if (vouched) {
        request.known = 1;
        const auto type = static_cast<std::int16_t>(request.decision);
        if (type >= 0 && type <= 2)
            return false;
        return db.setResultByMac(n.macAddress, RemoteWriteKind, 0) == DbAnswer::Done;
    }
    // A new terminal has no ID yet; it still needs a MAC address of its own.
    if (initialSettingsRunning && n.termId == NoTerminalId && !n.macAddress.isEmpty())
        return db.setResultByMac(n.macAddress, RemoteWriteKind, 0) == DbAnswer::Done;
    request.known = 0;
    OpLog::writeErrorRepeated("request-unknown",
                              LogRecord{n.termId, ErrLog::TermIdMismatch, 0, request.sourceAddress,
                                        Ipv4::dotted(request.sourceAddress)});
    return false;
}

} // namespace CommandResults
