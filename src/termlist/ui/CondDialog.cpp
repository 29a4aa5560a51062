#include "termlist/ui/CondDialog.h"

#include <QHBoxLayout>
#include <QPushButton>

CCondDialog::CCondDialog(int mode, QWidget *parent)
    : QDialog(parent), descendingButton(new QPushButton(tr("降順"), this)),
      ascendingButton(new QPushButton(tr("昇順"), this)),
      filterButton(new QPushButton(tr("フィルタ設定..."), this))
{
    setWindowTitle(tr("表示条件設定"));
    setModal(true);

    const auto wire = [this](QPushButton *button, int choice, bool enabled) {
        // No button answers Enter: a choice is always a deliberate click.
        button->setAutoDefault(false);
        button->setEnabled(enabled);
        button->setMinimumWidth(96);
        connect(button, &QPushButton::clicked, this, [this, choice] { done(choice); });
    };
    wire(descendingButton, CondChoice::Descending, (mode & CondMode::SortBit) != 0);
    wire(ascendingButton, CondChoice::Ascending, (mode & CondMode::SortBit) != 0);
    wire(filterButton, CondChoice::Filter, (mode & CondMode::FilterBit) != 0);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(12);
    row->addWidget(descendingButton);
    row->addWidget(ascendingButton);
    row->addWidget(filterButton);
    row->setSizeConstraint(QLayout::SetFixedSize);
}

int runDisplayConditionDialog(int mode, QWidget *parent)
{
    CCondDialog dlg(mode, parent);
    const int r = dlg.exec();
    switch (r) {
    case CondChoice::Descending:
    case CondChoice::Ascending:
    case CondChoice::Filter:
        return r;
    default:
        return CondChoice::Cancel;
    }
}
