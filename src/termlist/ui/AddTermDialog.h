#pragma once
// "端末情報登録": the first terminal ID and the number of terminals to add
// by hand. "登録" checks both fields; a refusal keeps the dialog open with the
// focus on the wrong field.

#include <QDialog>

class QLineEdit;
class QPushButton;

class CAddTermDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CAddTermDialog(QWidget *parent = nullptr);

    // After "登録": the terminal ID as entered and the count (empty = 0).
    QString firstId() const { return m_firstId; }
    int count() const { return m_count; }

    QLineEdit *idEdit;
    QLineEdit *countEdit;
    QPushButton *registerButton;
    QPushButton *cancelButton;

public slots:
    void onRegister();

private:
    QString m_firstId;
    int m_count = 0;
};
