#pragma once
// The terminal list, the main window's only view. It owns the register
// database (prepared and opened when the view is built), the list condition
// and the terminal entries of the last read; it is the main thread's message
// endpoint; and it carries the menu commands of the list: header clicks,
// clear all, column selection, export, add, delete, detail, system settings,
// the about box and the exit command. The maintenance commands and the
// communication manager's notifications, and the questions, register work
// and reports of the list's own commands, are handled by widget-free classes
// (CommandFlow, ViewNotifications, StoredRequestDiscard, ListCommands) that
// the view only wires to its menus, dialogs and windows.

#include "common/ThreadMessage.h"
#include "common/UiLanguage.h"
#include "register/ListCond.h"
#include "register/RegisterTypes.h"
#include "termlist/MaintenanceCommands.h"
#include "termlist/SelectionMemory.h"
#include "termlist/ViewHooks.h"

#include <QHash>
#include <QPointer>
#include <QTableView>

#include <functional>
#include <memory>
#include <vector>

class CDashboardWindow;
class CTermDatabase;
class CTermListModel;
class FirmCheckTracker;
class CViewCommandHost;
class CommandFlow;
class CommandRepeat;
class ListCommands;
class NoticeApplier;
class StoredRequestDiscard;
class ViewNotifications;
struct CommandContext;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;

class CTerminalView : public QTableView
{
    Q_OBJECT
public:
    // Prepares and opens the register in the program folder; on failure the
    // user has been told and ProcessValues::startupAbort is set.
    explicit CTerminalView(QWidget *parent = nullptr);
    ~CTerminalView() override;

    // The first update: reads the list condition (the standard one after a
    // failure), builds the columns, reads and shows the list and selects the
    // first row. Does nothing when start-up was aborted.
    void initialUpdate();

    CTermDatabase &database() { return *m_db; }
    // Applies the terminals' notices (kind 40) to the register.
    NoticeApplier &noticeApplier() { return *m_notices; }
    CTermListModel *listModel() const { return m_model; }
    const ListCondInfo &listCondition() const { return m_cond; }

    // The status line goes into this pane of the frame's status bar.
    void setStatusPane(QLabel *pane);
    QString statusText() const { return m_statusText; }
    // A note in the status line; the next fill shows the count again.
    void showStatusNote(const QString &text) { showStatus(text); }
    // The count of silent terminals, redrawn with the list.
    void setSilentPane(QLabel *pane);
    QString silentText() const { return m_silentText; }
    // Ends the firmware checks no notice answered in time.
    FirmCheckTracker &firmChecks() { return *m_firmChecks; }
    // The dashboard window while it exists.
    CDashboardWindow *dashboard() const;

    // Fills the frame's menu bar with the program's menus. Actions carry
    // object names ("actionAddTerminals", ...) so that they can be found.
    void buildMenus(QMenuBar *bar);
    QAction *action(const QString &objectName) const { return m_actions.value(objectName); }

    // Remembers the selection, re-reads the list and shows it; on a read
    // error the message is shown and the list stays empty.
    bool refresh();
    // Replaces the columns by the shown ones of the list condition.
    void rebuildColumns();
    // Gives the notice applier the stored rate of new terminals per address
    // and the firmware checks their wait (ending those that ran out).
    void applyStoredSettings();
    // The entries of the selected rows in display order.
    std::vector<TermEntry> selectedEntries() const;

    // Set when the register changed while the list wasn't redrawn; every
    // fill clears it and the commands redraw at their end while it is set.
    bool refreshPending() const { return m_refreshPending; }
    void setRefreshPending(bool pending) { m_refreshPending = pending; }

    // The main window's enabled state as the commands see it. Disabling it
    // disables the menu bar; modal dialogs keep their own input.
    bool isMainEnabled() const { return m_mainEnabled && !m_mainHeld; }
    void setMainEnabled(bool enabled);
    // A modeless window that keeps the main window disabled while it is open
    // (the schedule execution window) holds it: the end of a header click or
    // of any command then leaves it disabled.
    void holdMainDisabled(bool hold);

