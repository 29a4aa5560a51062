// IPv4 addresses where the communication side (host order) meets the
// register (first octet lowest, zero-padded text).
#include "common/Ipv4.h"
#include "register/RegisterTypes.h"

#include <gtest/gtest.h>

TEST(Ipv4, OneAddressInEveryForm)
{
    struct Row {
        std::uint32_t host, reg;
        const char *dotted, *stored;
    };
    const Row rows[] = {
        {0x7F000002u, 0x0200007Fu, "127.0.0.2", "127.000.000.002"},
        {0x0A000005u, 0x0500000Au, "10.0.0.5", "010.000.000.005"},
        {0xC0A801FEu, 0xFE01A8C0u, "192.168.1.254", "192.168.001.254"},
        {0x00000000u, 0x00000000u, "0.0.0.0", "000.000.000.000"},
        {0xFFFFFFFFu, 0xFFFFFFFFu, "255.255.255.255", "255.255.255.255"},
        {0x01020304u, 0x04030201u, "1.2.3.4", "001.002.003.004"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.dotted);
        EXPECT_EQ(Ipv4::hostToRegister(r.host), r.reg);
        EXPECT_EQ(Ipv4::registerToHost(r.reg), r.host);
        EXPECT_EQ(Ipv4::dotted(r.host), r.dotted);
        // The register's two texts take its own order.
        EXPECT_EQ(StoredIpAddr(r.reg), r.stored);
        EXPECT_EQ(DottedIpAddr(r.reg), r.dotted);
        // Both texts read back as the host-order number.
        EXPECT_EQ(Ipv4::parse(QString::fromLatin1(r.dotted)), std::optional(r.host));
        EXPECT_EQ(Ipv4::parse(QString::fromLatin1(r.stored)), std::optional(r.host));
    }
}

TEST(Ipv4, ParseRefusesWhatIsNotFourOctets)
{
    EXPECT_EQ(Ipv4::parse(u" 10.0.0.5 "), std::optional<std::uint32_t>(0x0A000005u));
    for (const char16_t *bad :
         {u"", u"1.2.3", u"1.2.3.4.5", u"256.0.0.1", u"1..2.3", u"a.b.c.d", u"1.2.3.4 x",
          u"1.2.3.0004", u"-1.2.3.4", u"1.2.3.", u".1.2.3", u"USB(1.2.3.4)", u"１.2.3.4",
          u"1 .2.3.4"})
        EXPECT_FALSE(Ipv4::parse(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(Ipv4::withoutUsbWrapper("USB(192.168.001.020)"), "192.168.001.020");
    for (const char *same : {"192.168.001.020", "USB(1.2.3.4", "usb(1.2.3.4)", ""})
        EXPECT_EQ(Ipv4::withoutUsbWrapper(same), same);
}
