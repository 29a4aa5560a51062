#pragma once
// The progress window of the list's operations: title and text of its
// operation, a "done / total" counter, a bar and "中止". Add and delete drive
// it through the register's progress interface; requests of the
// communication manager drive it with progress().

#include "register/RegisterTypes.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDialog : public QDialog, public IRegisterProgress
{
    Q_OBJECT
public:
    explicit CProgressDialog(int operation, QWidget *parent = nullptr);

    int operation() const { return m_operation; }

    // done 0 sets the range 0..total, done > 0 moves the bar; both update the counter.
    void progress(int done, int total) override;

    QLabel *textLabel;
    QLabel *counterLabel;
    QProgressBar *bar;
    QPushButton *stopButton;

signals:
    // "中止" was pressed; the window stays until its operation ends.
    void stopRequested();

public slots:
    void onStop();

protected:
    // The window is closed by its operation, not by the user.
    void reject() override {}

private:
    int m_operation;
};
