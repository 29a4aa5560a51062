#include "termlist/CommandFlow.h"

#include "comm/CommPayloads.h"
#include "common/CommandScope.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/CommandTargets.h"
#include "termlist/NoticeApplier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(CommandFlow)
};
} // namespace

bool CommandFlow::run(MaintCommand command)
{
    // Timer 16 stays off while the command runs; the scope starts it again.
    CommandScope scope;
    const CommandInfo &info = commandInfo(command);
    bool posted = false;
    const std::vector<TermEntry> rows = m_ctx.host.selectedEntries();
    if (rows.empty())
        m_ctx.host.showStatusNote(noSelectionText());
    if (!rows.empty() && !m_awaiting) {
        QString chosen;
        const bool fileOk = info.file != TargetFile::Chosen || !(chosen = chooseFile(info)).isEmpty();
        if (fileOk && confirm(info)) {
            Order order;
            order.requestKind = info.requestKind;
            order.progressOp = info.progressOp;
            order.rows = rows;
            order.withMac = info.withMac;
            if (info.file != TargetFile::None)
                order.fileOf = [rule = info.file, chosen](const TermEntry &row) {
                    return CommandTargets::localFile(rule, row, chosen);
                };
            posted = start(order);
            if (posted)
                m_last = LastCommand{command, chosen, CommandTargets::targetIds(rows),
                                     CommandTargets::alertsOf(rows)};
        }
    }
    if (!posted)
        m_ctx.refreshIfPending();
    return posted;
}

QString CommandFlow::noSelectionText()
{
    return QCoreApplication::translate("CommandFlow",
                                       " 端末が選択されていません。一覧から処理する端末を選択して"
                                       "ください。");
}

QString CommandFlow::chooseFile(const CommandInfo &info)
{
    const QString file = m_ctx.ask().openFileName(
        Tr::tr("開く"), ProcessValues::programPath(info.dialogInitial), info.dialogFilter());
    return file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
}

bool CommandFlow::confirm(const CommandInfo &info)
{
    IPrompter &p = m_ctx.ask();
    if (p.appMessageBox(info.widthCode, 2, info.text(), info.caption(),
                        MsgType::IconQuestion | MsgType::YesNo) != MsgResult::Yes)
        return false;
    if (!info.secondQuestion)
        return true;
    return p.appMessageBox(info.widthCode, 2, commonFileSecondText(), info.caption(),
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
    if (m_awaiting || !CommandTargets::check(order.rows, m_ctx.ask(), order.answered))
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
