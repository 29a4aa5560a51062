#include "schedule/ui/ScheduleListDialog.h"

#include "common/Prompter.h"
#include "common/ui/ScreenFit.h"
#include "schedule/ScheduleFiles.h"
#include "schedule/ui/ScheduleDetailDialog.h"
#include "schedule/ui/ScheduleResultDialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
constexpr unsigned AskNoDefault = MsgType::IconQuestion | MsgType::YesNo | MsgType::DefaultSecond;
} // namespace

CScheduleListDialog::CScheduleListDialog(ScheduleBook &book, ITerminalLookup &lookup,
                                         QWidget *parent)
    : QDialog(parent), clearAllButton(new QPushButton(tr("全スケジュールの実行結果クリア"), this)),
      closeButton(new QPushButton(tr("閉じる"), this)), m_book(book), m_lookup(lookup)
{
    setWindowTitle(tr("スケジュール設定"));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    for (int n = 1; n <= Schedule::Count; ++n) {
        Group &g = groups[std::size_t(n - 1)];
        g.box = new QGroupBox(tr("スケジュール%1").arg(n), this);
        g.enabled = new QCheckBox(tr("有効"), g.box);
        g.edit = new QPushButton(tr("変更"), g.box);
        g.remove = new QPushButton(tr("削除"), g.box);
        g.result = new QPushButton(tr("結果確認"), g.box);
        g.clear = new QPushButton(tr("結果クリア"), g.box);

        QGridLayout *form = g.build(g.box);
        auto *buttons = new QVBoxLayout;
        buttons->setSpacing(2);
        buttons->addWidget(g.enabled);
        for (QPushButton *b : {g.edit, g.remove, g.result, g.clear})
            buttons->addWidget(b);
        auto *row = new QHBoxLayout(g.box);
        row->addLayout(form, 1);
        row->addLayout(buttons);
        grid->addWidget(g.box, (n - 1) % 5, (n - 1) / 5);

        connect(g.edit, &QPushButton::clicked, this, [this, n] { onEdit(n); });
        connect(g.remove, &QPushButton::clicked, this, [this, n] { onDelete(n); });
        connect(g.result, &QPushButton::clicked, this, [this, n] { onResult(n); });
        connect(g.clear, &QPushButton::clicked, this, [this, n] { onClear(n); });
    }
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(clearAllButton);
    bottom->addStretch();
    bottom->addWidget(closeButton);
    // The ten schedules scroll when the screen is too low for them.
    auto *groupsPage = new QWidget;
    grid->setContentsMargins(0, 0, 0, 0);
    groupsPage->setLayout(grid);
    auto *top = new QVBoxLayout(this);
    top->addWidget(ScreenFit::scrollable(groupsPage, this), 1);
    top->addLayout(bottom);

    for (int n = 1; n <= Schedule::Count; ++n) {
        m_book.load(n);
        groups[std::size_t(n - 1)].enabled->setChecked(m_book.at(n).enabled);
        showGroup(n);
    }
    ScreenFit::resizeToFit(this);
    connect(clearAllButton, &QPushButton::clicked, this, &CScheduleListDialog::onClearAll);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

void CScheduleListDialog::showGroup(int number)
{
    Group &g = groups[std::size_t(number - 1)];
    const ScheduleRecord &r = m_book.at(number);
    g.ScheduleLines::show(r, ScheduleTiming::stateText(r));
    g.edit->setText(r.valid ? tr("変更") : tr("追加"));
    g.remove->setEnabled(r.valid);
    if (!r.valid)
        g.enabled->setChecked(false);
    g.enabled->setEnabled(r.valid);
    const bool result = QFileInfo::exists(r.resultPath);
    g.result->setEnabled(result);
    g.clear->setEnabled(result);
    updateClearAll();
}

void CScheduleListDialog::updateClearAll()
{
    bool any = false;
    for (int n = 1; n <= Schedule::Count; ++n)
        any = any || QFileInfo::exists(m_book.at(n).resultPath);
    clearAllButton->setEnabled(any);
}

void CScheduleListDialog::reload(int number)
{
    m_book.load(number);
    showGroup(number);
}

void CScheduleListDialog::onEdit(int number)
{
    CScheduleDetailDialog dlg(m_book, number, m_lookup, this);
    dlg.exec();
    reload(number);
}

void CScheduleListDialog::onDelete(int number)
{
    const int answer = AppMessageBox(
        1, 3,
        tr("スケジュール%1を削除します。\nスケジュールを削除すると実行結果も削除されます。\nよろし"
           "いですか？")
            .arg(number),
        tr("スケジュール削除確認"), AskNoDefault);
    if (answer != MsgResult::Yes)
        return;
    const ScheduleRecord &r = m_book.at(number);
    ScheduleFiles::deleteFiles(r.settingsPath, r.resultPath, ScheduleFiles::Delete::Both);
    m_book.clear(number);
    showGroup(number);
}

void CScheduleListDialog::onResult(int number)
{
    CScheduleResultDialog dlg(m_book.at(number), this);
    dlg.exec();
}

void CScheduleListDialog::onClear(int number)
{
    const int answer = AppMessageBox(
        370, 2, tr("スケジュール%1の実行結果をクリアします。\nよろしいですか？").arg(number),
        tr("実行結果クリア確認"), AskNoDefault);
    if (answer != MsgResult::Yes)
        return;
    const ScheduleRecord &r = m_book.at(number);
    ScheduleFiles::deleteFiles(r.settingsPath, r.resultPath, ScheduleFiles::Delete::Result);
    reload(number);
}

void CScheduleListDialog::onClearAll()
{
    const int answer =
        AppMessageBox(370, 2, tr("全てのスケジュールの実行結果をクリアします。\nよろしいですか？"),
                      tr("実行結果クリア確認"), AskNoDefault);
    if (answer != MsgResult::Yes)
        return;
    for (int n = 1; n <= Schedule::Count; ++n) {
        const ScheduleRecord &r = m_book.at(n);
        ScheduleFiles::deleteFiles(r.settingsPath, r.resultPath, ScheduleFiles::Delete::Result);
        reload(n);
    }
}

void CScheduleListDialog::done(int r)
{
    // Every way out saves the boxes, the window's close button too.
    if (!m_saved) {
        m_saved = true;
        for (int n = 1; n <= Schedule::Count; ++n) {
            const bool on = groups[std::size_t(n - 1)].enabled->isChecked();
            ScheduleFiles::writeEnabled(m_book.at(n).settingsPath, on);
            m_book.at(n).enabled = on;
        }
    }
    QDialog::done(r);
}
