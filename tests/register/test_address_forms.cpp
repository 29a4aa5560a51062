// IPv4 addresses where the communication side (host order) meets the
// register (first octet lowest, zero-padded text).
#include "common/Ipv4.h"
#include "register/RegisterTypes.h"

#include <gtest/gtest.h>

TEST(Ipv4, OneAddressInEveryForm)
{
    const std::tuple<std::uint32_t, std::uint32_t, const char *, const char *> rows[] = {
        {0x7F000002u, 0x0200007Fu, "127.0.0.2", "127.000.000.002"},
        {0xC0A801FEu, 0xFE01A8C0u, "192.168.1.254", "192.168.001.254"},
        {0x00000000u, 0x00000000u, "0.0.0.0", "000.000.000.000"},
        {0xFFFFFFFFu, 0xFFFFFFFFu, "255.255.255.255", "255.255.255.255"},
        {0x01020304u, 0x04030201u, "1.2.3.4", "001.002.003.004"},
    };
    for (const auto &[host, reg, dotted, stored] : rows) {
        SCOPED_TRACE(dotted);
        EXPECT_EQ(std::pair(Ipv4::hostToRegister(host), Ipv4::registerToHost(reg)),
                  std::pair(reg, host));
        EXPECT_EQ(std::tuple(Ipv4::dotted(host), StoredIpAddr(reg), DottedIpAddr(reg)),
                  std::tuple(QString(dotted), QString(stored), QString(dotted)));
        // Both texts read back as the host-order number.
        EXPECT_EQ(Ipv4::parse(QString::fromLatin1(dotted)), std::optional(host));
        EXPECT_EQ(Ipv4::parse(QString::fromLatin1(stored)), std::optional(host));
    }
    EXPECT_EQ(Ipv4::parse(u" 10.0.0.5 "), std::optional<std::uint32_t>(0x0A000005u));
    for (const char16_t *bad : {u"1.2.3", u"1.2.3.4.5", u"256.0.0.1", u"1..2.3", u"1.2.3.4 x",
                                u"1.2.3.0004", u"-1.2.3.4", u"USB(1.2.3.4)", u"１.2.3.4"})
        EXPECT_FALSE(Ipv4::parse(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(Ipv4::withoutUsbWrapper("USB(192.168.001.020)"), "192.168.001.020");
    EXPECT_EQ(Ipv4::withoutUsbWrapper("usb(1.2.3.4)"), "usb(1.2.3.4)");
}
