#include "termlist/ListCommands.h"

#include "comm/CommPayloads.h"
#include "register/TermDatabase.h"
#include "termlist/CommandHost.h"
#include "termlist/ExternalProgram.h"
#include "termlist/FirmChecks.h"
#include "termlist/ListExport.h"
#include "termlist/NoticeApplier.h"
#include "termlist/ProgressTexts.h"
#include "termlist/TerminalFiles.h"
#include "termlist/TerminalInput.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

namespace
{
// The texts are the list window's and keep its translation context.
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(CTerminalView)
};

constexpr unsigned Question = MsgType::IconQuestion | MsgType::YesNo;
} // namespace

ListCommands::ListCommands(CommandContext &context, ProgressFactory progress)
    : m_ctx(context), m_progress(std::move(progress))
{
}

void ListCommands::readCondition(ListCondInfo &cond)
{
    if (m_ctx.db.readListCond(cond) == DbAnswer::Done)
        return;
    m_ctx.ask().appMessageBox(1, 2,
                              Tr::tr("表示条件データの読み込みでエラーが発生しました。\n標準の条件"
                                     "で端末データを読み込みます。"),
                              Tr::tr("データベース読み込みエラー"), MsgType::IconError);
    StandardListCond(cond);
}

void ListCommands::applyStoredSettings()
{
    SystemSettings settings;
    if (m_ctx.db.readSystemSettings(settings) == DbAnswer::Done) {
        m_ctx.notices.setNewTerminalRate(settings.NewTermRate);
        if (m_ctx.firmChecks)
            m_ctx.firmChecks->setWait(settings.FirmCheckWait);
    }
    if (m_ctx.firmChecks)
        m_ctx.firmChecks->check();
}

bool ListCommands::readList(const ListCondInfo &cond, std::vector<TermEntry> &entries)
{
    if (m_ctx.db.readList(cond, entries) == DbAnswer::Done)
        return true;
    m_ctx.ask().appMessageBox(1, 2,
                              Tr::tr("端末情報データ読み込みでエラーが発生しました。\nデータベース"
                                     "ファイルを確認してください。"),
                              Tr::tr("端末情報読み込み"), MsgType::IconError);
    return false;
}

QString ListCommands::silentLine()
{
    qint64 silent = 0;
    return m_ctx.db.countSilent(silent) == DbAnswer::Done ? ListColumns::silentLine(silent)
                                                          : QString();
}

QString ListCommands::statusLine(qint64 shown) const
{
    QString status = ListColumns::statusLine(shown);
    if (const std::uint64_t refused = m_ctx.notices.refused())
        status += Tr::tr("　送信元ごとの上限を超えた新規端末の通知 %n 件は登録していません。",
                         nullptr, int(std::min<std::uint64_t>(refused, INT_MAX)));
    return status;
}

bool ListCommands::confirmClearAll()
{
    return m_ctx.ask().appMessageBox(
               420, 2,
               Tr::tr("現在設定されているフィルタ条件とソート条件をすべてクリアします。\n "
                      "よろしいですか？"),
               Tr::tr("フィルタ・ソート条件解除確認"), Question) == MsgResult::Yes;
}

bool ListCommands::saveCondition(const ListCondInfo &cond)
{
    if (m_ctx.db.writeListCond(cond) == DbAnswer::Done)
        return true;
    m_ctx.ask().appMessageBox(1, 1, Tr::tr("端末一覧表示条件データを正しく保存できませんでした。"),
                              Tr::tr("一覧表示条件保存"), MsgType::IconError);
    return false;
}

void ListCommands::exportList(const std::vector<ViewColumn> &columns,
                              const std::vector<TermEntry> &entries)
{
    IPrompter &ask = m_ctx.ask();
    if (ask.appMessageBox(
            420, 2,
            Tr::tr("現在表示中の端末一覧情報をテキストファイルに出力します。\nよろしいですか？"),
            Tr::tr("端末一覧テキスト出力確認"), Question) != MsgResult::Yes)
        return;
    const QByteArray bytes = ListExport::build(columns, entries);
    if (ListExport::write(ProcessValues::programPath(ListExport::relativePath()), bytes))
        ask.appMessageBox(320, 1, Tr::tr("端末一覧をテキストファイルに出力しました。"),
                          Tr::tr("端末一覧テキスト出力完了"), MsgType::IconInformation);
    else
        ask.appMessageBox(320, 2,
                          Tr::tr("端末一覧を正常に出力できませんでした。\nディスクに空きが"
                                 "あるか確認してください。"),
                          Tr::tr("端末一覧テキスト出力異常"), MsgType::IconError);
}

void ListCommands::addTerminals(const QString &firstId, int count)
{
    const QStringList ids = TerminalInput::terminalIdSequence(firstId, count);
    if (ids.isEmpty())
        return;
    std::vector<TermItem> items;
    items.reserve(ids.size());
    for (const QString &id : ids)
        items.push_back(TermItem{0, id, 0});
    m_ctx.notices.flush();
    int answer = DbAnswer::Done;
    {
        const std::unique_ptr<IRegisterProgress> progress = m_progress(ProgressOp::AddTerminals);
        answer = m_ctx.db.addTerminals(items, progress.get());
    }
    if (answer != DbAnswer::Done)
        m_ctx.ask().appMessageBox(1, 1, Tr::tr("一部の端末を追加できませんでした。"),
                                  Tr::tr("端末登録"), MsgType::IconWarning);
}

