#include "history/ui/HistoryDialog.h"

#include "common/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using LineDiff::RowKind;
using SettingsHistory::Kind;

namespace
{

constexpr Kind Kinds[] = {Kind::System, Kind::User, Kind::PhoneBook};

QColor rowColor(RowKind kind)
{
    switch (kind) {
    case RowKind::Changed:
        return QColor(255, 240, 170);
    case RowKind::Added:
        return QColor(200, 240, 200);
    case RowKind::Removed:
        return QColor(250, 200, 200);
    case RowKind::Same:
        break;
    }
    return {};
}

QTableWidgetItem *cell(const QString &text, const QColor &background = {})
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (background.isValid())
        item->setBackground(background);
    return item;
}

QTableWidget *table(const QStringList &headers, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 4);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setWordWrap(false);
    t->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return t;
}

} // namespace

CHistoryDialog::CHistoryDialog(SettingsHistory::Store &store, const QString &termId,
                               IPrompter *prompter, QWidget *parent)
    : QDialog(parent), fileCombo(new QComboBox(this)),
      versionTable(table({tr("版"), tr("日時"), tr("作成元"), tr("端末への送信")}, this)),
      compareLabel(new QLabel(this)), changedOnlyBox(new QCheckBox(tr("変更行のみ表示"), this)),
      diffTable(table({tr("セクション"), tr("行"), tr("比較元"), tr("行"), tr("比較先")}, this)),
      restoreButton(new QPushButton(tr("この版に戻す"), this)),
      closeButton(new QPushButton(tr("閉じる"), this)), m_browser(store, termId),
      m_prompter(prompter)
{
    setWindowTitle(tr("設定履歴 - 端末ID %1").arg(termId));
    for (Kind kind : Kinds)
        fileCombo->addItem(HistoryBrowser::kindText(kind) + QStringLiteral("  (") +
                           QFileInfo(store.filePath(termId, kind)).fileName() + QLatin1Char(')'));

    versionTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    versionTable->horizontalHeader()->setStretchLastSection(true);
    diffTable->setSelectionMode(QAbstractItemView::NoSelection);
    diffTable->horizontalHeader()->setStretchLastSection(true);

    auto *fileRow = new QHBoxLayout;
    auto *fileLabel = new QLabel(tr("ファイル"), this);
    fileLabel->setBuddy(fileCombo);
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(fileCombo, 1);

    auto *legend = new QHBoxLayout;
    legend->addWidget(compareLabel, 1);
    for (const auto &[kind, text] :
         {std::pair{RowKind::Changed, tr("変更")}, std::pair{RowKind::Added, tr("追加")},
          std::pair{RowKind::Removed, tr("削除")}}) {
        auto *mark = new QLabel(QStringLiteral(" %1 ").arg(text), this);
        mark->setAutoFillBackground(true);
        QPalette p = mark->palette();
        p.setColor(QPalette::Window, rowColor(kind));
        p.setColor(QPalette::WindowText, Qt::black);
        mark->setPalette(p);
        legend->addWidget(mark);
    }
    legend->addSpacing(12);
    legend->addWidget(changedOnlyBox);

    auto *lower = new QWidget(this);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addLayout(legend);
    lowerLayout->addWidget(diffTable, 1);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(versionTable);
    split->addWidget(lower);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(restoreButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto *top = new QVBoxLayout(this);
    top->addLayout(fileRow);
    top->addWidget(split, 1);
    top->addLayout(buttons);
    resize(1000, 640);

    connect(fileCombo, &QComboBox::currentIndexChanged, this, &CHistoryDialog::onKindChanged);
    connect(versionTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CHistoryDialog::onSelectionChanged);
    connect(changedOnlyBox, &QCheckBox::toggled, this, &CHistoryDialog::showComparison);
    connect(restoreButton, &QPushButton::clicked, this, &CHistoryDialog::onRestore);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    fillVersions();
}

void CHistoryDialog::onKindChanged(int index)
{
    if (index >= 0 && index < int(std::size(Kinds)))
        m_browser.setKind(Kinds[index]);
    fillVersions();
}

void CHistoryDialog::fillVersions()
{
    const QSignalBlocker block(versionTable->selectionModel());
    versionTable->clearSelection();
    const std::vector<HistoryBrowser::Line> &lines = m_browser.lines();
    versionTable->setRowCount(int(lines.size()));
    for (int row = 0; row < int(lines.size()); ++row) {
        const HistoryBrowser::Line &l = lines[std::size_t(row)];
        int column = 0;
        for (const QString &text : {l.version, l.time, l.origin, l.sent})
            versionTable->setItem(row, column++, cell(text));
    }
    versionTable->resizeColumnsToContents();
    // The current version against the one before it, to begin with.
    if (!lines.empty())
        versionTable->selectRow(0);
    onSelectionChanged();
}

std::vector<int> CHistoryDialog::selectedNumbers() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : versionTable->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<int> numbers;
    for (int row : rows)
        numbers.push_back(m_browser.lines()[std::size_t(row)].number);
    return numbers;
}

