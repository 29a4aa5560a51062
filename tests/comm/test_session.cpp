// The maintenance session driven by event scripts, its effects recorded as
// short lines: every state against every event, whole sessions.
#include "comm/MaintenanceSession.h"
#include "comm/UdpMessages.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace
{

constexpr std::uint16_t Timer = 3 * 256 + 1; // worker slot 3
constexpr std::uint32_t TermAddr = 0x7F00000A;

// Records every effect as one short line: "open", "close 1", "start", "stop",
// "exists", "lookup", "transfer 4a00", "closeftp", "report 5100 8",
// "errlog 4/0 FTP通信エラー".
struct FakeHost : ISessionHost {
    QStringList calls;
    bool sendFails = false, fileExists = true, noAccount = false;

    bool sendDatagram(std::uint32_t address, std::uint16_t, const QByteArray &d) override
    {
        EXPECT_EQ(address, TermAddr);
        const auto close = Udp::parseRemoteCloseReq(d);
        EXPECT_TRUE(close.ok() || d == Udp::buildRemoteOpenReq());
        calls << (close ? QString("close %1").arg(close.value) : "open") +
                     (sendFails ? " FAILED" : "");
        return !sendFails;
    }
    void startTimer(std::uint16_t id, int ticks) override
    {
        calls << (id == Timer && ticks == 900 ? "start" : "start?");
    }
    void stopTimer(std::uint16_t id) override { calls << (id == Timer ? "stop" : "stop: other"); }
    bool localFileExists(const QString &) override { return calls << "exists", fileExists; }
    std::optional<FtpAccount> lookupAccount(const QString &model) override
    {
        calls << "lookup";
        return noAccount ? std::nullopt : std::optional(FtpAccount{model, "ftpuser", "secret"});
    }
    void startTransfer(const TransferJob &job) override
    {
        calls << QString("transfer %1").arg(job.operation, 0, 16);
        EXPECT_EQ(job.account.password, "secret");
    }
    void closeFtp() override { calls << "closeftp"; }
    void reportResult(std::uint32_t reply, int result) override
    {
        calls << QString("report %1 %2").arg(reply, 0, 16).arg(result);
    }
    void postErrorLog(const LogRecord &r) override
    {
        calls << QString("errlog %1/%2 %3").arg(r.number).arg(r.detailCode).arg(r.detail).trimmed();
        EXPECT_EQ(r.termId, "1001");
    }
};

SessionTarget target(bool afterWrite = false, bool afterRemote = false)
{
    // Address, port, local file, remote name, FTP mode, ID, model, restart flags, files.
    return {TermAddr, 4711,       "/pc/Boot/boot.s", "boot.s",    1,
            "1001",   "KEL-3000", afterWrite,        afterRemote, {}};
}

// Runs a script of blank-separated events on a session:
//   target, rtarget (terminal-initiated), rtarget+restart, target+restart,
//   op:<event hex>, ack, nak:<reason>, cack, tmo, tmo-other, done:<result>,
//   ev:<hex>; and the host's ways: missing (no local file), sendfails, noaccount.
void run(MaintenanceSession &s, FakeHost &host, const QString &script)
{
    for (const QString &tok : script.split(' ', Qt::SkipEmptyParts)) {
        const QString arg = tok.section(':', 1);
        const SessionTarget t = target(tok == "target+restart", tok == "rtarget+restart");
        if (tok.startsWith("target"))
            s.onTarget(t);
        else if (tok.startsWith("rtarget"))
            s.onRemoteTarget(t);
        else if (tok.startsWith("op:"))
            s.onOperation(arg.toUInt(nullptr, 16));
        else if (tok == "ack")
            s.onOpenAck();
        else if (tok.startsWith("nak:"))
            s.onOpenNak(std::uint16_t(arg.toUInt()));
        else if (tok == "cack")
            s.onCloseAck();
        else if (tok == "tmo" || tok == "tmo-other")
            s.onTimeout(tok == "tmo" ? Timer : Timer + 256);
        else if (tok.startsWith("done:"))
            s.onTransferDone(arg.toInt());
        else if (tok.startsWith("ev:"))
            s.handle(arg.toUInt(nullptr, 16));
        else if (tok == "missing" || tok == "sendfails" || tok == "noaccount")
            (tok == "missing"     ? host.fileExists
             : tok == "sendfails" ? host.sendFails
                                  : host.noAccount) = tok != "missing";
        else
            ADD_FAILURE() << "bad script token " << tok.toStdString();
    }
}

using enum SessionState;

const char *const Prep = "";
const char *const IdleS = "target";
const char *const OpenW = "target op:100030";      // read settings asked, open sent
const char *const Moving = "target op:100030 ack"; // FTP step running
const char *const CloseW = "target op:100010";     // force close sent

// Setup, event, state after, effects, result.
using Row = std::tuple<const char *, const char *, SessionState, const char *, int>;

} // namespace