    // The maintenance commands; edit flows start their requests here.
    CommandFlow &commands() { return *m_flow; }
    CommandRepeat &commandRepeat() { return *m_repeat; }
    // The progress and terminal-update windows of the commands.
    CViewCommandHost &commandWindows() { return *m_commandHost; }
    // Hooks of other subsystems' windows (nullptr unregisters).
    void setScheduleSink(IScheduleCompletionSink *sink);
    void setTerminalFileWaiter(ITerminalFileWaiter *waiter);
    void setInitialSettingsMode(IInitialSettingsMode *mode);
    // The schedule windows belong to another subsystem; the application
    // tells the view how to open them ("スケジュール設定", "スケジュール実行").
    void setScheduleOpeners(std::function<void()> settings, std::function<void()> run);
    // The dialog "初期設定実行" belongs to another subsystem; the application
    // tells the view how to open it. While open it is the view's hook.
    void setInitialSettingsOpener(std::function<void()> open);
    IInitialSettingsMode *initialSettingsMode() const;

public slots:
    void onSystemSettings();
    void onExportList();
    void onExit();
    void onAddTerminals();
    void onDeleteTerminals();
    void onClearResults();
    void onShowDetail();
    void onSelectColumns();
    void onClearAll();
    void onShowLog();
    void onAbout();
    // A maintenance command of the "保守(&M)" menu on the selected rows.
    void runCommand(MaintCommand command);
    void onScheduleSettings();
    void onScheduleRun();
    void onInitialSettings();
    // The View menu's language: kept for the next start.
    void onLanguageChosen(UiLanguage language);
    // "表示" → "ダッシュボード": opens (or brings forward) the dashboard.
    void onDashboard();
    // A click on a dashboard bar: the list shows exactly its terminals and
    // comes forward. Ignored while a command holds the main window.
    void onDashboardBar(int chart, int bar);
    // After a bulk operation: the failed terminals selected, the last
    // command repeated on them, their list written out; a terminal's
    // settings history.
    void onSelectFailed();
    void onRepeatFailed();
    void onExportFailed();
    void onSettingsHistory();

    // A click on a column header: posts Msg::HeaderClick to the view when the
    // column offers sorting or filtering.
    void onHeaderClicked(int section);
    // The deferred header click: display condition dialog, then sort or filter.
    void handleHeaderClick(int column, int mode);

private:
    class Receiver;
    class NoticeHost;
    friend class Receiver;
    friend class NoticeHost;
    void onMessage(std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam);

    void buildLanguageMenu(QMenu *menu);
    // The selected rows, ascending, each once.
    std::vector<int> selectedRows() const;
    void rememberSelection();
    // Selects these rows (first and last, inclusive) across all columns.
    void selectRanges(const std::vector<std::pair<int, int>> &ranges);
    // Empties the list, optionally rebuilds the columns, reads and fills.
    bool reload(bool rebuildColumns);
    void fill(std::vector<TermEntry> &&entries);
    void showStatus(const QString &text);
    // Enables the main window and redraws when the command changed the
    // register or a refresh is pending.
    void endCommand(bool changed = false);
    // Writes the list condition after clear-all or column selection and
    // reloads; a failed write is reported and the list left as it was.
    void saveConditionAndReload();

    std::unique_ptr<CTermDatabase> m_db;
    CTermListModel *m_model;
    std::unique_ptr<NoticeHost> m_noticeHost;
    std::unique_ptr<NoticeApplier> m_notices;
    std::unique_ptr<CViewCommandHost> m_commandHost;
    std::unique_ptr<CommandContext> m_commandContext;
    std::unique_ptr<CommandFlow> m_flow;
    std::unique_ptr<CommandRepeat> m_repeat;
    std::unique_ptr<ListCommands> m_list;
    std::unique_ptr<StoredRequestDiscard> m_discard;
    std::unique_ptr<ViewNotifications> m_notifications;
    std::unique_ptr<Receiver> m_receiver;
    std::unique_ptr<FirmCheckTracker> m_firmChecks;
    QPointer<CDashboardWindow> m_dashboard;
    QPointer<QLabel> m_silentPane;
    QString m_silentText;
    ListCondInfo m_cond;
    SelectionMemory m_memory;
    bool m_refreshPending = false;
    bool m_mainEnabled = true;
    bool m_mainHeld = false;
    QString m_statusText;
    QPointer<QLabel> m_statusPane;
    QPointer<QMenuBar> m_menuBar;
    QHash<QString, QAction *> m_actions;
    std::function<void()> m_openScheduleSettings;
    std::function<void()> m_openScheduleRun;
    std::function<void()> m_openInitialSettings;
};
