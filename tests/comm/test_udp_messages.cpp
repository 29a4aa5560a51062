// Datagrams byte for byte: what the PC sends, what it reads from terminals,
// and what it drops.
#include "comm/UdpMessages.h"

#include <gtest/gtest.h>

using namespace Udp;

namespace
{

QByteArray hx(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced));
}

// A notice laid out by hand over 326 zero bytes; offsets 2 and 324 are not
// read, 114 and 184 fill their fields (no NUL), 134 and 154 are CP932.
QByteArray handMade(std::uint16_t code = 0x8010)
{
    QByteArray b(326, '\0');
    // clang-format off
    const std::pair<int, QByteArray> fields[] = {
        {0, QByteArray(1, char(code >> 8)) + char(code & 0xFF)}, {2, hx("ab cd")}, {4, "1001"},
        {68, hx("7f 00 00 17")}, {72, hx("00 02")}, {74, "Maker"}, {94, "KEL-3000"},
        {114, "ABCDEFGHIJKLMNOPQRST"}, {134, hx("93 64 98 62")}, {154, hx("b9 d9")},
        {174, "1.0.2"}, {184, "2.11.30abc"}, {194, "x"}, {204, "y"}, {214, "z"},
        {224, " 00:1a:2B:3c:4D:5e "}, {274, "memo"}, {324, hx("77 88")},
    };
    // clang-format on
    for (const auto &[off, v] : fields)
        b.replace(off, v.size(), v);
    return b;
}

const TermNotify Sample{
    "1001",  0x7F000017,   2,   "Maker", "KEL-3000", "ABCDEFGHIJKLMNOPQRST", "電話", "ｹﾙ",
    "1.0.2", "2.11.30abc", "x", "y",     "z",        "00:1A:2B:3C:4D:5E",    "memo"};

QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return {QDate(y, mo, d), QTime(h, mi, s)};
}

} // namespace

TEST(UdpBuild, PcMessagesExactBytes)
{
    // clang-format off
    const std::pair<QByteArray, const char *> rows[] = {
        {buildTermInfoReq(), "00 20 00 00"}, {buildRemoteOpenReq(), "00 30 01 00"},
        {buildRemoteCloseReq(true), "00 40 00 00 00 01"}, {buildRemoteCloseReq(false), "00 40 00 00 00 00"},
        {buildTermRequestAccept(0x1234), "00 50 34 12"}, {buildTermRequestResult(0x1234, 3), "00 58 12 34 00 03"},
        // Date and time in BCD, the weekday (Sunday 0) in binary, EntryInt in binary.
        {buildTermNotifyAck(at(2016, 3, 5, 14, 7, 9), 24), "00 10 00 00 16 03 05 06 14 07 09 18"},
        {buildTermNotifyAck(at(2023, 12, 31, 23, 59, 59), 255), "00 10 00 00 23 12 31 00 23 59 59 ff"},
    };
    // clang-format on
    for (const auto &[built, expected] : rows)
        EXPECT_EQ(built.toHex(' '), expected);

    // The terminal's reading of the ack: a date byte that is no BCD reads as -1.
    const auto ack = parseTermNotifyAck(buildTermNotifyAck(at(2016, 3, 5, 14, 7, 9), 24));
    EXPECT_EQ(ack.value, (NotifyAckFields{16, 3, 5, 6, 14, 7, 9, 24}));
    const auto bad = parseTermNotifyAck(hx("00 10 00 00 1a a1 ff 00 09 90 0a 01"));
    ASSERT_TRUE(bad.ok());
    EXPECT_EQ(bad.value, (NotifyAckFields{-1, -1, -1, 0, 9, 90, -1, 1}));
}

