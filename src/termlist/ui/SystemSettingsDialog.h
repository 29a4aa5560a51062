#pragma once
// "システム設定": communication port, FTP mode, registration refresh
// interval, the number of versions the settings history keeps, how many new
// terminals notices from one address may add a minute, the wait of a
// firmware check and the editor that shows logs. OK validates (a refusal
// keeps the dialog open with the focus on the wrong field) and notes that a
// changed port needs a restart.

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
    // (an emptied editor path becomes the default when saved).
    SystemSettings settings() const { return m_settings; }

    QLineEdit *portEdit;
    QRadioButton *passiveButton;
    QRadioButton *normalButton;
    QLineEdit *intervalEdit;
    QLineEdit *historyEdit;  // versions kept per settings file
    QLineEdit *rateEdit;     // new terminals a minute from one source address
    QLineEdit *firmWaitEdit; // minutes
    QGroupBox *editorGroup;
    QLineEdit *editorEdit;
    QPushButton *editorBrowse;
    QPushButton *okButton;
    QPushButton *cancelButton;

public slots:
    void onOk();
    // "...": the editor chosen in a file dialog.
    void onBrowseEditor();

private:
    SystemSettings m_settings;
};
