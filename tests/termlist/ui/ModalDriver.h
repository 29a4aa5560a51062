#pragma once
// Answers the modal dialogs a command opens: each step waits for the next
// modal dialog of the expected type and acts on it. A dialog nobody expected
// is closed after a while so that a test fails instead of hanging.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class ModalDriver
{
public:
    ModalDriver()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    // The next modal dialog must be a D; `act` answers it (and closes it).
    template <class D> void then(std::function<void(D *)> act)
    {
        m_steps.push_back([act](QWidget *w) {
            auto *d = qobject_cast<D *>(w);
            if (!d)
                return false;
            act(d);
            return true;
        });
    }

    bool done() const { return m_next == m_steps.size(); }
    int unexpected() const { return m_unexpected; }

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w) {
            m_patience = 0;
            return;
        }
        if (!w->property("kelAnswered").toBool() && m_next < m_steps.size() && m_steps[m_next](w)) {
            ++m_next;
            m_patience = 0;
            if (w == QApplication::activeModalWidget())
                w->setProperty("kelAnswered", true);
            return;
        }
        // Not what the test expected, or left open: close it after a while.
        if (++m_patience > 400) {
            ++m_unexpected;
            m_patience = 0;
            if (auto *d = qobject_cast<QDialog *>(w))
                d->done(0);
            else
                w->close();
        }
    }

    QTimer m_timer;
    std::vector<std::function<bool(QWidget *)>> m_steps;
    std::size_t m_next = 0;
    int m_patience = 0;
    int m_unexpected = 0;
};
