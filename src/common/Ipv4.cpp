#include "common/Ipv4.h"

namespace Ipv4
{

std::optional<std::uint32_t> parse(QStringView text)
{
    text = text.trimmed();
    std::uint32_t value = 0;
    int parts = 0;
    qsizetype i = 0;
    while (parts < 4) {
        int digits = 0;
        std::uint32_t part = 0;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 0x80) {
            part = part * 10 + std::uint32_t(text[i].unicode() - u'0');
            if (++digits > 3)
                return std::nullopt;
            ++i;
        }
        if (digits == 0 || part > 255)
            return std::nullopt;
        value = (value << 8) | part;
        if (++parts < 4) {
            if (i >= text.size() || text[i] != u'.')
                return std::nullopt;
            ++i;
        }
    }
    if (i != text.size())
        return std::nullopt;
    return value;
}

QString withoutUsbWrapper(const QString &text)
{
    if (text.startsWith(QLatin1String("USB(")) && text.endsWith(u')'))
        return text.mid(4, text.size() - 5);
    return text;
}

QString dotted(std::uint32_t host)
{
    return QString::asprintf("%u.%u.%u.%u", host >> 24, (host >> 16) & 0xffu, (host >> 8) & 0xffu,
                             host & 0xffu);
}

} // namespace Ipv4
