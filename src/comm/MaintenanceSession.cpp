#include "comm/MaintenanceSession.h"

#include "comm/UdpMessages.h"

namespace
{

bool isScheduleOperation(std::uint32_t op)
{
    return op == WorkerMsg::SchedWriteSettings || op == WorkerMsg::SchedReadSettings ||
           op == WorkerMsg::SchedWriteFirmware;
}

// Operations whose open is followed by the FTP step.
bool movesFiles(std::uint32_t op)
{
    switch (op) {
    case WorkerMsg::ReadSettings:
    case WorkerMsg::WriteSettings:
    case WorkerMsg::WriteBoot:
    case WorkerMsg::WriteApli:
    case WorkerMsg::RemoteMaintenance:
    case WorkerMsg::InitialSettings:
        return true;
    default:
        return isScheduleOperation(op);
    }
}

} // namespace

std::optional<std::uint32_t> sessionEventForMessage(std::uint32_t msg)
{
    switch (msg) {
    case WorkerMsg::ForceClose:
        return SessionEvent::ForceClose;
    case WorkerMsg::Restart:
        return SessionEvent::Restart;
    case WorkerMsg::ReadSettings:
        return SessionEvent::ReadSettings;
    case WorkerMsg::WriteSettings:
        return SessionEvent::WriteSettings;
    case WorkerMsg::WriteBoot:
        return SessionEvent::WriteBoot;
    case WorkerMsg::WriteApli:
        return SessionEvent::WriteApli;
    case WorkerMsg::RemoteMaintenanceMsg:
        return SessionEvent::RemoteMaintenance;
    case WorkerMsg::InitialSettingsMsg:
        return SessionEvent::InitialSettings;
    case WorkerMsg::SchedWriteSettings:
        return SessionEvent::SchedWriteSettings;
    case WorkerMsg::SchedReadSettings:
        return SessionEvent::SchedReadSettings;
    case WorkerMsg::SchedWriteFirmware:
        return SessionEvent::SchedWriteFirmware;
    default:
        return std::nullopt;
    }
}

std::optional<std::uint32_t> sessionEventForDatagram(std::uint16_t code)
{
    switch (code) {
    case Udp::Code::RemoteOpenAck:
        return SessionEvent::OpenAck;
    case Udp::Code::RemoteOpenNak:
        return SessionEvent::OpenNak;
    case Udp::Code::RemoteCloseAck:
        return SessionEvent::CloseAck;
    default:
        return std::nullopt;
    }
}

std::optional<SessionOperation> operationForEvent(std::uint32_t event)
{
    using namespace WorkerMsg;
    switch (event) {
    case SessionEvent::ForceClose:
        return SessionOperation{ForceClose, ForceCloseDone, false};
    case SessionEvent::Restart:
        return SessionOperation{Restart, RestartDone, false};
    case SessionEvent::ReadSettings:
        return SessionOperation{ReadSettings, ReadSettingsDone, false};
    case SessionEvent::WriteSettings:
        return SessionOperation{WriteSettings, WriteSettingsDone, true};
    case SessionEvent::WriteBoot:
        return SessionOperation{WriteBoot, WriteBootDone, true};
    case SessionEvent::WriteApli:
        return SessionOperation{WriteApli, WriteApliDone, true};
    case SessionEvent::RemoteMaintenance:
        return SessionOperation{RemoteMaintenance, RemoteMaintenanceDone, false};
    case SessionEvent::InitialSettings:
        return SessionOperation{InitialSettings, InitialSettingsDone, false};
    case SessionEvent::SchedWriteSettings:
        return SessionOperation{SchedWriteSettings, SchedWriteSettingsDone, false};
    case SessionEvent::SchedReadSettings:
        return SessionOperation{SchedReadSettings, SchedReadSettingsDone, false};
    case SessionEvent::SchedWriteFirmware:
        return SessionOperation{SchedWriteFirmware, SchedWriteFirmwareDone, false};
    default:
        return std::nullopt;
    }
}

QString sessionStateName(std::uint32_t state)
{
    switch (state) {
    case std::uint32_t(SessionState::Preparing):
        return QStringLiteral("準備中");
    case std::uint32_t(SessionState::Idle):
        return QStringLiteral("アイドル");
    case std::uint32_t(SessionState::OpenWait):
        return QStringLiteral("保守起動応答待ち");
    case std::uint32_t(SessionState::CloseWait):
        return QStringLiteral("保守終了応答待ち");
    default:
        return QStringLiteral("不明状態");
    }
}

