// The main window's menu bar: what sits where under which name and text,
// and the view's command each action starts.
#include "termlist/ui/TerminalView.h"

#include "common/CommandScope.h"
#include "common/UiLanguage.h"
#include "termlist/CommandRepeat.h"
#include "termlist/ListCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <tuple>

void CTerminalView::buildLanguageMenu(QMenu *menu)
{
    const UiLanguage chosen = UiLanguages::saved().value_or(UiLanguages::current());
    auto *group = new QActionGroup(menu);
    // Each language under its own name, so that a user who can't read the
    // interface finds his own.
    for (const auto &[name, text, language] :
         {std::tuple{"actionLanguageJapanese", u"日本語", UiLanguage::Japanese},
          std::tuple{"actionLanguageEnglish", u"English", UiLanguage::English}}) {
        QAction *a = menu->addAction(QString::fromUtf16(text));
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setChecked(language == chosen);
        group->addAction(a);
        m_actions.insert(a->objectName(), a);
        connect(a, &QAction::triggered, this, [this, l = language] { onLanguageChosen(l); });
    }
}

void CTerminalView::onLanguageChosen(UiLanguage language)
{
    CommandScope scope;
    m_list->chooseLanguage(language);
}

void CTerminalView::buildMenus(QMenuBar *bar)
{
    m_menuBar = bar;
    const auto add = [this](QMenu *menu, const char *name, const char *text,
                            void (CTerminalView::*slot)() = nullptr) {
        QAction *a = menu->addAction(tr(text));
        a->setObjectName(QString::fromLatin1(name));
        m_actions.insert(a->objectName(), a);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        else
            a->setEnabled(false); // comes with the maintenance, schedule and editor work
        return a;
    };
    const auto command = [this](QMenu *menu, MaintCommand c, const char *text) {
        QAction *a = menu->addAction(tr(text));
        a->setObjectName(QString::fromLatin1(commandInfo(c).actionName));
        m_actions.insert(a->objectName(), a);
        connect(a, &QAction::triggered, this, [this, c] { runCommand(c); });
    };
    const auto sub = [](QMenu *menu, const char *text) { return menu->addMenu(tr(text)); };

    QMenu *file = bar->addMenu(tr("ﾌｧｲﾙ(&F)"));
    add(file, "actionSystemSettings", QT_TR_NOOP("設定(&S)"), &CTerminalView::onSystemSettings);
    add(file, "actionExportList", QT_TR_NOOP("端末一覧テキスト出力(&T)"),
        &CTerminalView::onExportList);
    add(file, "actionExportFailed", QT_TR_NOOP("処理失敗端末の出力(&O)"),
        &CTerminalView::onExportFailed);
    file->addSeparator();
    add(file, "actionExit", QT_TR_NOOP("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"), &CTerminalView::onExit);

    QMenu *edit = bar->addMenu(tr("編集(&E)"));
    add(edit, "actionAddTerminals", QT_TR_NOOP("端末追加(&A)"), &CTerminalView::onAddTerminals);
    add(edit, "actionDeleteTerminals", QT_TR_NOOP("端末削除(&D)"),
        &CTerminalView::onDeleteTerminals);
    add(edit, "actionClearResults", QT_TR_NOOP("処理結果のクリア(&C)"),
        &CTerminalView::onClearResults);
    add(edit, "actionSelectFailed", QT_TR_NOOP("処理失敗端末を選択(&F)"),
        &CTerminalView::onSelectFailed);
    edit->addSeparator();
    QMenu *termFiles = sub(edit, QT_TR_NOOP("端末ファイル編集(&E)"));
    add(termFiles, "actionEditTermSys", QT_TR_NOOP("システム設定(&S)"));
    add(termFiles, "actionEditTermUser", QT_TR_NOOP("ユーザ設定(&U)"));
    add(termFiles, "actionEditPhoneBook", QT_TR_NOOP("電話帳(&D)"));
    QMenu *commonFiles = sub(edit, QT_TR_NOOP("共通ファイル編集(&C)"));
    add(commonFiles, "actionEditCommonSys", QT_TR_NOOP("システム設定(&S)"));
    add(commonFiles, "actionEditCommonUser", QT_TR_NOOP("ユーザ設定(&U)"));
    add(edit, "actionSettingsHistory", QT_TR_NOOP("設定履歴(&H)"),
        &CTerminalView::onSettingsHistory);

    QMenu *view = bar->addMenu(tr("表示(&V)"));
    add(view, "actionShowDetail", QT_TR_NOOP("端末詳細表示(&D)"), &CTerminalView::onShowDetail);
    view->addSeparator();
    add(view, "actionSelectColumns", QT_TR_NOOP("一覧表示項目選択(&S)"),
        &CTerminalView::onSelectColumns);
    add(view, "actionClearAll", QT_TR_NOOP("フィルタ・ソート全解除(&Q)"),
        &CTerminalView::onClearAll);
    view->addSeparator();
    add(view, "actionDashboard", QT_TR_NOOP("ダッシュボード"), &CTerminalView::onDashboard);
    view->addSeparator();
    buildLanguageMenu(sub(view, QT_TR_NOOP("言語")));

    QMenu *maint = bar->addMenu(tr("保守(&M)"));
    command(maint, MaintCommand::TermInfo, QT_TR_NOOP("端末情報取得(&S)"));
    maint->addSeparator();
    QMenu *read = sub(maint, QT_TR_NOOP("設定ファイル読込(&R)"));
    command(read, MaintCommand::ReadSys, QT_TR_NOOP("システム設定(&S)"));
    command(read, MaintCommand::ReadUser, QT_TR_NOOP("ユーザ設定(&U)"));
    command(read, MaintCommand::ReadDial, QT_TR_NOOP("電話帳(&D)"));
    QMenu *write = sub(maint, QT_TR_NOOP("設定ファイル書込(&W)"));
    command(write, MaintCommand::WriteSys, QT_TR_NOOP("システム設定(&S)"));
    command(write, MaintCommand::WriteUser, QT_TR_NOOP("ユーザ設定(&U)"));
    command(write, MaintCommand::WriteDial, QT_TR_NOOP("電話帳(&D)"));
    QMenu *common = sub(maint, QT_TR_NOOP("共通ファイル書込(&C)"));
    command(common, MaintCommand::WriteCommonSys, QT_TR_NOOP("システム設定(&S)"));
    command(common, MaintCommand::WriteCommonUser, QT_TR_NOOP("ユーザ設定(&U)"));
    maint->addSeparator();
    QMenu *firm = sub(maint, QT_TR_NOOP("ファームバージョンアップ(&V)"));
    command(firm, MaintCommand::WriteBoot, QT_TR_NOOP("ブートプログラム(&B)"));
    command(firm, MaintCommand::WriteApli, QT_TR_NOOP("アプリケーションプログラム(&A)"));
    maint->addSeparator();
    command(maint, MaintCommand::Restart, QT_TR_NOOP("端末再起動(&B)"));
    command(maint, MaintCommand::ForceClose, QT_TR_NOOP("保守強制終了(&Z)"));
    maint->addSeparator();
    QAction *repeat =
        add(maint, "actionRepeatFailed", QT_TR_NOOP("前回の処理を失敗端末に再実行(&L)"),
            &CTerminalView::onRepeatFailed);
    // Usable only with a last command some of whose terminals failed.
    repeat->setEnabled(false);
    connect(maint, &QMenu::aboutToShow, this,
            [this, repeat] { repeat->setEnabled(m_repeat->available()); });
    maint->addSeparator();
    add(maint, "actionFirmRegister", QT_TR_NOOP("自動更新ファームウェア登録(&F)"));
    add(maint, "actionInitialSettings", QT_TR_NOOP("初期設定実行(&U)"),
        &CTerminalView::onInitialSettings);

    QMenu *sched = bar->addMenu(tr("ｽｹｼﾞｭｰﾘﾝｸﾞ(&S)"));
    add(sched, "actionScheduleSettings", QT_TR_NOOP("スケジュール設定(&U)"),
        &CTerminalView::onScheduleSettings);
    add(sched, "actionScheduleRun", QT_TR_NOOP("スケジュール実行(&R)"),
        &CTerminalView::onScheduleRun);

    QMenu *help = bar->addMenu(tr("ﾍﾙﾌﾟ(&H)"));
    add(help, "actionShowLog", QT_TR_NOOP("ログ表示(&L)"), &CTerminalView::onShowLog);
    help->addSeparator();
    add(help, "actionAbout", QT_TR_NOOP("バージョン情報(&A)..."), &CTerminalView::onAbout);

    bar->setEnabled(isMainEnabled());
}
