// The decision on a terminal's own update request: firmware first, then the
// settings files newer on the PC than on the terminal.
#include "comm/UpdateDecider.h"

#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
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
    dir.write("short.s", "S00F0000\r\n");
    EXPECT_EQ(CAutoUpdateDecider::firmwareVersion(dir.file("ok.s")), "V3.01");
    EXPECT_EQ(CAutoUpdateDecider::firmwareVersion(dir.file("short.s")), "");
    EXPECT_TRUE(CAutoUpdateDecider::parseStamp("01011971000000  "));
    for (const char *bad : {"01011970000000", "01132023000000", "00012023000000", "01012023240000",
                            "0101202300006", "01012023ab0000"})
        EXPECT_FALSE(CAutoUpdateDecider::parseStamp(bad)) << bad;
    const auto s = *CAutoUpdateDecider::parseStamp("06052024070809");
    EXPECT_TRUE(CAutoUpdateDecider::laterThan(StampTime.addSecs(1), s));
    EXPECT_FALSE(CAutoUpdateDecider::laterThan(StampTime.addMSecs(900), s));
    EXPECT_EQ(CAutoUpdateDecider::sizeText(1000005), "000000000015");
}

// Firmware first; without any, the settings files newer on the PC than the
// terminal's stamps (all of them without stamps); a missing registration is
// logged.
TEST(Decider, FirmwareFirstThenNewerSettingsFiles)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    dir.mkdir("Log");
    CAutoUpdateDecider decider;
    const auto decide = [&](int select, const QByteArray &stamps) {
        TermRequestPayload r;
        r.request.notify = {.termId = "3001", .machineName = "KT-100", .verBoot = "B1.00",
                            .verApli = "A2.00"};
        r.request.fileSelect = std::uint16_t(select);
        r.request.stampField = stamps;
        decider.decide(r, false);
        return std::pair(r.decision, r.files);
    };
    const QByteArray stamps = "06052024070809  ,06052024070809  ,06052024070809  ";
    EXPECT_EQ(decide(1, stamps).first, UpdateDecision::NothingToSend);
    EXPECT_TRUE(Cp932::decode(dir.read("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()))
                    .contains("Err07:ファイル無し"));

    for (const auto &[rel, t] : {std::pair{"Data/Sys/kel_sys3001.ini", StampTime.addSecs(1)},
                                 {"Data/User/kel_user3001.ini", StampTime}}) {
        dir.write(rel, "[S]\r\n");
        QFile f(dir.file(rel));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(t, QFileDevice::FileModificationTime);
    }
    dir.write("Config/FirmFilePath.ini", "");
    EXPECT_EQ(decide(2, stamps).first, UpdateDecision::UpToDate);
    EXPECT_EQ(decide(3, stamps).first, UpdateDecision::NothingToSend);
    const auto [decision, files] = decide(4, stamps);
    EXPECT_EQ(decision, UpdateDecision::FilesToSend);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0].kind, UpdateFileKind::System);
    EXPECT_EQ(files[0].stamp, "06052024070810");
    EXPECT_EQ(files[0].sizeText, "000000000005");
    EXPECT_EQ(decide(4, "no stamps here").second.size(), 2);

    dir.write("Boot/b.s", srecord("B1.00"));
    dir.write("Apli/a.s", srecord("A2.01"));
    dir.write("Config/FirmFilePath.ini",
              "[Other]\r\nModelType=KT-200\r\nApliFilePath=Apli/a.s\r\n"
              "[Mine]\r\nModelType=KT-100\r\nBootFilePath=Boot/none.s\r\nApliFilePath=Apli/a.s\r\n"
              "[Mine2]\r\nModelType=KT-100\r\nBootFilePath=Boot/b.s\r\n");
    const auto firmware = decide(4, QByteArray()).second;
    ASSERT_EQ(firmware.size(), 1) << "boot is current; no settings file is compared";
    EXPECT_EQ(firmware[0].localPath, dir.file("Apli/a.s"));
}
