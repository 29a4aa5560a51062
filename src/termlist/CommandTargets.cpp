#include "termlist/CommandTargets.h"

#include "common/Ipv4.h"
#include "common/TerminalPaths.h"

#include <QCoreApplication>

#include <algorithm>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(CommandTargets)
};
} // namespace

namespace CommandTargets
{

std::optional<std::uint32_t> addressOf(const TermEntry &row)
{
    return Ipv4::parse(row.IPAddr);
}

AnsweredAlerts alertsOf(const std::vector<TermEntry> &rows)
{
    AnsweredAlerts alerts;
    for (const TermEntry &row : rows) {
        alerts.termId = alerts.termId || row.TermIDAlert == 1;
        alerts.address = alerts.address || row.IPAddrAlert == 1;
    }
    return alerts;
}

bool check(const std::vector<TermEntry> &rows, IPrompter &prompter, AnsweredAlerts answered)
{
    const bool anyAddress = std::any_of(rows.begin(), rows.end(), [](const TermEntry &row) {
        return addressOf(row).has_value();
    });
    const AnsweredAlerts alerts = alertsOf(rows);
    const bool idAlert = alerts.termId && !answered.termId;
    const bool addressAlert = alerts.address && !answered.address;
    if (!anyAddress) {
        prompter.appMessageBox(1, 2,
                               Tr::tr("IPアドレスが格納されている端末が無いので処理を続け"
                                      "ることができません。\n終了します。"),
                               Tr::tr("対象端末IPアドレスエラー"), MsgType::IconError);
        return false;
    }
    const unsigned type = MsgType::IconWarning | MsgType::YesNo | MsgType::DefaultSecond;
    const QString caption = Tr::tr("端末情報取得開始確認");
    if (idAlert &&
        prompter.appMessageBox(
            460, 3,
            Tr::tr("端末IDアラートが発生している端末が含まれています。\nこのまま続けると不正な端末"
                   "情報に更新してしまう可能性があります。\n処理を続行してもよろしいですか？"),
            caption, type) != MsgResult::Yes)
        return false;
    if (addressAlert &&
        prompter.appMessageBox(
            460, 3,
            Tr::tr("IPアドレスアラートが発生している端末が含まれています。\nこのまま続けると不正な"
                   "端末情報に更新してしまう可能性があります。\n処理を続行してもよろしいですか？"),
            caption, type) != MsgResult::Yes)
        return false;
    return true;
}

QString localFile(TargetFile rule, const TermEntry &row, const QString &chosen)
{
    switch (rule) {
    case TargetFile::TerminalSys:
        return TerminalPaths::absolute(TerminalPaths::Kind::System, row.TermID);
    case TargetFile::TerminalUser:
        return TerminalPaths::absolute(TerminalPaths::Kind::User, row.TermID);
    case TargetFile::TerminalDial:
        return TerminalPaths::absolute(TerminalPaths::Kind::PhoneBook, row.TermID);
    case TargetFile::Chosen:
        return chosen;
    case TargetFile::None:
        break;
    }
    return {};
}

std::vector<std::int32_t> targetIds(const std::vector<TermEntry> &rows)
{
    std::vector<std::int32_t> ids;
    for (const TermEntry &row : rows)
        if (addressOf(row))
            ids.push_back(row.ID);
    return ids;
}

QList<TerminalEntry> build(const std::vector<TermEntry> &rows, int udpPort, bool withMac,
                           const std::function<QString(const TermEntry &)> &fileOf)
{
    QList<TerminalEntry> out;
    out.reserve(static_cast<qsizetype>(rows.size()));
    for (const TermEntry &row : rows) {
        const std::optional<std::uint32_t> address = addressOf(row);
        if (!address)
            continue;
        TerminalEntry e;
        e.termId = row.TermID;
        e.model = row.MachineName;
        if (withMac)
            e.macAddress = row.UserInfo1;
        e.address = *address;
        e.udpPort = static_cast<std::uint16_t>(udpPort);
        if (fileOf)
            e.file = fileOf(row);
        out.append(std::move(e));
    }
    return out;
}

} // namespace CommandTargets
