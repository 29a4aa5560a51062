#pragma once
// Answers the modal dialogs a command opens: each step waits for the next
// modal dialog of the expected type and acts on it. A dialog nobody expected
// is closed after a while so that a test fails instead of hanging.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
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
            if (d)
                act(d);
            return d != nullptr;
        });
    }

    bool done() const { return m_next == m_steps.size(); }

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w) {
            m_patience = 0;
        } else if (!w->property("kelAnswered").toBool() && !done() && m_steps[m_next](w)) {
            ++m_next;
            m_patience = 0;
            if (w == QApplication::activeModalWidget())
                w->setProperty("kelAnswered", true);
        } else if (++m_patience > 400) { // unexpected or left open: close it
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
};
