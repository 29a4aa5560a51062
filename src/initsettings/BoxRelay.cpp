#include "initsettings/BoxRelay.h"

#include "common/Prompter.h"

namespace
{

constexpr std::uint32_t ShowBox = 0x2908;

struct Box {
    QString text;
    QString caption;
    unsigned type = 0;
};

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
    if (msg == ShowBox && box)
        prompter().systemMessageBox(box->value.text, box->value.caption, box->value.type);
}
