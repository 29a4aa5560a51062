#include "termlist/ui/TerminalView.h"

#include "comm/CommPayloads.h"
#include "common/CommandScope.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "common/SignalEvent.h"
#include "register/TermDatabase.h"
#include "termlist/CommandFlow.h"
#include "termlist/CommandHost.h"
#include "termlist/CommandRepeat.h"
#include "termlist/FailedTerminals.h"
#include "termlist/FirmChecks.h"
#include "termlist/FleetCharts.h"
#include "termlist/ListColumns.h"
#include "termlist/ListCommands.h"
#include "termlist/NoticeApplier.h"
#include "termlist/StoredRequestDiscard.h"
#include "termlist/TermListModel.h"
#include "termlist/ViewNotifications.h"
#include "termlist/ui/AboutDialog.h"
#include "termlist/ui/AddTermDialog.h"
#include "termlist/ui/ColumnSelectDialog.h"
#include "termlist/ui/CondDialog.h"
#include "termlist/ui/DashboardWindow.h"
#include "termlist/ui/FilterDialogs.h"
#include "termlist/ui/ProgressDialog.h"
#include "termlist/ui/RemoteUpdateDialog.h"
#include "termlist/ui/SystemSettingsDialog.h"
#include "termlist/ui/TermDetailDialog.h"
#include "termlist/ui/ViewCommandHost.h"
#include "history/ui/HistoryDialog.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QMenuBar>

#include <algorithm>

namespace
{
// Extra room beside a header's text so that marks and padding never clip.
constexpr int HeaderPadding = 16;
} // namespace

// The view's message endpoint under the main thread's id.
class CTerminalView::Receiver : public MessageReceiver
{
public:
    explicit Receiver(CTerminalView *view) : MessageReceiver(0), m_view(view)
    {
        reRegister(ProcessValues::MainThreadId);
    }

protected:
    void onMessage(std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam) override
    {
        m_view->onMessage(msg, wParam, std::move(lParam));
    }

private:
    CTerminalView *m_view;
};

// What the notice applier sees of the view.
class CTerminalView::NoticeHost : public NoticeApplier::Host
{
public:
    explicit NoticeHost(CTerminalView *view) : m_view(view) {}
    bool refreshPending() const override { return m_view->m_refreshPending; }
    void setRefreshPending() override { m_view->m_refreshPending = true; }
    bool mainWindowEnabled() const override { return m_view->m_mainEnabled; }
    void refreshList() override { m_view->refresh(); }

private:
    CTerminalView *m_view;
};

