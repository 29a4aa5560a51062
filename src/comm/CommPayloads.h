#pragma once
// What the user interface, the schedules and the communication manager post
// to each other: requests with their terminal entries, progress, the
// communication settings, terminal notices and terminal-initiated requests.
// Plain data only, so any thread can build them. IPv4 addresses are numbers
// in host order (127.0.0.2 is 0x7F000002), as Udp:: and QHostAddress use them.

#include "comm/ResultCodes.h"
#include "comm/UdpMessages.h"
#include "common/ThreadMessage.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// One local file and the name it gets on the terminal (schedule requests).
struct RequestFile {
    QString localPath;
    QString remoteName;
    // A file the administrator chose (a schedule's "任意のファイル"), not one
    // named after the terminal ID: it may lie outside the program folder.
    bool chosen = false;
    int kind = 0; // UpdateFileKind of a firmware file, 0 otherwise
    bool operator==(const RequestFile &) const = default;
};

// One terminal of a request.
struct TerminalEntry {
    QString termId;
    QString file;              // local path of the file to move (user requests)
    std::uint32_t address = 0; // IPv4, host order
    QString model;             // machine name: selects the FTP account
    QString macAddress;        // the view records the result by it (empty: by address)
    std::uint16_t udpPort = 4000;
    // Set to 7 (cancelled) for every entry when the request starts and
    // replaced once the terminal has been processed.
    std::int16_t result = ResultCode::Cancelled;
    QList<RequestFile> files; // schedule requests: up to six pairs
    bool restart = false;     // schedule requests: restart after a successful write
    QDateTime ended;          // when its session ended (set with the result)
};

// The request: slot 0 of a TaskMessage whose kind is the request kind.
struct RequestPayload : Payload {
    QList<TerminalEntry> entries;
    // Receiver of the progress messages (kind 1); 0 sends none.
    ThreadId progressTarget = 0;
    // 1 when the request ended normally, 0 when it was refused.
    int endFlag = 0;
};

inline std::unique_ptr<TaskMessage> MakeRequest(ThreadId sender, int kind,
                                                std::unique_ptr<RequestPayload> request)
{
    auto m = std::make_unique<TaskMessage>(sender, kind);
    m->payload[0] = std::move(request);
    return m;
}
inline RequestPayload *RequestOf(const TaskMessage &m)
{
    return m.slot<RequestPayload>(0);
}

// Progress of a request (kind 1, slot 0).
struct RequestProgress {
    int done = 0;
    int total = 0;
};
using ProgressPayload = ValuePayload<RequestProgress>;

// The communication settings of the start message (0x2900 kind 0, slot 0)
// and of the settings change (kind 3, where udpPort is not used).
struct CommSettings {
    int udpPort = 4000;
    int ftpMode = 1;  // 1 passive, 0 active
    int entryInt = 1; // registration refresh interval, hours
};
using CommSettingsPayload = ValuePayload<CommSettings>;

inline std::unique_ptr<TaskMessage> MakeCommSettingsMessage(ThreadId sender, int kind,
                                                            const CommSettings &s)
{
    auto m = std::make_unique<TaskMessage>(sender, kind);
    m->payload[0] = std::make_unique<CommSettingsPayload>(s);
    return m;
}

// A terminal's notice (kind 40, slot 0): the checked TermNotify fields and
// the address the datagram came from (host order).
struct NoticePayload : Payload {
    Udp::TermNotify notice;
    std::uint32_t source = 0;
};

// A file the PC decided to send for a terminal-initiated request.
namespace UpdateFileKind
{
constexpr int Boot = 1;
constexpr int Apli = 2;
constexpr int System = 3;
constexpr int User = 4;
constexpr int PhoneBook = 5;
} // namespace UpdateFileKind

struct UpdateFile {
    int kind = 0;     // UpdateFileKind
    QString sizeText; // for the user interface
    QString stamp;    // last write, "%d%m%Y%H%M%S"; empty when not recorded
    QString localPath;
};

// A terminal-initiated update restarts the terminal when it brings a boot
// program or a (stamped) system settings file.
inline bool RestartsTerminal(const UpdateFile &f)
{
    return f.kind == UpdateFileKind::Boot ||
           (f.kind == UpdateFileKind::System && !f.stamp.isEmpty());
}

// Decision codes of a terminal-initiated request.
namespace UpdateDecision
{
constexpr int NothingToSend = 0;
constexpr int UpToDate = 1;
constexpr int Busy = 2;
constexpr int InitialSettings = 0xFE;
constexpr int FilesToSend = 0xFF;
} // namespace UpdateDecision

// A terminal-initiated request (TermRequest) and its decision: slot 0 of
// kinds 50 (to the user interface), 51 (back) and 43 (ended).
struct TermRequestPayload : Payload {
    std::uint32_t address = 0;       // offset 68
    std::uint32_t sourceAddress = 0; // where the datagram came from
    std::uint16_t sourcePort = 0;
    std::uint16_t sequence = 0;
    Udp::TermRequest request; // everything the terminal sent
    QList<UpdateFile> files;  // up to 14
    int decision = UpdateDecision::NothingToSend;
    // Set by the user interface: 1 the terminal is known, 0 it is not (the
    // decision then counts as 3). The manager hands the request over with 1.
    int known = 1;
    int result = 0; // result code once the request has ended (kind 43)
};

// Kind 46 (slot 0): what each of the five request workers serves now, sent
// whenever one starts or ends a terminal-initiated update.
struct RemoteSlot {
    bool busy = false;
    QString termId;
    std::uint32_t address = 0; // host order
    QList<int> fileKinds;      // UpdateFileKind of the files it sends
};
struct RemoteSlotsPayload : Payload {
    std::array<RemoteSlot, 5> workers;
};

// Msg::StoredRequests towards the manager: the wParam.
namespace StoredAsk
{
constexpr quintptr Count = 0;   // how many are stored
constexpr quintptr TakeAll = 1; // hand them all over
} // namespace StoredAsk

// Msg::StoredRequests back from the manager: how many were stored when it
// was asked, and for TakeAll the requests themselves (the receiver owns them).
struct StoredRequestsPayload : Payload {
    quintptr ask = StoredAsk::Count;
    int count = 0;
    std::vector<std::unique_ptr<TermRequestPayload>> taken;
};
