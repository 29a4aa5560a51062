#include "schedule/ui/ScheduleResultDialog.h"

#include "schedule/ScheduleFiles.h"
#include "schedule/ScheduleTiming.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

QString CScheduleResultDialog::outcomeText(int outcome)
{
    switch (outcome) {
    case Schedule::Outcome::Success:
        return tr("成功");
    case Schedule::Outcome::Error:
        return tr("エラー");
    case Schedule::Outcome::Cancelled:
        return tr("キャンセル");
    case Schedule::Outcome::NotExecuted:
        return tr("未実行");
    default:
        return QString();
    }
}

CScheduleResultDialog::CScheduleResultDialog(const ScheduleRecord &record, QWidget *parent)
    : QDialog(parent), list(new QTableWidget(this)), scheduleDate(new QLabel(this)),
      beginDate(new QLabel(this)), operation(new QLabel(this)), targets(new QLabel(this)),
      success(new QLabel(this)), errors(new QLabel(this)), cancelled(new QLabel(this)),
      closeButton(new QPushButton(tr("閉じる"), this))
{
    setWindowTitle(tr("スケジュール実行結果確認（スケジュール%1）").arg(record.number));
    ScheduleResult result;
    ScheduleFiles::readResult(record.resultPath, result);

    const int widths[] = {70, 120, 120, 250, 200};
    list->setColumnCount(5);
    list->setHorizontalHeaderLabels(
        {tr("端末ID"), tr("IPアドレス"), tr("MACアドレス"), tr("機器名称"), tr("処理結果")});
    for (int c = 0; c < 5; ++c)
        list->setColumnWidth(c, widths[c]);
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->setRowCount(int(result.terminals.size()));
    for (int r = 0; r < result.terminals.size(); ++r) {
        const ScheduleResultTerm &t = result.terminals[r];
        const QString cells[] = {t.terminal.termId, t.terminal.ipAddress, t.terminal.macAddress,
                                 t.terminal.machineName, outcomeText(t.outcome)};
        for (int c = 0; c < 5; ++c)
            list->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    list->setMinimumSize(70 + 120 + 120 + 250 + 200 + 24, 260);

    ScheduleSettings op;
    op.ProcessKind = result.ProcessKind;
    scheduleDate->setText(result.ScheduleDate);
    beginDate->setText(result.BeginDate);
    operation->setText(ScheduleTiming::operationText(op));
    const auto count = [](int n) { return tr("%n台", nullptr, n); };
    targets->setText(count(int(result.terminals.size())));
    success->setText(count(result.SuccessTermNum));
    errors->setText(count(result.ErrorTermNum));
    cancelled->setText(count(result.CancelTermCount));

    auto *facts = new QGridLayout;
    const std::pair<const char *, QLabel *> lines[] = {
        {QT_TR_NOOP("実行開始予定日時："), scheduleDate},
        {QT_TR_NOOP("実行開始日時："), beginDate},
        {QT_TR_NOOP("実行処理："), operation},
        {QT_TR_NOOP("対象端末："), targets},
        {QT_TR_NOOP("正常終了："), success},
        {QT_TR_NOOP("エラー："), errors},
        {QT_TR_NOOP("キャンセル："), cancelled},
    };
    int row = 0;
    for (const auto &[caption, value] : lines) {
        facts->addWidget(new QLabel(tr(caption), this), row, 0);
        facts->addWidget(value, row++, 1);
    }
    facts->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto *top = new QVBoxLayout(this);
    top->addWidget(new QLabel(tr("対象端末処理結果一覧"), this));
    top->addWidget(list, 1);
    top->addLayout(facts);
    top->addLayout(buttons);

    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}