CTerminalView::CTerminalView(QWidget *parent)
    : QTableView(parent), m_db(std::make_unique<CTermDatabase>()),
      m_model(new CTermListModel(this)), m_noticeHost(std::make_unique<NoticeHost>(this)),
      m_notices(std::make_unique<NoticeApplier>(*m_db, *m_noticeHost, ProcessValues::MainThreadId,
                                                ProcessValues::TimerThreadId)),
      m_commandHost(std::make_unique<CViewCommandHost>(*this)),
      m_commandContext(std::make_unique<CommandContext>(
          CommandContext{*m_db, *m_commandHost, *m_notices})),
      m_flow(std::make_unique<CommandFlow>(*m_commandContext)),
      m_repeat(std::make_unique<CommandRepeat>(*m_commandContext, *m_flow)),
      m_discard(std::make_unique<StoredRequestDiscard>(*m_commandContext, *m_flow)),
      m_notifications(
          std::make_unique<ViewNotifications>(*m_commandContext, *m_flow, *m_discard)),
      m_receiver(std::make_unique<Receiver>(this)), m_cond(DefaultListCond())
{
    m_list = std::make_unique<ListCommands>(*m_commandContext, [this](int operation) {
        auto progress = std::make_unique<CProgressDialog>(operation, this);
        progress->show();
        return std::unique_ptr<IRegisterProgress>(std::move(progress));
    });
    m_firmChecks = std::make_unique<FirmCheckTracker>(*m_db);
    m_commandContext->firmChecks = m_firmChecks.get();
    // A check that ran out shows at once, or at the end of a running command.
    m_firmChecks->onEnded = [this] {
        m_refreshPending = true;
        if (m_mainEnabled)
            refresh();
    };
    setObjectName(QStringLiteral("terminalView"));
    // The conditions hold no value for the result-date column when the stored
    // ones can't be read; it stays hidden then.
    m_cond.ColResultDate = 0;

    setModel(m_model);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setSortingEnabled(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    // Uniform rows: no row is ever measured, so 65,535 of them cost nothing.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CTerminalView::onHeaderClicked);

    // The event the terminal workers set after reading a settings file.
    ProcessesEvent().reset();
    // The old version's file goes, the register is compacted and opened.
    m_db->startUp();
}

CTerminalView::~CTerminalView() = default;

void CTerminalView::setScheduleSink(IScheduleCompletionSink *sink)
{
    m_commandContext->schedule = sink;
}

void CTerminalView::setTerminalFileWaiter(ITerminalFileWaiter *waiter)
{
    m_commandContext->waiter = waiter;
}

void CTerminalView::setInitialSettingsMode(IInitialSettingsMode *mode)
{
    m_commandContext->initialSettings = mode;
}

IInitialSettingsMode *CTerminalView::initialSettingsMode() const
{
    return m_commandContext->initialSettings;
}

void CTerminalView::runCommand(MaintCommand command)
{
    m_flow->run(command);
}

// ---- list ---------------------------------------------------------------

void CTerminalView::initialUpdate()
{
    if (ProcessValues::startupAbort.load() != 0)
        return;
    m_list->readCondition(m_cond);
    // The rate of new terminals; firmware checks that ran out while the
    // program was down end now, the others go on with the time they have left.
    applyStoredSettings();
    m_memory = SelectionMemory{};
    m_model->clearEntries();
    rebuildColumns();
    std::vector<TermEntry> entries;
    if (!m_list->readList(m_cond, entries))
        return;
    fill(std::move(entries));
    if (m_model->rowCount() > 0) {
        const QModelIndex first = m_model->index(0, 0);
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
    }
}

void CTerminalView::applyStoredSettings()
{
    m_list->applyStoredSettings();
}

void CTerminalView::rebuildColumns()
{
    const std::vector<ViewColumn> columns = ListColumns::shownColumns(m_cond);
    QStringList headers;
    for (ViewColumn c : columns)
        headers << ListColumns::headerText(c, m_cond);
    m_model->setColumns(columns, headers);
    const QFontMetrics fm = horizontalHeader()->fontMetrics();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int byRule = ListColumns::columnWidth(columns[i], headers[int(i)]);
        const int byHeader = fm.horizontalAdvance(headers[int(i)]) + HeaderPadding;
        const int byContent =
            fontMetrics().horizontalAdvance(ListColumns::widthSample(columns[i])) + HeaderPadding;
        setColumnWidth(int(i), std::max({byRule, byHeader, byContent}));
    }
}

std::vector<int> CTerminalView::selectedRows() const
{
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange &r : selectionModel()->selection())
        ranges.emplace_back(r.top(), r.bottom());
    return SelectedRows(std::move(ranges));
}

void CTerminalView::rememberSelection()
{
    m_memory = SelectionMemory{};
    if (!selectionModel())
        return;
    const QModelIndex current = currentIndex();
    m_memory = RememberSelection(selectedRows(), current.isValid() ? current.row() : -1,
                                 m_model->entries());
}

bool CTerminalView::refresh()
{
    return reload(false);
}

bool CTerminalView::reload(bool rebuild)
{
    // Notices that arrived before the reload belong into it.
    m_notices->flush();
    rememberSelection();
    // A re-read mostly brings back as many rows as before; room for them up
    // front spares the copying of a growing list.
    const std::size_t previous = m_model->entries().size();
    m_model->clearEntries();
    if (rebuild)
        rebuildColumns();
    std::vector<TermEntry> entries;
    entries.reserve(previous);
    if (!m_list->readList(m_cond, entries))
        return false;
    fill(std::move(entries));
    return true;
}

void CTerminalView::fill(std::vector<TermEntry> &&entries)
{
    showStatus(m_list->statusLine(static_cast<qint64>(entries.size())));
    m_silentText = m_list->silentLine();
    if (m_silentPane)
        m_silentPane->setText(m_silentText);
    if (m_dashboard && m_dashboard->isVisible())
        m_dashboard->refresh();
    m_refreshPending = false;
    m_model->setEntries(std::move(entries));

    const RestoredSelection restored = RestoreSelection(m_memory, m_model->entries());
    selectRanges(restored.ranges);
    if (restored.focusRow >= 0)
        selectionModel()->setCurrentIndex(m_model->index(restored.focusRow, 0),
                                          QItemSelectionModel::NoUpdate);
}

