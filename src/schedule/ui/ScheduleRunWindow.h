#pragma once
// The schedule execution window: modeless, over the terminal list. While it
// is open a one-second timer lets the runner start due schedules; the window
// shows the ten schedules, the progress of a run, and takes the completions
// the terminal list view hands on (IScheduleCompletionSink).

#include "schedule/ScheduleRunner.h"
#include "schedule/ui/ScheduleLines.h"
#include "termlist/ViewHooks.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

class CScheduleRunWindow : public QDialog, public IScheduleCompletionSink, IScheduleRunnerHost
{
    Q_OBJECT
public:
    // mainWindow is hidden while this window is minimised. clock: local time
    // (empty: the system's).
    CScheduleRunWindow(ScheduleBook &book, ITerminalLookup &lookup, QWidget *mainWindow,
                       std::function<QDateTime()> clock = {}, QWidget *parent = nullptr);
    ~CScheduleRunWindow() override;

    // Reads the schedules and starts the timer (the opening steps).
    void start();

    // From the terminal list view: completions and refusals of its requests.
    void scheduleStepComplete(std::unique_ptr<TaskMessage> message) override;

    ScheduleRunner &runner() { return m_runner; }
    // The window's own message id: its requests carry it as progressTarget.
    ThreadId messageId() const;
    ThreadId requestReceiver() const override { return messageId(); }
    // The view only knows this window while it is open; the discard of stored
    // terminal requests then keeps the main window disabled.
    bool scheduleSettingsOpen() const override { return true; }

    struct Row : ScheduleLines {
        QGroupBox *group;
    };
    std::array<Row, Schedule::Count> rows;
    QLabel *statusLabel;
    QLabel *progressLabel;
    QProgressBar *progressBar;
    QCheckBox *closeAfterCancel;
    QPushButton *clearButton;
    QPushButton *cancelButton;
    QTimer timer;

signals:
    // The window has closed (the main window is to be enabled and the list reloaded).
    void closed();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;
    void changeEvent(QEvent *e) override;

private:
    class Receiver;
    void rowChanged(int number) override;
    void statusChanged(const QString &text) override;
    void progressChanged(const QString &text, int done, int total) override;
    void cancelEnabled(bool enabled) override;
    void closeWindow() override;
    bool post(std::unique_ptr<TaskMessage> message) override;
    void onCancel();
    void finishClose();

    std::unique_ptr<Receiver> m_receiver;
    ScheduleRunner m_runner;
    QPointer<QWidget> m_main;
    bool m_closing = false;
};
