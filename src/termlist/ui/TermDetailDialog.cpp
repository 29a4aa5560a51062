#include "termlist/ui/TermDetailDialog.h"

#include "termlist/ListColumns.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

struct Field {
    const char *label;
    QString value;
};

} // namespace

CTermDetailDialog::CTermDetailDialog(const TermEntry &entry, QWidget *parent)
    : QDialog(parent), closeButton(new QPushButton(tr("閉じる"), this))
{
    setWindowTitle(tr("端末情報詳細表示"));
    const TermDetailTexts t = MakeTermDetailTexts(entry);

    auto *top = new QVBoxLayout(this);
    QList<QLabel *> names;
    const auto addGroup = [this, top, &names](const char *title, const QList<Field> &fields) {
        auto *box = new QGroupBox(tr(title), this);
        auto *grid = new QGridLayout(box);
        grid->setColumnStretch(1, 1);
        int row = 0;
        for (const Field &f : fields) {
            const QString label = *f.label ? tr(f.label) : QString();
            auto *value = new QLabel(f.value, box);
            value->setFrameShape(QFrame::StyledPanel);
            value->setFrameShadow(QFrame::Sunken);
            value->setMinimumWidth(300);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            if (!label.isEmpty()) {
                auto *name = new QLabel(label, box);
                names.append(name);
                grid->addWidget(name, row, 0);
            }
            grid->addWidget(value, row, label.isEmpty() ? 0 : 1, 1, label.isEmpty() ? 2 : 1);
            m_values.append({label.isEmpty() ? tr(title) : label, value});
            ++row;
        }
        top->addWidget(box);
    };
    addGroup(QT_TR_NOOP("端末情報"), {{QT_TR_NOOP("端末ＩＤ"), t.termId},
                                      {QT_TR_NOOP("ＩＰアドレス"), t.ipAddr},
                                      {QT_TR_NOOP("MACアドレス"), t.macAddr}});
    addGroup(QT_TR_NOOP("機種情報"), {{QT_TR_NOOP("ベンダ情報"), t.vendor},
                                      {QT_TR_NOOP("機器名称"), t.machineName},
                                      {QT_TR_NOOP("機器タイプ"), t.machineType}});
    addGroup(QT_TR_NOOP("ファイルバージョン"),
             {{QT_TR_NOOP("ブート"), t.bootVer}, {QT_TR_NOOP("アプリケーション"), t.apliVer}});
    addGroup(QT_TR_NOOP("ユーザ情報"), {{"", t.userInfo}});
    addGroup(QT_TR_NOOP("運用状況"), {{QT_TR_NOOP("SIPサーバ登録状態"), t.sipState},
                                      {QT_TR_NOOP("管理PC登録日付"), t.entryDate},
                                      {QT_TR_NOOP("管理PC登録時刻"), t.entryTime}});
    addGroup(QT_TR_NOOP("その他"),
             {{QT_TR_NOOP("アラート情報"), t.alert}, {QT_TR_NOOP("端末登録種別"), t.entryKind}});

    // One label width for all groups, so the values line up.
    int labelWidth = 0;
    for (QLabel *name : names)
        labelWidth = std::max(labelWidth, name->sizeHint().width() + 8);
    for (QLabel *name : names)
        name->setMinimumWidth(labelWidth);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

QString CTermDetailDialog::valueOf(const QString &fieldLabel) const
{
    for (const auto &[label, value] : m_values)
        if (label == fieldLabel)
            return value->text();
    return QString();
}