TEST(SessionTable, EveryStateAgainstEveryEvent)
{
    // clang-format off
    const Row rows[] = {
        // 準備中: only a target or a time-out does anything.
        {Prep, "op:100020 op:100010 ack nak:0 cack done:0 ev:12345", Preparing, "", 0},
        // アイドル: operations start (see the whole sessions); late answers change nothing.
        {IdleS, "op:100010", CloseWait, "close 0;start", 0},
        {IdleS, "target rtarget ack nak:1 cack tmo-other done:0 ev:4c00", Idle, "", 0},
        // 保守起動応答待ち (read settings asked).
        {OpenW, "ack", OpenWait, "stop;lookup;transfer 4800", 0},
        {OpenW, "nak:0", CloseWait, "stop;close 0;start", 1},
        {OpenW, "nak:1", Idle, "stop;closeftp;report 4f00 2", 2},
        {OpenW, "nak:5", CloseWait, "stop;close 0;start", 9},
        {OpenW, "tmo", CloseWait, "stop;close 0;start", 3},
        {OpenW, "tmo-other cack op:100020 target done:0 ev:7", OpenWait, "", 0},
        // Files moving: only the end of the FTP step counts.
        {Moving, "done:6", CloseWait, "close 0;start", 6},
        {Moving, "ack nak:0 cack tmo op:100010", OpenWait, "", 0},
        // 保守終了応答待ち (force close asked).
        {CloseW, "cack", Idle, "stop;closeftp;report 4d00 0", 0},
        {CloseW, "tmo", Idle, "stop;closeftp;report 4d00 3", 3},
        {CloseW, "tmo-other ack nak:1 op:100020 target done:6 ev:ffff", CloseWait, "", 0},
        // Whole sessions. Restart: one close with restart flag 1, a repeated Ack changes nothing.
        {IdleS, "op:100020 ack ack cack", Idle, "open;start;stop;close 1;start;stop;closeftp;report 4e00 0", 0},
        // The close flag after the FTP step, per operation, target flag and outcome:
        // a failure never restarts.
        {IdleS, "op:100050 ack done:0 cack", Idle, "exists;open;start;stop;lookup;transfer 4a00;close 1;start;stop;closeftp;report 5100 0", 0},
        {IdleS, "op:100050 ack done:6 cack", Idle, "exists;open;start;stop;lookup;transfer 4a00;close 0;start;stop;closeftp;report 5100 6", 6},
        {"target+restart", "op:101000 ack done:0 cack", Idle, "open;start;stop;lookup;transfer 5500;close 1;start;stop;closeftp;report 5400 0", 0},
        {"rtarget", "op:100100 ack done:0 cack", Idle, "open;start;stop;lookup;transfer 5320;close 0;start;stop;closeftp;report 5330 0", 0},
        {"rtarget", "op:100110 ack done:0 cack", Idle, "open;start;stop;lookup;transfer 5600;close 1;start;stop;closeftp;report 5610 0", 0},
        // Failed terminal-initiated updates post their error line before the reply.
        {"rtarget", "op:100100 ack done:6 cack", Idle, "open;start;stop;lookup;transfer 5320;close 0;start;stop;errlog 4/0 FTP通信エラー;closeftp;report 5330 6", 6},
        {"rtarget", "op:100100 nak:1", Idle, "open;start;stop;closeftp;report 5330 2", 2},
        // The next operation on the same record starts from result 0.
        {IdleS, "op:100020 tmo tmo op:100010 cack", Idle, "open;start;stop;close 0;start;stop;closeftp;report 4e00 3;close 0;start;stop;closeftp;report 4d00 0", 0},
        // Ends without the terminal: a write with no local file; the open
        // can't be handed over.
        {"target missing", "op:100050", Idle, "exists;closeftp;report 5100 8", 8},
        {"target sendfails", "op:100020", Idle, "open FAILED;closeftp;report 4e00 9", 9},
        // No FTP account for the model: the session is closed normally.
        {"target noaccount", "op:100050 ack cack", Idle, "exists;open;start;stop;lookup;close 0;start;stop;closeftp;report 5100 5", 5},
    };
    // clang-format on
    for (const auto &[setup, event, after, effects, result] : rows) {
        FakeHost host;
        MaintenanceSession s(host, 3);
        run(s, host, setup);
        const SessionTarget before = s.target();
        const bool wasTargeted = s.state() == Preparing || s.state() == Idle;
        host.calls.clear();
        run(s, host, event);
        const std::string name = std::string("[") + setup + "] + [" + event + "]";
        EXPECT_EQ(s.state(), after) << name;
        EXPECT_EQ(host.calls, QString(effects).split(';', Qt::SkipEmptyParts)) << name;
        EXPECT_EQ(s.result(), result) << name;
        EXPECT_TRUE(wasTargeted || s.target() == before) << name << ": target taken while busy";
    }
}
