#include "termlist/ui/AddTermDialog.h"

#include "common/Prompter.h"
#include "termlist/TerminalInput.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

CAddTermDialog::CAddTermDialog(QWidget *parent)
    : QDialog(parent), idEdit(new QLineEdit(this)), countEdit(new QLineEdit(this)),
      registerButton(new QPushButton(tr("登録"), this)),
      cancelButton(new QPushButton(tr("ｷｬﾝｾﾙ"), this))
{
    setWindowTitle(tr("端末情報登録"));
    idEdit->setMaxLength(64);
    countEdit->setMaxLength(5);
    idEdit->setMinimumWidth(260);
    countEdit->setMaximumWidth(80);

    auto *fields = new QGridLayout;
    for (auto [row, text, edit] : {std::tuple{0, QT_TR_NOOP("登録開始端末ＩＤ"), idEdit},
                                   std::tuple{1, QT_TR_NOOP("登録端末数"), countEdit}}) {
        auto *label = new QLabel(tr(text), this);
        label->setBuddy(edit);
        fields->addWidget(label, row, 0);
    }
    fields->addWidget(idEdit, 0, 1);
    fields->addWidget(countEdit, 1, 1, Qt::AlignLeft);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(registerButton);
    buttons->addWidget(cancelButton);

    auto *top = new QVBoxLayout(this);
    top->addLayout(fields);
    top->addSpacing(8);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    registerButton->setDefault(true);
    connect(registerButton, &QPushButton::clicked, this, &CAddTermDialog::onRegister);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CAddTermDialog::onRegister()
{
    const TerminalInput::AddCheck check =
        TerminalInput::checkAddTerminals(idEdit->text(), countEdit->text());
    if (check.error != TerminalInput::AddCheck::None) {
        AppMessageBox(check.widthCode, 1, check.message, TerminalInput::inputErrorCaption(),
                      MsgType::IconWarning);
        QLineEdit *field = check.error == TerminalInput::AddCheck::TermId ? idEdit : countEdit;
        field->setFocus();
        field->selectAll();
        return;
    }
    m_firstId = check.firstId;
    m_count = check.count;
    accept();
}