void CTerminalView::selectRanges(const std::vector<std::pair<int, int>> &ranges)
{
    const int lastColumn = std::max(0, m_model->columnCount() - 1);
    QItemSelection selection;
    for (const auto &[first, last] : ranges)
        selection.select(m_model->index(first, 0), m_model->index(last, lastColumn));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

std::vector<TermEntry> CTerminalView::selectedEntries() const
{
    const std::vector<int> rows = selectedRows();
    std::vector<TermEntry> out;
    out.reserve(rows.size());
    for (int row : rows)
        out.push_back(m_model->entry(row));
    return out;
}

void CTerminalView::setStatusPane(QLabel *pane)
{
    m_statusPane = pane;
    if (m_statusPane)
        m_statusPane->setText(m_statusText);
}

void CTerminalView::setSilentPane(QLabel *pane)
{
    m_silentPane = pane;
    if (m_silentPane)
        m_silentPane->setText(m_silentText);
}

void CTerminalView::showStatus(const QString &text)
{
    m_statusText = text;
    if (m_statusPane)
        m_statusPane->setText(text);
}

void CTerminalView::setMainEnabled(bool enabled)
{
    m_mainEnabled = enabled;
    if (m_menuBar)
        m_menuBar->setEnabled(isMainEnabled());
}

void CTerminalView::holdMainDisabled(bool hold)
{
    m_mainHeld = hold;
    setMainEnabled(m_mainEnabled);
}

void CTerminalView::endCommand(bool changed)
{
    setMainEnabled(true);
    if (changed || m_refreshPending)
        refresh();
}

// ---- messages -----------------------------------------------------------

void CTerminalView::onMessage(std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam)
{
    if (msg != Msg::HeaderClick) {
        m_notifications->onMessage(msg, std::move(lParam));
        return;
    }
    auto *mode = dynamic_cast<ValuePayload<int> *>(lParam.get());
    handleHeaderClick(static_cast<int>(wParam), mode ? mode->value : 0);
}

// ---- header click, clear all, column selection ------------------------

void CTerminalView::onHeaderClicked(int section)
{
    const std::vector<ViewColumn> &columns = m_model->columns();
    if (section < 0 || section >= int(columns.size()))
        return;
    // By the column, not by its header, whose text follows the interface's language.
    const int column = ListColumns::columnNumber(columns[std::size_t(section)]);
    const int mode = HeaderClickMode(column);
    if (mode == 0)
        return;
    // Deferred, so the dialogs don't run inside the header's own click handling.
    PostToThread(m_receiver->threadId(), Msg::HeaderClick, static_cast<quintptr>(column),
                 std::make_unique<ValuePayload<int>>(mode));
}

void CTerminalView::handleHeaderClick(int column, int mode)
{
    setMainEnabled(false);
    bool changed = false;
    switch (runDisplayConditionDialog(mode, this)) {
    case CondChoice::Descending:
        changed = ApplySortChoice(m_cond, column, SortDirection::Descending);
        break;
    case CondChoice::Ascending:
        changed = ApplySortChoice(m_cond, column, SortDirection::Ascending);
        break;
    case CondChoice::Filter:
        changed = runFilterDialog(column, m_cond, this);
        break;
    default:
        break;
    }
    // A failed write is not reported here: the list still follows the
    // changed conditions until the program ends.
    if (changed)
        m_db->writeListCond(m_cond);
    setMainEnabled(true);
    if (changed)
        reload(true);
    else if (m_refreshPending)
        refresh();
}

void CTerminalView::saveConditionAndReload()
{
    if (!m_list->saveCondition(m_cond))
        return;
    setMainEnabled(true);
    reload(true);
}

void CTerminalView::onClearAll()
{
    CommandScope scope;
    setMainEnabled(false);
    if (m_list->confirmClearAll()) {
        ClearAllConditions(m_cond);
        saveConditionAndReload();
    }
    endCommand();
}

void CTerminalView::onSelectColumns()
{
    CommandScope scope;
    setMainEnabled(false);
    CColumnSelectDialog dlg(GetColumnFlags(m_cond), this);
    if (dlg.exec() == QDialog::Accepted && ApplyColumnSelection(m_cond, dlg.flags()))
        saveConditionAndReload();
    endCommand();
}

// ---- export -------------------------------------------------------------

void CTerminalView::onExportList()
{
    CommandScope scope;
    setMainEnabled(false);
    m_list->exportList(m_model->columns(), m_model->entries());
    endCommand();
}

// ---- add, delete, detail ------------------------------------------------

void CTerminalView::onAddTerminals()
{
    CommandScope scope;
    setMainEnabled(false);
    CAddTermDialog dlg(this);
    const bool accepted = dlg.exec() == QDialog::Accepted;
    if (accepted)
        m_list->addTerminals(dlg.firstId(), dlg.count());
    endCommand(accepted);
}

void CTerminalView::onDeleteTerminals()
{
    CommandScope scope;
    const std::vector<TermEntry> selected = selectedEntries();
    if (!selected.empty())
        setMainEnabled(false);
    endCommand(!selected.empty() && m_list->deleteTerminals(selected));
}

void CTerminalView::onShowDetail()
{
    CommandScope scope;
    const std::vector<TermEntry> selected = selectedEntries();
    if (!selected.empty()) {
        setMainEnabled(false);
        CTermDetailDialog dlg(selected.front(), this);
        dlg.exec();
    }
    endCommand();
}

void CTerminalView::onClearResults()
{
    CommandScope scope;
    const std::vector<TermEntry> selected = selectedEntries();
    if (!selected.empty())
        setMainEnabled(false);
    endCommand(!selected.empty() && m_list->clearResults(selected));
}

// ---- failed terminals, settings history ------------------------------

void CTerminalView::onSelectFailed()
{
    CommandScope scope;
    m_notices->flush();
    if (m_refreshPending)
        refresh();
    const FailedTerminals::Selection failed = FailedTerminals::select(*m_db, m_model->entries());
    selectRanges(RowRanges(failed.rows));
    if (!failed.rows.empty()) {
        const QModelIndex first = m_model->index(failed.rows.front(), 0);
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        scrollTo(first);
    }
    showStatus(failed.status);
}

void CTerminalView::onRepeatFailed()
{
    m_repeat->run();
}

void CTerminalView::onExportFailed()
{
    CommandScope scope;
    setMainEnabled(false);
    m_notices->flush();
    FailedTerminals::exportCsv(*m_db, prompter());
    endCommand();
}

void CTerminalView::onSettingsHistory()
{
    CommandScope scope;
    const std::vector<TermEntry> selected = selectedEntries();
    if (!selected.empty()) {
        setMainEnabled(false);
        SettingsHistory::Store store;
        CHistoryDialog dlg(store, selected.front().TermID, nullptr, this);
        dlg.exec();
    }
    endCommand();
}

// ---- system settings ----------------------------------------------------

void CTerminalView::onSystemSettings()
{
    CommandScope scope;
    setMainEnabled(false);
    SystemSettings settings;
    if (m_list->readSettings(settings)) {
        CSystemSettingsDialog dlg(settings, this);
        if (dlg.exec() == QDialog::Accepted)
            m_list->applySettings(settings, dlg.settings());
    }
    endCommand();
}

// ---- log, about, exit ---------------------------------------------------

void CTerminalView::onShowLog()
{
    CommandScope scope;
    setMainEnabled(false);
    m_list->showLog();
    endCommand();
}

void CTerminalView::onAbout()
{
    CommandScope scope;
    setMainEnabled(false);
    CAboutDialog dlg(this);
    dlg.exec();
    endCommand();
}

void CTerminalView::setScheduleOpeners(std::function<void()> settings, std::function<void()> run)
{
    m_openScheduleSettings = std::move(settings);
    m_openScheduleRun = std::move(run);
}

void CTerminalView::onScheduleSettings()
{
    if (m_openScheduleSettings)
        m_openScheduleSettings();
}

void CTerminalView::onScheduleRun()
{
    if (m_openScheduleRun)
        m_openScheduleRun();
}

void CTerminalView::setInitialSettingsOpener(std::function<void()> open)
{
    m_openInitialSettings = std::move(open);
}

void CTerminalView::onInitialSettings()
{
    if (m_openInitialSettings)
        m_openInitialSettings();
}

CDashboardWindow *CTerminalView::dashboard() const
{
    return m_dashboard.data();
}

void CTerminalView::onDashboard()
{
    if (!m_dashboard) {
        m_dashboard = new CDashboardWindow(*m_db, this);
        m_dashboard->setAttribute(Qt::WA_DeleteOnClose);
        // Queued: the list's redraw redraws the charts, whose bar sent the click.
        connect(
            m_dashboard, &CDashboardWindow::barClicked, this,
            [this](FleetCharts::Chart chart, int bar) { onDashboardBar(int(chart), bar); },
            Qt::QueuedConnection);
    }
    m_notices->flush();
    m_dashboard->refresh();
    m_dashboard->show();
    m_dashboard->raise();
    m_dashboard->activateWindow();
}

void CTerminalView::onDashboardBar(int chart, int bar)
{
    if (!m_dashboard || !m_mainEnabled || chart < 0 || chart >= FleetCharts::ChartCount)
        return;
    const FleetCharts::ChartData &data = m_dashboard->chartData(FleetCharts::Chart(chart));
    if (bar < 0 || bar >= int(data.bars.size()))
        return;
    FleetCharts::select(m_cond, data, data.bars[std::size_t(bar)]);
    // As after a header click, a failed write leaves the list following the
    // conditions until the program ends.
    m_db->writeListCond(m_cond);
    reload(true);
    window()->raise();
    window()->activateWindow();
}

void CTerminalView::onExit()
{
    CommandScope scope;
    if (!m_list->exitAllowed()) {
        if (m_refreshPending)
            refresh();
        return;
    }
    // The close request runs the frame's close rule once this command is over.
    QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
}