QString sessionEventName(std::uint32_t event)
{
    switch (event) {
    case SessionEvent::TargetGiven:
        return QStringLiteral("処理対象指定");
    case SessionEvent::RemoteTargetGiven:
        return QStringLiteral("リモートメンテナンス処理対象指定");
    case SessionEvent::ForceClose:
        return QStringLiteral("リモート強制クローズ要求");
    case SessionEvent::Restart:
        return QStringLiteral("再起動要求");
    case SessionEvent::ReadSettings:
        return QStringLiteral("設定ファイル読み込み要求");
    case SessionEvent::WriteSettings:
        return QStringLiteral("設定ファイル書き込み要求");
    case SessionEvent::WriteBoot:
        return QStringLiteral("ブート書き込み要求");
    case SessionEvent::WriteApli:
        return QStringLiteral("アプリ書き込み要求");
    case SessionEvent::RemoteMaintenance:
        return QStringLiteral("リモートメンテナンス実行要求");
    case SessionEvent::InitialSettings:
        return QStringLiteral("初期設定実行要求");
    case SessionEvent::SchedWriteSettings:
        return QStringLiteral("設定ファイル書込要求（スケジュール実行）");
    case SessionEvent::SchedReadSettings:
        return QStringLiteral("設定ファイル読込要求（スケジュール実行）");
    case SessionEvent::SchedWriteFirmware:
        return QStringLiteral("ファームウェア書込要求（スケジュール実行）");
    case SessionEvent::OpenAck:
        return QStringLiteral("RemoteOpenAck受信");
    case SessionEvent::OpenNak:
        return QStringLiteral("RemoteOpenNak受信");
    case SessionEvent::CloseAck:
        return QStringLiteral("RemoteCloseAck受信");
    case SessionEvent::TransferDone:
        return QStringLiteral("FTP転送完了");
    case SessionEvent::TimeOut:
        return QStringLiteral("タイムアウト発生");
    default:
        return QStringLiteral("不明イベント");
    }
}

// ---- MaintenanceSession --------------------------------------------------

MaintenanceSession::MaintenanceSession(ISessionHost &host, int slot)
    : m_host(host), m_slot(slot), m_timerId(sessionTimerId(slot))
{
    m_account.user = FtpPlaceholderUser();
    m_account.password = FtpPlaceholderPassword();
}

bool MaintenanceSession::restartAfterTransfer(std::uint32_t op, int result,
                                              const SessionTarget &target)
{
    if (result != ResultCode::Success)
        return false;
    switch (op) {
    case WorkerMsg::WriteBoot:
    case WorkerMsg::WriteApli:
    case WorkerMsg::InitialSettings:
        return true;
    case WorkerMsg::RemoteMaintenance:
        return target.restartAfterRemote;
    default:
        return isScheduleOperation(op) && target.restartAfterWrite;
    }
}

void MaintenanceSession::handle(std::uint32_t event, const SessionTarget *target,
                                std::uint16_t nakReason, std::uint16_t timerId, int result)
{
    const std::uint32_t before = std::uint32_t(m_state);

    switch (m_state) {
    case SessionState::Preparing:
    case SessionState::Idle:
        if ((event == SessionEvent::TargetGiven || event == SessionEvent::RemoteTargetGiven) &&
            target) {
            setTarget(*target, event == SessionEvent::RemoteTargetGiven);
        } else if (event == SessionEvent::TimeOut) {
            if (timerId == m_timerId)
                stopWait();
        } else if (m_state == SessionState::Idle && operationForEvent(event)) {
            startOperation(event);
        }
        break;

    case SessionState::OpenWait:
        // While the FTP step runs only its completion counts; the timer is
        // already stopped and the terminal's answers are stale.
        if (m_transferRunning) {
            if (event == SessionEvent::TransferDone)
                transferDone(result);
            break;
        }
        if (event == SessionEvent::OpenAck)
            openAck();
        else if (event == SessionEvent::OpenNak)
            openNak(nakReason);
        else if (event == SessionEvent::TimeOut && timerId == m_timerId && m_timerRunning)
            openTimeout();
        break;

    case SessionState::CloseWait:
        if (event == SessionEvent::CloseAck)
            closeDone(false);
        else if (event == SessionEvent::TimeOut && timerId == m_timerId && m_timerRunning)
            closeDone(true);
        break;

    default:
        // Never kept: recover to idle.
        m_state = SessionState::Idle;
        break;
    }

    if (std::uint32_t(m_state) != before)
        m_host.trace(QStringLiteral("slot %1: %2 / %3 -> %4 (result %5)")
                         .arg(m_slot)
                         .arg(sessionStateName(before), sessionEventName(event),
                              sessionStateName(std::uint32_t(m_state)))
                         .arg(m_result));
}

void MaintenanceSession::onTarget(const SessionTarget &t)
{
    handle(SessionEvent::TargetGiven, &t);
}

void MaintenanceSession::onRemoteTarget(const SessionTarget &t)
{
    handle(SessionEvent::RemoteTargetGiven, &t);
}

void MaintenanceSession::onOperation(std::uint32_t event)
{
    handle(event);
}

void MaintenanceSession::onOpenAck()
{
    handle(SessionEvent::OpenAck);
}

void MaintenanceSession::onOpenNak(std::uint16_t reason)
{
    handle(SessionEvent::OpenNak, nullptr, reason);
}

void MaintenanceSession::onCloseAck()
{
    handle(SessionEvent::CloseAck);
}

