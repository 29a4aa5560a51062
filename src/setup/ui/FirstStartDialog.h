#pragma once
// The first-start dialog: the terminal model name, the FTP user and the FTP
// password of the phones, in that tab order; Return accepts once the fields
// pass the check, whose message goes through the prompter.

#include "setup/FirstStart.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

class FirstStartDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FirstStartDialog(const QString &folder, QWidget *parent = nullptr);

    FtpAccountAnswer answer() const;

    QLineEdit *modelEdit;
    QLineEdit *userEdit;
    QLineEdit *passwordEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;

public slots:
    void accept() override;
};

// Shows the dialog; the answer when it was accepted, nullopt when cancelled.
class DialogAccountAsker
{
public:
    std::optional<FtpAccountAnswer> askAccount(const QString &folder);
};
