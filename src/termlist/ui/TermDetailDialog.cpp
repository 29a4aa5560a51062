#include "termlist/ui/TermDetailDialog.h"

#include "termlist/ListColumns.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

struct Field {
    const char *label;
    QString value;
};

} // namespace

CTermDetailDialog::CTermDetailDialog(const TermEntry &entry, QWidget *parent)
    : QDialog(parent), closeButton(new QPushButton(QStringLiteral("閉じる"), this))
{
    setWindowTitle(QStringLiteral("端末情報詳細表示"));
    const TermDetailTexts t = MakeTermDetailTexts(entry);

    auto *top = new QVBoxLayout(this);
    const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("SIPサーバ登録状態")) + 8;
    const auto addGroup = [this, top, labelWidth](const char *title, const QList<Field> &fields) {
        auto *box = new QGroupBox(QString::fromUtf8(title), this);
        auto *grid = new QGridLayout(box);
        grid->setColumnStretch(1, 1);
        int row = 0;
        for (const Field &f : fields) {
            const QString label = QString::fromUtf8(f.label);
            auto *value = new QLabel(f.value, box);
            value->setFrameShape(QFrame::StyledPanel);
            value->setFrameShadow(QFrame::Sunken);
            value->setMinimumWidth(300);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            if (!label.isEmpty()) {
                auto *name = new QLabel(label, box);
                // One label width for all groups, so the values line up.
                name->setMinimumWidth(labelWidth);
                grid->addWidget(name, row, 0);
            }
            grid->addWidget(value, row, label.isEmpty() ? 0 : 1, 1, label.isEmpty() ? 2 : 1);
            m_values.append({label.isEmpty() ? QString::fromUtf8(title) : label, value});
            ++row;
        }
        top->addWidget(box);
    };
    addGroup("端末情報",
             {{"端末ＩＤ", t.termId}, {"ＩＰアドレス", t.ipAddr}, {"MACアドレス", t.macAddr}});
    addGroup(
        "機種情報",
        {{"ベンダ情報", t.vendor}, {"機器名称", t.machineName}, {"機器タイプ", t.machineType}});
    addGroup("ファイルバージョン", {{"ブート", t.bootVer}, {"アプリケーション", t.apliVer}});
    addGroup("ユーザ情報", {{"", t.userInfo}});
    addGroup("運用状況", {{"SIPサーバ登録状態", t.sipState},
                          {"管理PC登録日付", t.entryDate},
                          {"管理PC登録時刻", t.entryTime}});
    addGroup("その他", {{"アラート情報", t.alert}, {"端末登録種別", t.entryKind}});

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
