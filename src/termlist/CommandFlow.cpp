#include "termlist/CommandFlow.h"

#include "comm/CommPayloads.h"
#include "common/CommandScope.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/CommandTargets.h"
#include "termlist/NoticeApplier.h"

#include <QDir>
#include <QFileInfo>

bool CommandFlow::run(MaintCommand command)
{
    // Timer 16 stays off while the command runs; the scope starts it again.
    CommandScope scope;
    const CommandSpec &spec = commandSpec(command);
    bool posted = false;
    const std::vector<TermEntry> rows = m_ctx.host.selectedEntries();
    if (!rows.empty() && !m_awaiting) {
        QString chosen;
        const bool fileOk = spec.file != TargetFile::Chosen || !(chosen = chooseFile(spec)).isEmpty();
        if (fileOk && confirm(spec)) {
            Order order;
            order.requestKind = spec.requestKind;
            order.progressOp = spec.progressOp;
            order.rows = rows;
            order.withMac = spec.withMac;
            if (spec.file != TargetFile::None)
                order.fileOf = [rule = spec.file, chosen](const TermEntry &row) {
                    return CommandTargets::localFile(rule, row, chosen);
                };
            posted = start(order);
        }
    }
    if (!posted)
        m_ctx.refreshIfPending();
    return posted;
}

QString CommandFlow::chooseFile(const CommandSpec &spec)
{
    const QString file = m_ctx.ask().openFileName(
        QStringLiteral("開く"), ProcessValues::programPath(spec.dialogInitial), spec.dialogFilter);
    return file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
}

bool CommandFlow::confirm(const CommandSpec &spec)
{
    IPrompter &p = m_ctx.ask();
    if (p.appMessageBox(spec.widthCode, 2, spec.text, spec.caption,
                        MsgType::IconQuestion | MsgType::YesNo) != MsgResult::Yes)
        return false;
    if (!spec.secondQuestion)
        return true;
    return p.appMessageBox(spec.widthCode, 2, commonFileSecondText(), spec.caption,
                           MsgType::IconWarning | MsgType::YesNo | MsgType::DefaultSecond) ==
           MsgResult::Yes;
}

int CommandFlow::udpPort()
{
    SystemSettings settings;
    return m_ctx.db.readSystemSettings(settings) == DbAnswer::Done ? settings.UDPPort
                                                                   : FallbackPort;
}

bool CommandFlow::start(const Order &order)
{
    if (m_awaiting || !CommandTargets::check(order.rows, m_ctx.ask()))
        return false;
    const int port = udpPort();
    auto request = std::make_unique<RequestPayload>();
    request->entries = CommandTargets::build(order.rows, port, order.withMac, order.fileOf);
    // A read brings files into a folder of the program's tree (one per command).
    const bool read = order.requestKind == RequestKind::ReadSys ||
                      order.requestKind == RequestKind::ReadUser ||
                      order.requestKind == RequestKind::ReadDial;
    for (const TerminalEntry &e : request->entries) {
        if (read && !e.file.isEmpty()) {
            QDir().mkpath(QFileInfo(e.file).absolutePath());
            break;
        }
    }

    m_ctx.host.setMainEnabled(false);
    m_progress = m_ctx.host.openProgress(order.progressOp, [this] { cancel(); });
    m_awaiting = true;
    request->progressTarget = m_progress;
    // Notices that came before the request belong before its results.
    m_ctx.notices.flush();
    if (m_ctx.post(m_ctx.comm, Msg::Task, 0,
                   MakeRequest(m_ctx.self, order.requestKind, std::move(request))))
        return true;
    // Without a manager no completion would ever give the window back.
    completed();
    m_ctx.host.setMainEnabled(true);
    return false;
}

void CommandFlow::cancel()
{
    if (!m_awaiting)
        return;
    m_ctx.post(m_ctx.comm, Msg::Task, 0, std::make_unique<TaskMessage>(m_progress, TaskKind::Cancel));
}

void CommandFlow::completed()
{
    m_awaiting = false;
    m_progress = 0;
    m_ctx.host.closeProgress();
}
