#include "schedule/ui/ScheduleRunWindow.h"

#include "comm/CommPayloads.h"
#include "common/ProcessValues.h"
#include "common/ui/ScreenFit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

// The window's own message id: progress of its requests arrives here.
class CScheduleRunWindow::Receiver : public MessageReceiver
{
public:
    explicit Receiver(CScheduleRunWindow *w) : m_window(w) {}

protected:
    void onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> lParam) override
    {
        auto *task = dynamic_cast<TaskMessage *>(lParam.get());
        if (msg != Msg::Task || !task)
            return;
        if (task->kind == TaskKind::Progress) {
            if (const auto *p = task->slot<ProgressPayload>(0))
                m_window->m_runner.onProgress(p->value.done, p->value.total);
            return;
        }
        lParam.release();
        m_window->m_runner.onMessage(std::unique_ptr<TaskMessage>(task));
    }

private:
    CScheduleRunWindow *m_window;
};

namespace
{
// Background of a schedule's group by its row state.
QString rowStyle(int state)
{
    switch (state) {
    case RowState::Running:
        return QStringLiteral("QGroupBox { background-color: #fff2a8; }");
    case RowState::Ended:
        return QStringLiteral("QGroupBox { background-color: #d8ecff; }");
    case RowState::EndedWithError:
        return QStringLiteral("QGroupBox { background-color: #ffd8d8; }");
    case RowState::NotSet:
        return QStringLiteral("QGroupBox { color: #808080; }");
    default:
        return QString();
    }
}

} // namespace

CScheduleRunWindow::CScheduleRunWindow(ScheduleBook &book, ITerminalLookup &lookup,
                                       QWidget *mainWindow, std::function<QDateTime()> clock,
                                       QWidget *parent)
    : QDialog(parent), statusLabel(new QLabel(this)), progressLabel(new QLabel(this)),
      progressBar(new QProgressBar(this)),
      closeAfterCancel(new QCheckBox(tr("スケジュール実行キャンセル後に画面を閉じる"), this)),
      clearButton(new QPushButton(tr("実行結果クリア"), this)),
      cancelButton(new QPushButton(tr("ｷｬﾝｾﾙ"), this)),
      m_receiver(std::make_unique<Receiver>(this)),
      m_runner(book, *this, lookup, m_receiver->threadId(), std::move(clock)), m_main(mainWindow)
{
    setWindowTitle(tr("スケジュール実行"));
    setModal(false);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    for (int n = 1; n <= Schedule::Count; ++n) {
        Row &row = rows[std::size_t(n - 1)];
        row.group = new QGroupBox(this);
        row.group->setLayout(row.build(row.group));
        grid->addWidget(row.group, (n - 1) % 5, (n - 1) / 5);
    }

    progressBar->setTextVisible(false);
    progressBar->setRange(0, 1);
    progressBar->setValue(0);
    progressLabel->setMinimumWidth(120);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(progressBar, 1);
    progressRow->addWidget(progressLabel);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(closeAfterCancel);
    buttons->addStretch();
    buttons->addWidget(clearButton);
    buttons->addWidget(cancelButton);

    // The ten schedules scroll when the screen is too low for them; the
    // status, progress and cancel stay in sight.
    auto *groupsPage = new QWidget;
    grid->setContentsMargins(0, 0, 0, 0);
    groupsPage->setLayout(grid);
    auto *top = new QVBoxLayout(this);
    top->addWidget(ScreenFit::scrollable(groupsPage, this), 1);
    top->addWidget(statusLabel);
    top->addLayout(progressRow);
    top->addLayout(buttons);
    statusLabel->setWordWrap(true);

    timer.setInterval(1000);
    connect(&timer, &QTimer::timeout, this, [this] { m_runner.tick(); });
    connect(cancelButton, &QPushButton::clicked, this, &CScheduleRunWindow::onCancel);
    connect(clearButton, &QPushButton::clicked, this, [this] { m_runner.clearAllResults(); });
    connect(closeAfterCancel, &QCheckBox::clicked, this,
            [this](bool checked) { m_runner.setCancelClose(checked); });
}

CScheduleRunWindow::~CScheduleRunWindow() = default;

ThreadId CScheduleRunWindow::messageId() const
{
    return m_receiver->threadId();
}

void CScheduleRunWindow::start()
{
    m_runner.open();
    ScreenFit::resizeToFit(this);
    closeAfterCancel->setChecked(m_runner.cancelClose());
    timer.start();
}

void CScheduleRunWindow::scheduleStepComplete(std::unique_ptr<TaskMessage> message)
{
    m_runner.onMessage(std::move(message));
}

void CScheduleRunWindow::rowChanged(int number)
{
    Row &row = rows[std::size_t(number - 1)];
    const ScheduleRecord &r = m_runner.book().at(number);
    row.group->setTitle(
        tr("スケジュール%1(%2)").arg(number).arg(r.enabled ? tr("有効") : tr("無効")));
    row.show(r, m_runner.stateText(number));
    row.group->setStyleSheet(rowStyle(m_runner.rowState(number)));
}

void CScheduleRunWindow::statusChanged(const QString &text)
{
    statusLabel->setText(text);
}

void CScheduleRunWindow::progressChanged(const QString &text, int done, int total)
{
    progressLabel->setText(text);
    progressBar->setRange(0, std::max(total, 1));
    progressBar->setValue(std::min(done, std::max(total, 1)));
}

void CScheduleRunWindow::cancelEnabled(bool enabled)
{
    cancelButton->setEnabled(enabled);
}

bool CScheduleRunWindow::post(std::unique_ptr<TaskMessage> message)
{
    return PostToThread(ProcessValues::CommThreadId, Msg::Task, 0, std::move(message));
}

void CScheduleRunWindow::onCancel()
{
    if (m_runner.requestClose())
        finishClose();
}

void CScheduleRunWindow::closeWindow()
{
    finishClose();
}

void CScheduleRunWindow::finishClose()
{
    if (m_closing)
        return;
    m_closing = true;
    timer.stop();
    if (m_main)
        m_main->show();
    emit closed();
    QDialog::done(QDialog::Rejected);
}

void CScheduleRunWindow::reject()
{
    onCancel();
}

void CScheduleRunWindow::closeEvent(QCloseEvent *e)
{
    if (m_closing) {
        QDialog::closeEvent(e);
        return;
    }
    e->ignore();
    onCancel();
}

void CScheduleRunWindow::changeEvent(QEvent *e)
{
    QDialog::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || !m_main)
        return;
    // Minimised, the whole program goes out of sight; restored, it comes back.
    if (isMinimized())
        m_main->hide();
    else if (!m_main->isVisible())
        m_main->show();
}
