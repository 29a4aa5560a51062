#pragma once
// IPv4 addresses cross one boundary in two byte orders. The communication
// side (datagrams, QHostAddress, request entries) carries them in host order:
// 127.0.0.2 is 0x7F000002. The register keeps them with the first octet in
// the lowest byte (its stored-form rule), so 127.0.0.2 is 0x0200007F there.
// Every crossing goes through these helpers.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace Ipv4
{

constexpr std::uint32_t hostToRegister(std::uint32_t host)
{
    return ((host & 0xffu) << 24) | ((host & 0xff00u) << 8) | ((host >> 8) & 0xff00u) |
           (host >> 24);
}
constexpr std::uint32_t registerToHost(std::uint32_t reg)
{
    return hostToRegister(reg); // the same swap
}

// Four dot-separated decimal numbers 0..255 ("192.168.001.020" as the
// register stores it, or "192.168.1.20"), surrounding blanks allowed; host
// order. nullopt for anything else, including the "USB(...)" form.
std::optional<std::uint32_t> parse(QStringView text);

// "USB(192.168.001.020)" reduced to "192.168.001.020"; other text unchanged.
QString withoutUsbWrapper(const QString &text);

// "127.0.0.2" from host order.
QString dotted(std::uint32_t host);

} // namespace Ipv4
