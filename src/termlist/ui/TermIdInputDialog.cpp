#include "termlist/ui/TermIdInputDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTermIdInputDialog::CTermIdInputDialog(QWidget *parent)
    : QDialog(parent), idEdit(new QLineEdit(this)), okButton(new QPushButton(tr("OK"), this)),
      cancelButton(new QPushButton(tr("ｷｬﾝｾﾙ"), this))
{
    setWindowTitle(tr("端末ID入力"));
    idEdit->setMaxLength(64);
    idEdit->setMinimumWidth(260);

    auto *field = new QHBoxLayout;
    auto *label = new QLabel(tr("端末ID"), this);
    label->setBuddy(idEdit);
    field->addWidget(label);
    field->addWidget(idEdit, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *top = new QVBoxLayout(this);
    top->addWidget(new QLabel(tr("対象端末に追加する端末の端末IDを指定してください。"), this));
    top->addLayout(field);
    top->addSpacing(8);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString CTermIdInputDialog::termId() const
{
    return idEdit->text().trimmed();
}

QString runTermIdInputDialog(QWidget *parent)
{
    CTermIdInputDialog dlg(parent);
    return dlg.exec() == QDialog::Accepted ? dlg.termId() : QString();
}
