#pragma once
// "スケジュール実行結果確認（スケジュール%d）": the outcome of a schedule's last
// run, one row per terminal, with its dates and counts.

#include "schedule/ScheduleTypes.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

class CScheduleResultDialog : public QDialog
{
    Q_OBJECT
public:
    // Reads the result file of the record.
    explicit CScheduleResultDialog(const ScheduleRecord &record, QWidget *parent = nullptr);

    // "成功", "エラー", "キャンセル", "未実行" (empty for other numbers).
    static QString outcomeText(int outcome);

    QTableWidget *list;
    QLabel *scheduleDate, *beginDate, *operation, *targets, *success, *errors, *cancelled;
    QPushButton *closeButton;
};
