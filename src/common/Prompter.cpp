#include "common/Prompter.h"

#include <atomic>
#include <cstdio>

namespace
{

class FallbackPrompter final : public IPrompter
{
public:
    int appMessageBox(int, int, const QString &text, const QString &caption, unsigned type) override
    {
        return report(text, caption, type);
    }
    int systemMessageBox(const QString &text, const QString &caption, unsigned type) override
    {
        return report(text, caption, type);
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }

private:
    static int report(const QString &text, const QString &caption, unsigned type)
    {
        std::fprintf(stderr, "[%s] %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        if ((type & 0x0F) == MsgType::YesNo)
            return (type & 0xF00) == MsgType::DefaultSecond ? MsgResult::No : MsgResult::Yes;
        return MsgResult::Ok;
    }
};

FallbackPrompter g_fallback;
std::atomic<IPrompter *> g_prompter{nullptr};

} // namespace

IPrompter &prompter()
{
    IPrompter *p = g_prompter.load();
    return p ? *p : g_fallback;
}

void setPrompter(IPrompter *p)
{
    g_prompter.store(p);
}
