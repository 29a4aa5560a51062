// The parts of the decision on a terminal's own update request. (The decision
// itself runs in the end-to-end tests of requests and firmware.)
#include "comm/UpdateDecider.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace
{

// An S-record header line carrying the version in hex at bytes 38..57.
QByteArray srecord(const QByteArray &version)
{
    return "S0" + QByteArray(36, '0') + version.toHex().toUpper().leftJustified(20, '0') +
           "AB\r\nS113\r\n";
}

const QDateTime StampTime(QDate(2024, 5, 6), QTime(7, 8, 9));

} // namespace

TEST(DeciderParts, VersionsStampsAndSizeTexts)
{
    TempDir dir;
    dir.write("ok.s", srecord("V3.01"));
    EXPECT_EQ(CAutoUpdateDecider::firmwareVersion(dir.file("ok.s")), "V3.01");
    EXPECT_EQ(CAutoUpdateDecider::firmwareVersion(dir.file("none.s")), "");
    EXPECT_TRUE(CAutoUpdateDecider::parseStamp("01011971000000  "));
    for (const char *bad : {"01011970000000", "01132023000000", "00012023000000", "01012023240000",
                            "0101202300006", "01012023ab0000"})
        EXPECT_FALSE(CAutoUpdateDecider::parseStamp(bad)) << bad;
    const auto s = *CAutoUpdateDecider::parseStamp("06052024070809");
    EXPECT_TRUE(CAutoUpdateDecider::laterThan(StampTime.addSecs(1), s));
    EXPECT_FALSE(CAutoUpdateDecider::laterThan(StampTime.addMSecs(900), s));
}
