#pragma once
// "初期設定実行": the range of terminal IDs for new terminals (start number
// and count), the terminal IDs of the range that the register holds, and
// "実行" / "終了" to start and end waiting for new terminals. While waiting
// the dialog can't be closed. It is the view's initial-settings hook for as
// long as it is open.

#include "initsettings/InitSettingsController.h"
#include "termlist/ViewHooks.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class CInitSettingsDialog : public QDialog, public IInitialSettingsMode
{
    Q_OBJECT
public:
    CInitSettingsDialog(CTermDatabase &db, CInitialSettingsTable &table, QWidget *parent = nullptr);

    InitSettingsController &controller() { return m_controller; }

    // IInitialSettingsMode
    bool running() const override { return m_controller.waiting(); }
    void requestEnded() override;

    QLineEdit *startNoEdit;
    QLineEdit *rangeEdit;
    QTreeWidget *idList;
    QLabel *countLabel;
    QPushButton *executeButton;
    QPushButton *endButton;
    QPushButton *closeButton;

public slots:
    void onExecute();
    void onEnd();
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Shows the controller's state in the widgets.
    void apply();
    void leave(QLineEdit *edit);

    InitSettingsController m_controller;
    bool m_applying = false;
};
