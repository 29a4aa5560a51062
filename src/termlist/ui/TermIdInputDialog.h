#pragma once
// "端末ID入力": asks for one terminal ID (the schedule dialogs add a target
// terminal with it).

#include <QDialog>

class QLineEdit;
class QPushButton;

class CTermIdInputDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CTermIdInputDialog(QWidget *parent = nullptr);

    // The entered terminal ID without leading and trailing blanks.
    QString termId() const;

    QLineEdit *idEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;
};

// Runs the dialog; answers the trimmed terminal ID, or an empty text on cancel.
QString runTermIdInputDialog(QWidget *parent);
