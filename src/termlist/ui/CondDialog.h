#pragma once
// The display condition dialog ("表示条件設定") that a click on a list column
// header opens: sort the column descending or ascending, or open its filter.

#include <QDialog>

class QPushButton;

namespace CondChoice
{
constexpr int Cancel = 0;      // closed by the window's close button or Escape
constexpr int Descending = 11; // "降順"
constexpr int Ascending = 12;  // "昇順"
constexpr int Filter = 13;     // "フィルタ設定..."
} // namespace CondChoice

// Mode bits: 1 offers the filter, 2 offers the two sort buttons (a header
// click passes 1 for filter-only columns and 3 for sortable ones).
namespace CondMode
{
constexpr int FilterBit = 1;
constexpr int SortBit = 2;
} // namespace CondMode

class CCondDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CCondDialog(int mode, QWidget *parent = nullptr);

    QPushButton *descendingButton;
    QPushButton *ascendingButton;
    QPushButton *filterButton;
};

// Runs the dialog modally and answers one of the CondChoice values.
int runDisplayConditionDialog(int mode, QWidget *parent);