void MaintenanceSession::onTimeout(std::uint16_t timerId)
{
    handle(SessionEvent::TimeOut, nullptr, 0, timerId);
}

void MaintenanceSession::onTransferDone(int result)
{
    // Called from inside startTransfer(): finish the open handler first.
    if (m_inTransferCall) {
        m_earlyTransferResult = result;
        return;
    }
    handle(SessionEvent::TransferDone, nullptr, 0, 0, result);
}

void MaintenanceSession::setTarget(const SessionTarget &t, bool remote)
{
    m_target = t;
    if (remote) {
        m_target.restartAfterWrite = false;
        m_target.files = t.files.mid(0, 3);
    } else {
        m_target.restartAfterRemote = false;
        m_target.files = t.files.mid(0, 6);
    }
    enter(SessionState::Idle);
}

void MaintenanceSession::startOperation(std::uint32_t event)
{
    const SessionOperation op = *operationForEvent(event);
    m_operation = op.operation;
    m_reply = op.reply;
    m_result = ResultCode::Success;

    if (op.checkLocalFile &&
        (m_target.localPath.isEmpty() || !m_host.localFileExists(m_target.localPath))) {
        m_result = ResultCode::FileMissing;
        finish();
        return;
    }
    if (op.operation == WorkerMsg::ForceClose) {
        if (sendClose(false))
            enter(SessionState::CloseWait);
        return;
    }
    if (sendOpen())
        enter(SessionState::OpenWait);
}

void MaintenanceSession::openAck()
{
    stopWait();
    if (m_operation == WorkerMsg::Restart) {
        m_result = ResultCode::Success;
        if (sendClose(true))
            enter(SessionState::CloseWait);
        return;
    }
    if (!movesFiles(m_operation))
        return;

    const std::optional<FtpAccount> account = m_host.lookupAccount(m_target.model);
    if (!account) {
        m_result = ResultCode::FtpConnect;
        if (sendClose(false))
            enter(SessionState::CloseWait);
        return;
    }
    m_account = *account;
    m_transferRunning = true;
    m_inTransferCall = true;
    m_earlyTransferResult.reset();
    m_host.startTransfer(TransferJob{m_operation, m_target, m_account});
    m_inTransferCall = false;
    if (m_earlyTransferResult) {
        const int r = *m_earlyTransferResult;
        m_earlyTransferResult.reset();
        transferDone(r);
    }
}

void MaintenanceSession::transferDone(int result)
{
    m_transferRunning = false;
    m_result = result;
    if (sendClose(restartAfterTransfer(m_operation, result, m_target)))
        enter(SessionState::CloseWait);
}

void MaintenanceSession::openNak(std::uint16_t reason)
{
    stopWait();
    m_result = reason == Udp::NakReason::Busy     ? ResultCode::PhoneInUse
               : reason == Udp::NakReason::Remote ? ResultCode::RemoteMultiple
                                                  : ResultCode::OtherFatal;
    if (reason == Udp::NakReason::Remote) {
        // The other session is not ours to close.
        finish();
        return;
    }
    if (sendClose(false))
        enter(SessionState::CloseWait);
}

void MaintenanceSession::openTimeout()
{
    stopWait();
    m_result = ResultCode::Timeout;
    if (sendClose(false))
        enter(SessionState::CloseWait);
}

void MaintenanceSession::closeDone(bool timedOut)
{
    if (timedOut)
        m_result = ResultCode::Timeout;
    stopWait();
    if (m_operation == WorkerMsg::RemoteMaintenance && m_result != ResultCode::Success) {
        const ResultLogEntry log = ResultErrLogMapping(m_result);
        LogRecord record;
        record.termId = m_target.termId;
        record.number = log.number;
        record.detailCode = log.detailCode;
        record.address = m_target.address;
        record.detail = log.detailText;
        m_host.postErrorLog(record);
    }
    finish();
}

bool MaintenanceSession::sendOpen()
{
    if (!m_host.sendDatagram(m_target.address, m_target.port, Udp::buildRemoteOpenReq())) {
        m_result = ResultCode::OtherFatal;
        finish();
        return false;
    }
    startWait();
    return true;
}

bool MaintenanceSession::sendClose(bool restart)
{
    if (!m_host.sendDatagram(m_target.address, m_target.port, Udp::buildRemoteCloseReq(restart))) {
        // Nothing will answer: end the terminal now rather than leave the
        // request waiting for a reply that never comes.
        m_result = ResultCode::OtherFatal;
        finish();
        return false;
    }
    startWait();
    return true;
}

void MaintenanceSession::startWait()
{
    m_host.startTimer(m_timerId, SessionTimeoutTicks);
    m_timerRunning = true;
}

void MaintenanceSession::stopWait()
{
    m_host.stopTimer(m_timerId);
    m_timerRunning = false;
}

void MaintenanceSession::finish()
{
    m_host.closeFtp();
    m_host.reportResult(m_reply, m_result);
    enter(SessionState::Idle);
}

void MaintenanceSession::enter(SessionState s)
{
    m_state = s;
}