// The terminal's reading of the ack: a date byte that is no BCD reads as -1.
TEST(UdpTerminal, RequestLayoutAndStamps)
{
    const QByteArray stamps("05032016140709AA,01012020000000BB,31122019235959CC");
    QByteArray b = handMade(0x8050).replace(2, 2, hx("be ef")).replace(324, 2, hx("00 04"));
    b.replace(274, 50, stamps);
    const auto p = parseTermRequest(b);
    ASSERT_TRUE(p.ok()) << parseStatusText(p.status);
    EXPECT_EQ(p.value.sequence, 0xBEEF);
    EXPECT_EQ(p.value.fileSelect, FileSelect::All);
    EXPECT_EQ(p.value.notify.macAddress, "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(p.value.stamps(), (std::array<QByteArray, 3>{"05032016140709AA", "01012020000000BB",
                                                           "31122019235959CC"}));

    // Without the comma at byte 16 there are no items.
    // clang-format off
    const std::pair<QByteArray, std::array<QByteArray, 3>> rows[] = {
        {"", {}}, {"05032016140709AAX01012020000000BB", {}},
        {"0503201614070900,", {"0503201614070900", "", ""}},
        {"0503201614070900,0101202000000000,31", {"0503201614070900", "0101202000000000", "31"}},
    };
    // clang-format on
    for (const auto &[field, items] : rows) {
        TermRequest t;
        t.stampField = field;
        EXPECT_EQ(t.stamps(), items) << field.constData();
    }

    // Items padded with NUL bytes: the field is taken whole, not up to its
    // first NUL, so no item hides the ones after it.
    const QByteArray padded("06052024070809\0\0,01012020000000\0\0,31122019235959\0\0", 50);
    b.replace(274, 50, padded);
    EXPECT_EQ(parseTermRequest(b).value.stamps(),
              (std::array<QByteArray, 3>{QByteArray("06052024070809\0\0", 16),
                                         QByteArray("01012020000000\0\0", 16),
                                         QByteArray("31122019235959\0\0", 16)}));
}

// What the receiver keeps and drops; a notice read at its fixed offsets, also
// from a long datagram, a text at the end with no NUL stopping at byte 325.
TEST(UdpIncoming, ClassifiesAcceptsAndDrops)
{
    for (const QByteArray &dropped : {handMade().left(325), handMade(0x8050).left(200),
                                      hx("80 38 00 00"), hx("00 30 01 00"), hx("10 80 00 00")})
        EXPECT_NE(parseIncoming(dropped).status, ParseStatus::Ok) << dropped.toHex().constData();
    const auto nak = parseIncoming(hx("80 38 ff ff 01 07 aa"));
    EXPECT_EQ(std::get<SessionAnswer>(nak.message), (SessionAnswer{0x8038, 0x107}));
    QByteArray oversized = handMade() + QByteArray(74, '\x5a');
    EXPECT_EQ(std::get<TermNotify>(parseIncoming(oversized).message), Sample);
    oversized.replace(274, 126, QByteArray(126, 'M'));
    EXPECT_EQ(parseTermNotify(oversized).value.userInfo2, QString(50, 'M'));
    const QByteArray request = handMade(0x8050).replace(324, 2, hx("00 02")) + "\x01\x01";
    EXPECT_EQ(std::get<TermRequest>(parseIncoming(request).message).fileSelect, 2);

    // An unknown SIP state is kept as it comes; a bad MAC empties only the MAC.
    for (const char *mac :
         {"001A2B3C4D5E", "00-1A-2B-3C-4D-5E", "00:1A:2B:3C:4D:5", "",
          "00:1A:2B:3C:4D:5E:", "00:1A:2B:3C:4D::E", "0:01A:2B:3C:4D:5E", "00:1G:2B:3C:4D:5E"}) {
        QByteArray odd = handMade().replace(72, 2, hx("00 03"));
        const auto q = parseTermNotify(odd.replace(224, 19, QByteArray(mac).leftJustified(19, 0)));
        EXPECT_TRUE(q.ok() && q.value.regist == 3 && q.value.termId == "1001") << mac;
        EXPECT_TRUE(q.value.macAddress.isEmpty()) << mac;
    }
}
