#pragma once
// The terminal-update window ("リモートファイル更新中"): shown while a series
// of terminal-initiated updates runs, one line per request worker. "中止"
// disables itself and asks the main thread to discard the stored requests.

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

class CRemoteUpdateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CRemoteUpdateDialog(QWidget *parent = nullptr);

    // Replaces all five lines (missing ones become empty).
    void setLines(const QStringList &lines);
    QStringList lines() const;

    QPushButton *stopButton;

public slots:
    void onStop();

protected:
    // Closed by the end of the series, not by the user.
    void reject() override {}

private:
    std::array<QLabel *, 5> m_lines{};
};