void CHistoryDialog::selectVersions(const std::vector<int> &numbers)
{
    QItemSelection selection;
    const std::vector<HistoryBrowser::Line> &lines = m_browser.lines();
    for (int row = 0; row < int(lines.size()); ++row)
        if (std::find(numbers.begin(), numbers.end(), lines[std::size_t(row)].number) !=
            numbers.end())
            selection.select(versionTable->model()->index(row, 0),
                             versionTable->model()->index(row, versionTable->columnCount() - 1));
    versionTable->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CHistoryDialog::onSelectionChanged()
{
    const std::vector<int> selected = selectedNumbers();
    restoreButton->setEnabled(selected.size() == 1 && m_browser.restorable(selected.front()));
    const auto [first, second] = HistoryBrowser::pairFor(selected, m_browser.lines());
    m_shown = first < 0 ? HistoryBrowser::Comparison{} : m_browser.compare(first, second);
    if (first < 0)
        compareLabel->setText(m_browser.lines().empty() ? tr("履歴はありません。")
                                                        : tr("比較する版を選択してください。"));
    else if (!m_shown.ok)
        compareLabel->setText(tr("選択した版を読み込めませんでした。"));
    else
        compareLabel->setText(
            tr("比較元：%1　　比較先：%2").arg(m_shown.leftTitle, m_shown.rightTitle));
    diffTable->setHorizontalHeaderLabels({tr("セクション"), tr("行"),
                                          first < 0 ? tr("比較元") : m_shown.leftTitle, tr("行"),
                                          first < 0 ? tr("比較先") : m_shown.rightTitle});
    showComparison();
}

void CHistoryDialog::showComparison()
{
    const bool changedOnly = changedOnlyBox->isChecked();
    const bool ini = m_browser.kind() != Kind::PhoneBook;
    diffTable->setColumnHidden(0, !ini);
    const auto shown = [changedOnly](const LineDiff::Row &r) {
        return !changedOnly || r.kind != RowKind::Same;
    };
    diffTable->setRowCount(int(std::count_if(m_shown.rows.begin(), m_shown.rows.end(), shown)));
    int row = 0;
    int firstChange = -1;
    for (const LineDiff::Row &r : m_shown.rows) {
        if (!shown(r))
            continue;
        if (firstChange < 0 && r.kind != RowKind::Same)
            firstChange = row;
        const QColor color = rowColor(r.kind);
        // The section is named on the lines that differ.
        diffTable->setItem(row, 0, cell(r.kind == RowKind::Same ? QString() : r.section, color));
        diffTable->setItem(row, 1,
                           cell(r.left < 0 ? QString() : QString::number(r.left + 1), color));
        diffTable->setItem(row, 2, cell(r.leftText, r.kind == RowKind::Added ? QColor() : color));
        diffTable->setItem(row, 3,
                           cell(r.right < 0 ? QString() : QString::number(r.right + 1), color));
        diffTable->setItem(row, 4,
                           cell(r.rightText, r.kind == RowKind::Removed ? QColor() : color));
        ++row;
    }
    if (firstChange >= 0) // the first difference in view
        diffTable->scrollToItem(diffTable->item(firstChange, 0), QAbstractItemView::EnsureVisible);
    diffTable->resizeColumnToContents(0);
    diffTable->resizeColumnToContents(1);
    diffTable->resizeColumnToContents(3);
    diffTable->setColumnWidth(
        2, std::max(300, (diffTable->viewport()->width() - diffTable->columnWidth(0) -
                          2 * diffTable->columnWidth(1)) /
                             2));
}

void CHistoryDialog::onRestore()
{
    const std::vector<int> selected = selectedNumbers();
    if (selected.size() != 1)
        return;
    IPrompter &p = m_prompter ? *m_prompter : prompter();
    if (m_browser.restore(selected.front(), p))
        fillVersions();
}
