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

struct Decider : ::testing::Test {
    TempDir dir;
    CAutoUpdateDecider decider;

    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        dir.mkdir("Log");
    }
    TermRequestPayload decide(int select, const QByteArray &field274, const QString &id = "3001")
    {
        TermRequestPayload r;
        r.request.notify = {.termId = id, .machineName = "KT-100", .verBoot = "B1.00", .verApli = "A2.00"};
        r.request.fileSelect = std::uint16_t(select);
        r.request.stampField = field274;
        decider.decide(r, false);
        return r;
    }
    void written(const QString &rel, const QDateTime &t)
    {
        dir.write(rel, "[S]\r\n");
        QFile f(dir.file(rel));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(t, QFileDevice::FileModificationTime);
    }
};

const QByteArray Stamps = "06052024070809  ,06052024070809  ,06052024070809  ";
const QDateTime StampTime(QDate(2024, 5, 6), QTime(7, 8, 9));

} // namespace

TEST(DeciderParts, VersionsStampsAndSizeTexts)
{
    TempDir dir;
    dir.write("ok.s", srecord("V3.01"));
    dir.write("short.s", "S00F0000\r\n");
    for (const auto &[file, version] : {std::pair{"ok.s", "V3.01"}, {"short.s", ""}, {"none.s", ""}})
        EXPECT_EQ(CAutoUpdateDecider::firmwareVersion(dir.file(file)), version);

    for (const char *valid : {"31122023235959", "01011971000000  "})
        EXPECT_TRUE(CAutoUpdateDecider::parseStamp(valid)) << valid;
    for (const char *bad : {"01011970000000", "01132023000000", "00012023000000", "01012023240000",
                            "0101202300006", "01012023ab0000"})
        EXPECT_FALSE(CAutoUpdateDecider::parseStamp(bad)) << bad;
    const auto s = *CAutoUpdateDecider::parseStamp("06052024070809");
    EXPECT_TRUE(CAutoUpdateDecider::laterThan(StampTime.addSecs(1), s));
    EXPECT_FALSE(CAutoUpdateDecider::laterThan(StampTime.addMSecs(900), s));
    for (const auto &[size, text] : {std::pair{123, "000000000123"}, {1000005, "000000000015"},
                                     {2500000, "000002500000"}})
        EXPECT_EQ(CAutoUpdateDecider::sizeText(size), text);
}

// Firmware first; without any, the settings files newer on the PC than the
// terminal's stamps (all of them without stamps); a missing registration is
// logged, and initial settings offered only to a terminal without an ID.
TEST_F(Decider, FirmwareThenNewerSettingsFilesThenInitialSettings)
{
    EXPECT_EQ(decide(1, Stamps).decision, UpdateDecision::NothingToSend);
    EXPECT_TRUE(Cp932::decode(dir.read("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()))
                    .contains("Err07:ファイル無し"));
    decider.initialSettingsMode = [] { return true; };
    EXPECT_EQ(decide(2, Stamps).decision, UpdateDecision::NothingToSend);
    TermRequestPayload r = decide(2, Stamps, "ERROR");
    EXPECT_EQ(r.decision, UpdateDecision::InitialSettings);
    ASSERT_EQ(r.files.size(), 1);
    EXPECT_EQ(r.files[0].kind, UpdateFileKind::System);
    EXPECT_FALSE(decider.prepareInitialSettings(r));
    decider.initialSettingsMode = {};

    written("Data/Sys/kel_sys3001.ini", StampTime.addSecs(1));
    written("Data/User/kel_user3001.ini", StampTime);
    dir.write("Config/FirmFilePath.ini", "");
    for (auto [select, decision, files] : {std::tuple{1, UpdateDecision::FilesToSend, 1},
                                           {2, UpdateDecision::UpToDate, 0},
                                           {3, UpdateDecision::NothingToSend, 0},
                                           {4, UpdateDecision::FilesToSend, 1}}) {
        SCOPED_TRACE(select);
        r = decide(select, Stamps);
        EXPECT_EQ(r.decision, decision);
        ASSERT_EQ(r.files.size(), files);
        if (files) {
            EXPECT_EQ(r.files[0].kind, UpdateFileKind::System);
            EXPECT_EQ(r.files[0].stamp, "06052024070810");
            EXPECT_EQ(r.files[0].sizeText, "000000000005");
        }
    }
    EXPECT_EQ(decide(4, "no stamps here").files.size(), 2);

    dir.write("Boot/b.s", srecord("B1.00"));
    dir.write("Apli/a.s", srecord("A2.01"));
    dir.write("Config/FirmFilePath.ini",
              "[Other]\r\nModelType=KT-200\r\nApliFilePath=Apli/a.s\r\n"
              "[Mine]\r\nModelType=KT-100\r\nBootFilePath=Boot/none.s\r\nApliFilePath=Apli/a.s\r\n"
              "[Mine2]\r\nModelType=KT-100\r\nBootFilePath=Boot/b.s\r\n");
    r = decide(4, QByteArray());
    EXPECT_EQ(r.decision, UpdateDecision::FilesToSend);
    ASSERT_EQ(r.files.size(), 1) << "boot is current; no settings file is compared";
    EXPECT_EQ(r.files[0].kind, UpdateFileKind::Apli);
    EXPECT_EQ(r.files[0].localPath, dir.file("Apli/a.s"));
}
