#include "termlist/ui/ColumnSelectDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

// Positions in ListColumnFlags.
enum Flag {
    FTermID,
    FEntryKind,
    FIPAddr,
    FVendor,
    FMachineName,
    FMachineType,
    FBootVer,
    FApliVer,
    FUserInfo1,
    FUserInfo2,
    FSipSvrEntry,
    FEntryDate,
    FEntryTime,
    FAlert,
    FResultDate,
    FLastNotice,
    FFirmCheck,
};

struct Box {
    const char *label;
    int flag;
};

struct Group {
    const char *title;
    std::initializer_list<Box> boxes;
};

} // namespace

CColumnSelectDialog::CColumnSelectDialog(const ListColumnFlags &flags, QWidget *parent)
    : QDialog(parent), resultBox(new QCheckBox(QStringLiteral("処理結果"), this)),
      setButton(new QPushButton(QStringLiteral("設定"), this)),
      cancelButton(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this))
{
    setWindowTitle(QStringLiteral("一覧表示項目選択"));

    const Group groups[] = {
        {"端末情報",
         {{"端末ＩＤ", FTermID},
          {"ＩＰアドレス", FIPAddr},
          {"端末登録種別", FEntryKind},
          {"MACアドレス", FUserInfo1},
          {"処理結果日時", FResultDate}}},
        {"機種情報",
         {{"ベンダ情報", FVendor},
          {"機器名称", FMachineName},
          {"機器タイプ", FMachineType},
          {"ブートバージョン", FBootVer},
          {"アプリケーションバージョン", FApliVer}}},
        {"ユーザ情報", {{"ユーザ情報", FUserInfo2}}},
        {"運用状態",
         {{"SIPサーバ登録状態", FSipSvrEntry},
          {"管理PC登録日付", FEntryDate},
          {"管理PC登録時刻", FEntryTime},
          {QT_TR_NOOP("最終通知"), FLastNotice},
          {QT_TR_NOOP("ファーム確認"), FFirmCheck}}},
        {"アラート情報", {{"アラート情報", FAlert}}},
    };

    // Two columns of groups: the terminal and model groups on the left, the
    // shorter ones on the right.
    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    int index = 0;
    for (const Group &g : groups) {
        auto *box = new QGroupBox(QString::fromUtf8(g.title), this);
        auto *col = new QVBoxLayout(box);
        for (const Box &b : g.boxes) {
            auto *check = new QCheckBox(tr(b.label), box);
            check->setChecked(flags[b.flag] == 1);
            boxes[b.flag] = check;
            col->addWidget(check);
        }
        (index < 2 ? left : right)->addWidget(box);
        ++index;
    }
    resultBox->setChecked(true);
    resultBox->setEnabled(false);
    right->addWidget(resultBox);
    left->addStretch();
    right->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(setButton);
    buttons->addWidget(cancelButton);

    auto *top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    setButton->setDefault(true);
    connect(setButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ListColumnFlags CColumnSelectDialog::flags() const
{
    ListColumnFlags out{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        out[i] = boxes[i]->isChecked() ? 1 : 0;
    return out;
}
