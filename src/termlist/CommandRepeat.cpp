#include "termlist/CommandRepeat.h"

#include "common/CommandScope.h"
#include "termlist/FailedTerminals.h"
#include "termlist/NoticeApplier.h"

#include <QHash>

std::vector<TermEntry> CommandRepeat::failedTargets()
{
    const std::optional<CommandFlow::LastCommand> &last = m_flow.lastCommand();
    if (!last)
        return {};
    // Results that arrived with notices count too.
    m_ctx.notices.flush();
    std::vector<TermEntry> failed;
    if (FailedTerminals::read(m_ctx.db, failed) != DbAnswer::Done)
        return {};
    QHash<std::int32_t, const TermEntry *> byId;
    for (const TermEntry &e : failed)
        byId.insert(e.ID, &e);
    std::vector<TermEntry> out;
    for (std::int32_t id : last->targets)
        if (const TermEntry *e = byId.value(id))
            out.push_back(*e);
    return out;
}

bool CommandRepeat::available()
{
    return !m_flow.awaiting() && !failedTargets().empty();
}

QString CommandRepeat::commandName(MaintCommand command)
{
    switch (command) {
    case MaintCommand::TermInfo:
        return tr("端末情報取得");
    case MaintCommand::ReadSys:
        return tr("システム設定読込");
    case MaintCommand::ReadUser:
        return tr("ユーザ設定読込");
    case MaintCommand::ReadDial:
        return tr("電話帳読込");
    case MaintCommand::WriteSys:
        return tr("システム設定書込");
    case MaintCommand::WriteUser:
        return tr("ユーザ設定書込");
    case MaintCommand::WriteDial:
        return tr("電話帳書込");
    case MaintCommand::WriteCommonSys:
        return tr("共通ファイル書込(システム設定)");
    case MaintCommand::WriteCommonUser:
        return tr("共通ファイル書込(ユーザ設定)");
    case MaintCommand::WriteBoot:
        return tr("ブートプログラムバージョンアップ");
    case MaintCommand::WriteApli:
        return tr("アプリケーションプログラムバージョンアップ");
    case MaintCommand::Restart:
        return tr("端末再起動");
    case MaintCommand::ForceClose:
        return tr("保守強制終了");
    }
    return {};
}

bool CommandRepeat::run()
{
    // Timer 16 stays off while the command runs; the scope starts it again.
    CommandScope scope;
    bool posted = false;
    const std::optional<CommandFlow::LastCommand> last = m_flow.lastCommand();
    const std::vector<TermEntry> rows =
        m_flow.awaiting() ? std::vector<TermEntry>() : failedTargets();
    if (last && !rows.empty()) {
        const CommandInfo &info = commandInfo(last->command);
        const QString text =
            tr("前回の処理「%1」を、処理に失敗した端末 %n 件に再実行します。\nよろしいですか？",
               nullptr, int(rows.size()))
                .arg(commandName(last->command));
        if (m_ctx.ask().appMessageBox(460, 2, text, info.caption(),
                                      MsgType::IconQuestion | MsgType::YesNo) == MsgResult::Yes) {
            CommandFlow::Order order;
            order.requestKind = info.requestKind;
            order.progressOp = info.progressOp;
            order.rows = rows;
            order.withMac = info.withMac;
            order.answered = last->answered;
            if (info.file != TargetFile::None)
                order.fileOf = [rule = info.file, chosen = last->chosen](const TermEntry &row) {
                    return CommandTargets::localFile(rule, row, chosen);
                };
            posted = m_flow.start(order);
            // Alerts of these rows have now been answered as well.
            const CommandTargets::AnsweredAlerts seen = CommandTargets::alertsOf(rows);
            if (posted)
                m_flow.setLastCommand({last->command,
                                       last->chosen,
                                       CommandTargets::targetIds(rows),
                                       {last->answered.termId || seen.termId,
                                        last->answered.address || seen.address}});
        }
    }
    if (!posted)
        m_ctx.refreshIfPending();
    return posted;
}
