#pragma once
// "一覧表示項目選択": which columns the terminal list shows. "設定" takes
// the boxes' states; "処理結果" is always shown.

#include "register/ListCond.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;

class CColumnSelectDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CColumnSelectDialog(const ListColumnFlags &flags, QWidget *parent = nullptr);

    // The boxes' states in the order of ListColumnFlags (1 checked, 0 not).
    ListColumnFlags flags() const;

    // One box per flag, in the order of ListColumnFlags.
    std::array<QCheckBox *, std::tuple_size_v<ListColumnFlags>> boxes{};
    QCheckBox *resultBox;
    QPushButton *setButton;
    QPushButton *cancelButton;
};
