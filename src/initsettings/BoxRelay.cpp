#include "initsettings/BoxRelay.h"

#include "common/Prompter.h"

#include <QCoreApplication>

namespace
{

constexpr std::uint32_t ShowBox = 0x2908;

} // namespace

CBoxRelay::CBoxRelay() : MessageReceiver(0) {}

void CBoxRelay::post(const QString &text, const QString &caption, unsigned type) const
{
    PostToThread(threadId(), ShowBox, 0,
                 std::make_unique<ValuePayload<Box>>(Box{text, caption, type}));
}

void CBoxRelay::onMessage(std::uint32_t msg, quintptr, std::unique_ptr<Payload> lParam)
{
    auto *box = dynamic_cast<ValuePayload<Box> *>(lParam.get());
    if (msg != ShowBox || !box)
        return;
    // A box runs the event loop while it is open: the next request lands here.
    if (m_open) {
        ++m_held;
        m_last = box->value;
        return;
    }
    Box next = box->value;
    for (;;) {
        m_open = true;
        prompter().systemMessageBox(next.text, next.caption, next.type);
        m_open = false;
        if (m_held == 0)
            return;
        next = m_last;
        next.text = QCoreApplication::translate(
                        "CBoxRelay", "%1\n（同じメッセージがほかに %n 件ありました。）", nullptr,
                        m_held)
                        .arg(m_last.text);
        m_held = 0;
    }
}
