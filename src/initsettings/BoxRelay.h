#pragma once
// Message boxes asked for by code on other threads: the request travels as
// a posted message to this receiver on the main thread, which shows the box
// through the prompter (as a box of its own, without owner window). The
// asking thread does not wait for it. One box is open at a time: boxes asked
// for while one is open (a stranger's requests can ask for many) are
// counted, and one box with the last text and their number follows.

#include "common/ThreadMessage.h"

#include <QString>

class CBoxRelay : public MessageReceiver
{
public:
    // Built on the main thread.
    CBoxRelay();

    // From any thread: shows the box once the main thread gets to it.
    void post(const QString &text, const QString &caption, unsigned type) const;

protected:
    void onMessage(std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam) override;

private:
    struct Box {
        QString text;
        QString caption;
        unsigned type = 0;
    };
    bool m_open = false;
    int m_held = 0;
    Box m_last;
};
