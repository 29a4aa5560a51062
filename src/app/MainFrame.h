#pragma once
// The main window: hosts the terminal list view, a status bar with the
// message pane and the keyboard indicator panes, the operator-busy timer and
// the close rule.

#include <QBasicTimer>
#include <QMainWindow>

#include <functional>

class QLabel;
class QMenuBar;

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(QWidget *parent = nullptr);
    ~CMainFrame() override;

    // The window's outer rectangle, frame included: the work area capped at
    // 1024 by 768 on each side, centred in the work area.
    static QRect initialGeometry(const QRect &workArea);

    void setView(QWidget *view);
    QLabel *messagePane() const { return m_message; }
    QLabel *silentPane() const { return m_silent; }

    // Sets the operator-busy flag while any menu of the bar is open.
    void watchMenus(QMenuBar *bar);

    // Timer 16: 50 ms after a menu closes (or a command ends) the flag falls.
    void startBusyTimer();
    void stopBusyTimer();

    // Called by the close rule to tell the long-lived threads to stop; it
    // returns when they have ended or the grace time is over.
    void setStopThreads(std::function<void()> stop) { m_stopThreads = std::move(stop); }
    // Asked by the close rule besides the remote-update count: false refuses
    // the close with a beep (a schedule run in progress).
    void setCloseCheck(std::function<bool()> mayClose) { m_mayClose = std::move(mayClose); }

    static QString title();

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void timerEvent(QTimerEvent *e) override;

private:
    // Moves the shown window, frame and all, into the work area when the
    // window manager's frame pushed it out.
    void keepOnScreen();

    QLabel *m_message = nullptr;
    bool m_placed = false;
    QLabel *m_silent = nullptr;
    QBasicTimer m_busyTimer;
    std::function<void()> m_stopThreads;
    std::function<bool()> m_mayClose;
    bool m_closing = false;
};
