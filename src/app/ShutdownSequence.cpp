#include "app/ShutdownSequence.h"

ShutdownSequence::ShutdownSequence(Steps steps, int graceMs)
    : m_steps(std::move(steps)), m_graceMs(graceMs)
{
    m_timer.setInterval(LookMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
}

void ShutdownSequence::begin()
{
    if (m_started) {
        finish();
        return;
    }
    m_started = true;
    m_since.start();
    if (m_steps.cancel)
        m_steps.cancel();
    m_timer.start();
    look();
}

void ShutdownSequence::look()
{
    if (m_finished)
        return;
    // A dialog that a closing one led to is closed as well.
    if (m_steps.closeWindows)
        m_steps.closeWindows();
    if (!m_steps.busy || !m_steps.busy() || m_since.elapsed() >= m_graceMs)
        finish();
}

void ShutdownSequence::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    if (m_steps.finish)
        m_steps.finish();
}
