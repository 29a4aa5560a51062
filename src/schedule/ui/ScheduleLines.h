#pragma once
// The lines that show one schedule in the list and in the execution window:
// "対象端末：", "実行開始予定日時：", "実行処理：", "状態：" and the counts.

#include "schedule/ScheduleTypes.h"

class QGridLayout;
class QLabel;
class QWidget;

struct ScheduleLines {
    QLabel *count = nullptr;
    QLabel *timing = nullptr;
    QLabel *operation = nullptr;
    QLabel *state = nullptr;
    QLabel *counts = nullptr;

    // Creates the labels in box and lays them out with their captions.
    QGridLayout *build(QWidget *box);
    // The schedule's texts; `state` is the state line ("実行中" while it runs).
    void show(const ScheduleRecord &r, const QString &state);
};
