#include "schedule/ui/ScheduleLines.h"

#include "schedule/ScheduleTiming.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>

QGridLayout *ScheduleLines::build(QWidget *box)
{
    for (QLabel **l : {&count, &timing, &operation, &state, &counts})
        *l = new QLabel(box);
    auto *form = new QGridLayout;
    form->setVerticalSpacing(2);
    const std::pair<const char *, QLabel *> lines[] = {
        {QT_TRANSLATE_NOOP("ScheduleLines", "対象端末："), count},
        {QT_TRANSLATE_NOOP("ScheduleLines", "実行開始予定日時："), timing},
        {QT_TRANSLATE_NOOP("ScheduleLines", "実行処理："), operation},
        {QT_TRANSLATE_NOOP("ScheduleLines", "状態："), state},
    };
    int r = 0;
    for (const auto &[caption, value] : lines) {
        form->addWidget(new QLabel(QCoreApplication::translate("ScheduleLines", caption), box), r,
                        0);
        form->addWidget(value, r++, 1);
    }
    form->addWidget(counts, r, 1);
    form->setColumnStretch(1, 1);
    return form;
}

void ScheduleLines::show(const ScheduleRecord &r, const QString &stateText)
{
    count->setText(
        QCoreApplication::translate("ScheduleLines", "%n台", nullptr, int(r.targets.size())));
    timing->setText(ScheduleTiming::timingText(r, TextFor::Window));
    operation->setText(r.valid ? ScheduleTiming::operationText(r.settings) : QString());
    state->setText(stateText);
    counts->setText(ScheduleTiming::countsText(r));
}
