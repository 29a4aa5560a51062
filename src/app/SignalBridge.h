#pragma once
// SIGTERM and SIGINT end the program (the application's shutdown sequence):
// the handler only writes to a socket pair, the main thread does the rest.

#include <QObject>

class QSocketNotifier;

class SignalBridge : public QObject
{
    Q_OBJECT
public:
    explicit SignalBridge(QObject *parent = nullptr);
    ~SignalBridge() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
