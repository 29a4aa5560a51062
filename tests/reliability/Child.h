#pragma once
// A writer to kill: the reliability_child helper (or any command) started
// with its stdout read line by line.

#include <QProcess>
#include <QStringList>

#include <functional>

class Child
{
public:
    // Runs reliability_child with args; `before` is put in front of it
    // (a command that runs the rest, e.g. setpriv with its options).
    explicit Child(const QStringList &args, const QStringList &before = {});
    ~Child();

    // Reads lines until one satisfies `until`; false when the child ended or
    // the time ran out first.
    bool waitLine(const std::function<bool(const QByteArray &)> &until, int ms = 20000);
    // The last line read.
    QByteArray last() const { return m_last; }
    // SIGKILL, then waits for the end.
    void kill();
    // Waits for the end; the exit code, or -1 on a crash or time-out.
    int finish(int ms = 20000);
    QString errors();

    QProcess proc;

private:
    QByteArray m_last;
};
