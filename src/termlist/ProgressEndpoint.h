#pragma once
// The message endpoint of a progress window: the manager posts a request's
// progress (kind 1) to its id, and it moves the window.

#include "common/ThreadMessage.h"
#include "register/RegisterTypes.h"

class ProgressEndpoint : public MessageReceiver
{
public:
    explicit ProgressEndpoint(IRegisterProgress &window) : MessageReceiver(0), m_window(window) {}

protected:
    void onMessage(std::uint32_t msg, quintptr wParam, std::unique_ptr<Payload> lParam) override;

private:
    IRegisterProgress &m_window;
};