bool ListCommands::deleteTerminals(const std::vector<TermEntry> &selected)
{
    IPrompter &ask = m_ctx.ask();
    if (ask.appMessageBox(300, 2, Tr::tr("選択されている端末情報を削除します。\nよろしいですか？"),
                          Tr::tr("端末削除確認"), Question) != MsgResult::Yes)
        return false;
    const bool withFiles =
        ask.appMessageBox(
            320, 2, Tr::tr("端末用の設定ファイルを同時に削除します。\nよろしいですか？"),
            Tr::tr("設定ファイル削除確認"), Question | MsgType::DefaultSecond) == MsgResult::Yes;

    std::vector<TermItem> items;
    items.reserve(selected.size());
    for (const TermEntry &e : selected)
        items.push_back(TermItem{e.ID, e.TermID, 0});
    m_ctx.notices.flush();
    int answer = DbAnswer::Done;
    {
        const std::unique_ptr<IRegisterProgress> progress = m_progress(ProgressOp::DeleteTerminals);
        answer = m_ctx.db.deleteTerminals(items, progress.get());
    }
    if (withFiles) {
        const std::unique_ptr<IRegisterProgress> progress = m_progress(ProgressOp::DeleteFiles);
        const int total = static_cast<int>(items.size());
        const int step = ProgressStep(total);
        progress->progress(0, total);
        int done = 0;
        for (const TermItem &item : items) {
            // Files of a row that is still there (it couldn't be deleted) stay.
            if (item.result != ItemResult::NotUpdatable)
                TerminalFiles::remove(item.TermID);
            ++done;
            if (done % step == 0 || done == total)
                progress->progress(done, total);
            progress->yieldOnce();
        }
    }
    if (answer != DbAnswer::Done)
        ask.appMessageBox(300, 1, Tr::tr("一部の端末を削除できませんでした。"), Tr::tr("端末削除"),
                          MsgType::IconError);
    return true;
}

bool ListCommands::clearResults(const std::vector<TermEntry> &selected)
{
    if (m_ctx.ask().appMessageBox(
            370, 2, Tr::tr("現在選択中の端末の処理結果をクリアします。\nよろしいですか？"),
            Tr::tr("処理結果クリア確認"), Question) != MsgResult::Yes)
        return false;
    m_ctx.notices.flush();
    for (const TermEntry &e : selected) {
        if (e.UserInfo1.isEmpty())
            m_ctx.db.setResultByAddress(e.TermID, TerminalInput::addressValue(e.IPAddr), 0, 0);
        else
            m_ctx.db.setResultByMac(e.UserInfo1, 0, 0);
    }
    return true;
}

bool ListCommands::readSettings(SystemSettings &settings)
{
    if (m_ctx.db.readSystemSettings(settings) == DbAnswer::Done)
        return true;
    m_ctx.ask().appMessageBox(1, 1, Tr::tr("システム設定データを読み込めませんでした。"),
                              Tr::tr("システム設定取得"), MsgType::IconError);
    return false;
}

void ListCommands::applySettings(const SystemSettings &before, const SystemSettings &changed)
{
    SystemSettings stored = changed;
    if (m_ctx.db.writeSystemSettings(stored) != DbAnswer::Done)
        m_ctx.ask().appMessageBox(1, 1, Tr::tr("システム設定データを正しく保存できませんでした。"),
                                  Tr::tr("システム設定保存"), MsgType::IconError);
    ProcessValues::historyKeep = stored.HistoryKeep;
    m_ctx.notices.setNewTerminalRate(stored.NewTermRate);
    // The silence follows the interval; the waits of firmware checks take
    // their new length at once.
    if (stored.EntryInt != before.EntryInt)
        m_ctx.host.setRefreshPending();
    if (m_ctx.firmChecks) {
        m_ctx.firmChecks->setWait(stored.FirmCheckWait);
        m_ctx.firmChecks->check();
    }
    CommSettings comm;
    comm.udpPort = stored.UDPPort;
    comm.ftpMode = stored.FTPMode;
    comm.entryInt = stored.EntryInt;
    m_ctx.post(m_ctx.comm, Msg::StartStop, 0,
               MakeCommSettingsMessage(m_ctx.self, TaskKind::SettingsChanged, comm));
}

void ListCommands::showLog()
{
    IPrompter &ask = m_ctx.ask();
    const QString file = ask.openFileName(
        Tr::tr("ログ表示"), ProcessValues::programPath(QStringLiteral("Log/Log_*.txt")),
        Tr::tr("ログファイル (*.txt)"));
    if (file.isEmpty())
        return;
    SystemSettings settings;
    QString editor = QString::fromUtf8(DefaultEditorPath);
    if (m_ctx.db.readSystemSettings(settings) == DbAnswer::Done && !settings.EditerPath.isEmpty())
        editor = settings.EditerPath;
    ExternalProgram::start(editor, {file}, ask);
}

void ListCommands::chooseLanguage(UiLanguage language)
{
    UiLanguages::save(language);
    m_ctx.ask().appMessageBox(1, 1, Tr::tr("表示言語は次回の起動から切り替わります。"),
                              Tr::tr("言語"), MsgType::IconInformation);
}

bool ListCommands::exitAllowed()
{
    if (ProcessValues::remoteUpdateCount.load() <= 0)
        return true;
    m_ctx.ask().appMessageBox(420, 1,
                              Tr::tr("現在､端末へのリモート設定を行っている為､終了できません"),
                              Tr::tr("終了できません｡"), MsgType::IconInformation);
    return false;
}
