#include "setup/ui/FirstStartDialog.h"

#include "common/Prompter.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FirstStartDialog::FirstStartDialog(const QString &folder, QWidget *parent)
    : QDialog(parent), modelEdit(new QLineEdit(this)), userEdit(new QLineEdit(this)),
      passwordEdit(new QLineEdit(this)), okButton(new QPushButton(tr("OK"), this)),
      cancelButton(new QPushButton(tr("ｷｬﾝｾﾙ"), this))
{
    setWindowTitle(FirstStartTexts::caption());
    passwordEdit->setEchoMode(QLineEdit::Password);
    modelEdit->setObjectName(QStringLiteral("model"));
    userEdit->setObjectName(QStringLiteral("user"));
    passwordEdit->setObjectName(QStringLiteral("password"));

    auto *intro = new QLabel(FirstStartTexts::intro(folder), this);
    intro->setWordWrap(true);
    intro->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *form = new QFormLayout;
    const std::pair<QString, QLineEdit *> rows[] = {
        {FirstStartTexts::modelLabel(), modelEdit},
        {FirstStartTexts::userLabel(), userEdit},
        {FirstStartTexts::passwordLabel(), passwordEdit},
    };
    for (const auto &[text, edit] : rows) {
        auto *label = new QLabel(text, this);
        label->setBuddy(edit);
        edit->setMinimumWidth(240);
        form->addRow(label, edit);
    }

    okButton->setDefault(true);
    cancelButton->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *top = new QVBoxLayout(this);
    top->addWidget(intro);
    top->addSpacing(8);
    top->addLayout(form);
    top->addSpacing(8);
    top->addLayout(buttons);
    setMinimumWidth(480);

    setTabOrder(modelEdit, userEdit);
    setTabOrder(userEdit, passwordEdit);
    setTabOrder(passwordEdit, okButton);
    setTabOrder(okButton, cancelButton);
    modelEdit->setFocus();

    connect(okButton, &QPushButton::clicked, this, &FirstStartDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

FtpAccountAnswer FirstStartDialog::answer() const
{
    return {modelEdit->text(), userEdit->text(), passwordEdit->text()};
}

void FirstStartDialog::accept()
{
    const AnswerProblem problem = CheckFtpAccountAnswer(answer());
    if (problem.field == AnswerProblem::None) {
        QDialog::accept();
        return;
    }
    AppMessageBox(1, 2, problem.text, FirstStartTexts::caption(), MsgType::IconWarning);
    QLineEdit *edit = problem.field == AnswerProblem::Model  ? modelEdit
                      : problem.field == AnswerProblem::User ? userEdit
                                                             : passwordEdit;
    edit->setFocus();
    edit->selectAll();
}

std::optional<FtpAccountAnswer> DialogAccountAsker::askAccount(const QString &folder)
{
    FirstStartDialog dialog(folder);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answer();
}
