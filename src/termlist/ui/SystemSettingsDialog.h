#pragma once
// "システム設定": communication port, FTP mode, registration refresh
// interval, the number of versions the settings history keeps and how many
// new terminals notices from one address may add a minute. OK validates (a
// refusal keeps the dialog open with the focus on
// the wrong field) and notes that a changed port needs a restart.

#include "register/RegisterTypes.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CSystemSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CSystemSettingsDialog(const SystemSettings &settings, QWidget *parent = nullptr);

    // The settings the dialog opened with, with the accepted values in place
    // (the editor path is kept as it came).
    SystemSettings settings() const { return m_settings; }

    QLineEdit *portEdit;
    QRadioButton *passiveButton;
    QRadioButton *normalButton;
    QLineEdit *intervalEdit;
    QLineEdit *historyEdit; // versions kept per settings file
    QLineEdit *rateEdit;    // new terminals a minute from one source address
    QGroupBox *editorGroup; // hidden: the editor path is not edited here
    QLineEdit *editorEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;

public slots:
    void onOk();

private:
    SystemSettings m_settings;
};
