#pragma once
// SIGTERM and SIGINT ask the main window to close, exactly like its close
// button: the handler only writes to a pipe, the main thread does the rest.

#include <QObject>

class QSocketNotifier;

class SignalBridge : public QObject
{
    Q_OBJECT
public:
    explicit SignalBridge(QObject *parent = nullptr);
    ~SignalBridge() override;

signals:
    void closeRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
