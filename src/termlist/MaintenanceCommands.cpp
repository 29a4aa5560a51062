#include "termlist/MaintenanceCommands.h"

#include "comm/ResultCodes.h"
#include "termlist/ProgressTexts.h"

#include <QCoreApplication>

#include <array>

namespace
{

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(MaintenanceCommands)
};

const char *const firmFilter = QT_TRANSLATE_NOOP("MaintenanceCommands", "プログラムファイル (*.s)");
const char *const commonFilter = QT_TRANSLATE_NOOP(
    "MaintenanceCommands", "設定ファイル (*.ini);;CSVファイル (*.csv);;全てのファイル (*)");

CommandInfo info(MaintCommand c, const char *action, int kind, int op, int width,
                 const char *caption, const char *text, TargetFile file)
{
    return CommandInfo{c,    action, kind,      op,      width, caption,
                       text, file,   QString(), nullptr, false, true};
}

std::array<CommandInfo, 13> buildTable()
{
    using C = MaintCommand;
    using F = TargetFile;
    namespace K = RequestKind;
    namespace P = ProgressOp;
    std::array<CommandInfo, 13> t{{
        info(C::TermInfo, "actionTermInfo", K::TermInfo, P::TermInfo, 370,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "端末情報取得開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末から端末情報を取得します。\nよろしいですか？"),
             F::None),
        info(
            C::ReadSys, "actionReadSys", K::ReadSys, P::ReadSys, 410,
            QT_TRANSLATE_NOOP("MaintenanceCommands", "端末システム設定読み込み開始確認"),
            QT_TRANSLATE_NOOP("MaintenanceCommands",
                              "現在選択中の端末からシステム設定を読み込みます。\nよろしいですか？"),
            F::TerminalSys),
        info(C::ReadUser, "actionReadUser", K::ReadUser, P::ReadUser, 410,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "端末ユーザ設定読み込み開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末からユーザ設定を読み込みます。\nよろしいですか？"),
             F::TerminalUser),
        info(
            C::ReadDial, "actionReadDial", K::ReadDial, P::ReadDial, 460,
            QT_TRANSLATE_NOOP("MaintenanceCommands", "端末電話帳データ読み込み開始確認"),
            QT_TRANSLATE_NOOP("MaintenanceCommands",
                              "現在選択中の端末から電話帳データを読み込みます。\nよろしいですか？"),
            F::TerminalDial),
        info(C::WriteSys, "actionWriteSys", K::WriteSys, P::WriteSys, 410,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "端末システム設定書き込み開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末にシステム設定を書き込みます。\nよろしいですか？"),
             F::TerminalSys),
        info(C::WriteUser, "actionWriteUser", K::WriteUser, P::WriteUser, 410,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "端末ユーザ設定書き込み開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末にユーザ設定を書き込みます。\nよろしいですか？"),
             F::TerminalUser),
        info(C::WriteDial, "actionWriteDial", K::WriteDial, P::WriteDial, 460,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "端末電話帳データ書き込み開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末に電話帳データを書き込みます。\nよろしいですか？"),
             F::TerminalDial),
        info(C::WriteCommonSys, "actionWriteCommonSys", K::WriteCommon, P::WriteCommon, 380,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "共通ファイル書き込み開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末に共通ファイルを書き込みます。\nよろしいですか？"),
             F::Chosen),
        info(C::WriteCommonUser, "actionWriteCommonUser", K::WriteCommon, P::WriteCommon, 380,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "共通ファイル書き込み開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末に共通ファイルを書き込みます。\nよろしいですか？"),
             F::Chosen),
        info(C::WriteBoot, "actionWriteBoot", K::WriteBoot, P::WriteBoot, 490,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "ブートプログラムバージョンアップ開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands", "現在選択中の端末のブートプログラムバージョン"
                                                      "アップを開始します。\nよろしいですか？"),
             F::Chosen),
        info(C::WriteApli, "actionWriteApli", K::WriteApli, P::WriteApli, 550,
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "アプリケーションプログラムバージョンアップ開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末のアプリケーションプログラムバージョンアップを開始"
                               "します。\nよろしいですか？"),
             F::Chosen),
        info(C::Restart, "actionRestart", K::Restart, P::Restart, 330,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "端末再起動開始確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末を再起動します。\nよろしいですか？"),
             F::None),
        info(C::ForceClose, "actionForceClose", K::ForceClose, P::ForceClose, 370,
             QT_TRANSLATE_NOOP("MaintenanceCommands", "端末保守強制終了確認"),
             QT_TRANSLATE_NOOP("MaintenanceCommands",
                               "現在選択中の端末の保守を強制終了します。\nよろしいですか？"),
             F::None),
    }};
    auto chosen = [&](C c, const char *initial, const char *filter) {
        CommandInfo &s = t[static_cast<std::size_t>(c)];
        s.dialogInitial = QString::fromUtf8(initial);
        s.filterSource = filter;
    };
    chosen(C::WriteCommonSys, "Data/Sys/*.ini", commonFilter);
    chosen(C::WriteCommonUser, "Data/User/*.ini", commonFilter);
    chosen(C::WriteBoot, "Boot/*.s", firmFilter);
    chosen(C::WriteApli, "Apli/*.s", firmFilter);
    t[static_cast<std::size_t>(C::WriteCommonSys)].secondQuestion = true;
    t[static_cast<std::size_t>(C::WriteCommonUser)].secondQuestion = true;
    t[static_cast<std::size_t>(C::WriteBoot)].withMac = false;
    t[static_cast<std::size_t>(C::WriteApli)].withMac = false;
    return t;
}

} // namespace

const CommandInfo &commandInfo(MaintCommand command)
{
    static const std::array<CommandInfo, 13> table = buildTable();
    return table[static_cast<std::size_t>(command)];
}

const std::vector<MaintCommand> &allCommands()
{
    static const std::vector<MaintCommand> all = [] {
        std::vector<MaintCommand> v;
        for (int i = 0; i <= static_cast<int>(MaintCommand::ForceClose); ++i)
            v.push_back(static_cast<MaintCommand>(i));
        return v;
    }();
    return all;
}

QString CommandInfo::caption() const
{
    return Tr::tr(captionSource);
}

QString CommandInfo::text() const
{
    return Tr::tr(textSource);
}

QString CommandInfo::dialogFilter() const
{
    return filterSource ? Tr::tr(filterSource) : QString();
}

QString commonFileSecondText()
{
    return Tr::tr("共通ファイルを選択した全端末に書き込みます。\n本当によろしいですか？");
}
