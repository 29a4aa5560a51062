#include "history/HistoryBrowser.h"

#include "common/Cp932.h"
#include "common/Prompter.h"

#include <QFileInfo>

#include <algorithm>
#include <climits>

using SettingsHistory::Kind;
using SettingsHistory::Origin;
using SettingsHistory::Version;

namespace
{

QString timeText(const QDateTime &dt)
{
    return dt.isValid() ? dt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) : QStringLiteral("－");
}

HistoryBrowser::Line lineOf(const Version &v, bool current)
{
    HistoryBrowser::Line line;
    line.number = v.number;
    line.current = current;
    line.version = HistoryBrowser::versionText(v.number, current);
    line.time = timeText(v.madeAt);
    line.origin = HistoryBrowser::originText(v.madeBy);
    line.sent = v.sentAt.isValid() ? HistoryBrowser::tr("送信済み %1")
                                         .arg(v.sentAt.toString(QStringLiteral("yyyy/MM/dd HH:mm")))
                                   : HistoryBrowser::tr("未送信");
    return line;
}

} // namespace

HistoryBrowser::HistoryBrowser(SettingsHistory::Store &store, const QString &termId)
    : m_store(store), m_termId(termId)
{
    reload();
}

void HistoryBrowser::setKind(Kind kind)
{
    m_kind = kind;
    reload();
}

void HistoryBrowser::reload()
{
    m_lines.clear();
    const SettingsHistory::Listing listing = m_store.list(m_termId, m_kind);
    if (listing.hasFile && listing.current == 0) {
        // Changed outside the program since: kept before its next replacement.
        Version outside;
        outside.madeAt = QFileInfo(m_store.filePath(m_termId, m_kind)).lastModified();
        m_lines.push_back(lineOf(outside, true));
    }
    for (auto it = listing.versions.rbegin(); it != listing.versions.rend(); ++it)
        m_lines.push_back(lineOf(*it, it->number == listing.current));
}

QString HistoryBrowser::kindText(Kind kind)
{
    switch (kind) {
    case Kind::System:
        return tr("システム設定");
    case Kind::User:
        return tr("ユーザ設定");
    case Kind::PhoneBook:
        return tr("電話帳");
    }
    return {};
}

QString HistoryBrowser::originText(Origin origin)
{
    switch (origin) {
    case Origin::Read:
        return tr("端末から読込");
    case Origin::Edited:
        return tr("設定編集");
    case Origin::Initial:
        return tr("初期設定");
    case Origin::Restored:
        return tr("履歴から復元");
    case Origin::Unknown:
        break;
    }
    return tr("不明");
}

QString HistoryBrowser::versionText(int number, bool current)
{
    if (number == 0)
        return tr("現在のファイル");
    return current ? tr("第%1版（現在）").arg(number) : tr("第%1版").arg(number);
}

std::pair<int, int> HistoryBrowser::pairFor(const std::vector<int> &selected,
                                            const std::vector<Line> &lines)
{
    if (selected.size() == 2)
        return {selected[0], selected[1]};
    const auto at = std::find_if(lines.begin(), lines.end(), [&](const Line &l) {
        return selected.size() == 1 && l.number == selected[0];
    });
    if (at == lines.end())
        return {-1, -1};
    if (at->current) // against the one before it
        return std::next(at) == lines.end() ? std::pair(-1, -1)
                                            : std::pair(std::next(at)->number, at->number);
    const auto current =
        std::find_if(lines.begin(), lines.end(), [](const Line &l) { return l.current; });
    return current == lines.end() ? std::pair(-1, -1) : std::pair(at->number, current->number);
}

bool HistoryBrowser::restorable(int number) const
{
    return number > 0 && std::any_of(m_lines.begin(), m_lines.end(), [number](const Line &l) {
               return l.number == number && !l.current;
           });
}

HistoryBrowser::Comparison HistoryBrowser::compare(int first, int second) const
{
    Comparison out;
    // The file in place (0) is the newest; kept versions grow with time.
    auto age = [](int n) { return n == 0 ? INT_MAX : n; };
    if (age(first) > age(second))
        std::swap(first, second);
    const std::optional<QByteArray> left = m_store.content(m_termId, m_kind, first);
    const std::optional<QByteArray> right = m_store.content(m_termId, m_kind, second);
    auto title = [this](int number) {
        for (const Line &l : m_lines)
            if (l.number == number)
                return l.version;
        return versionText(number);
    };
    out.leftTitle = title(first);
    out.rightTitle = title(second);
    if (!left || !right)
        return out;
    out.ok = true;
    out.rows =
        LineDiff::compare(LineDiff::splitLines(Cp932::decode(*left)),
                          LineDiff::splitLines(Cp932::decode(*right)), m_kind != Kind::PhoneBook);
    return out;
}

bool HistoryBrowser::restore(int number, IPrompter &prompter)
{
    if (!restorable(number))
        return false;
    const QString caption = tr("設定履歴の復元確認");
    const QString text = tr("%1を%2の内容に戻します。\n現在の内容は履歴に残ります。端末への書き込み"
                            "は行いません。\nよろしいですか？")
                             .arg(kindText(m_kind), versionText(number));
    if (prompter.appMessageBox(460, 3, text, caption, MsgType::IconQuestion | MsgType::YesNo) !=
        MsgResult::Yes)
        return false;
    const bool restored = m_store.restore(m_termId, m_kind, number);
    reload();
    if (!restored)
        prompter.appMessageBox(
            400, 2, tr("選択した版に戻せませんでした。\nディスクに空きがあるか確認してください。"),
            tr("設定履歴の復元"), MsgType::IconError);
    return restored;
}
