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
    : QDialog(parent), resultBox(new QCheckBox(tr("処理結果"), this)),
      setButton(new QPushButton(tr("設定"), this)), cancelButton(new QPushButton(tr("ｷｬﾝｾﾙ"), this))
{
    setWindowTitle(tr("一覧表示項目選択"));

    const Group groups[] = {
        {QT_TR_NOOP("端末情報"),
         {{QT_TR_NOOP("端末ＩＤ"), FTermID},
          {QT_TR_NOOP("ＩＰアドレス"), FIPAddr},
          {QT_TR_NOOP("端末登録種別"), FEntryKind},
          {QT_TR_NOOP("MACアドレス"), FUserInfo1},
          {QT_TR_NOOP("処理結果日時"), FResultDate}}},
        {QT_TR_NOOP("機種情報"),
         {{QT_TR_NOOP("ベンダ情報"), FVendor},
          {QT_TR_NOOP("機器名称"), FMachineName},
          {QT_TR_NOOP("機器タイプ"), FMachineType},
          {QT_TR_NOOP("ブートバージョン"), FBootVer},
          {QT_TR_NOOP("アプリケーションバージョン"), FApliVer}}},
        {QT_TR_NOOP("ユーザ情報"), {{QT_TR_NOOP("ユーザ情報"), FUserInfo2}}},
        {QT_TR_NOOP("運用状態"),
         {{QT_TR_NOOP("SIPサーバ登録状態"), FSipSvrEntry},
          {QT_TR_NOOP("管理PC登録日付"), FEntryDate},
          {QT_TR_NOOP("管理PC登録時刻"), FEntryTime},
          {QT_TR_NOOP("最終通知"), FLastNotice},
          {QT_TR_NOOP("ファーム確認"), FFirmCheck}}},
        {QT_TR_NOOP("アラート情報"), {{QT_TR_NOOP("アラート情報"), FAlert}}},
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
        auto *box = new QGroupBox(tr(g.title), this);
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
