#include "comm/FtpSettings.h"
#include "common/FileAttributes.h"
#include "common/ProcessValues.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(FtpAccounts, LoadAnswersAndLookups)
{
    // Count, sets (M<n> for u<n>, the last one maybe the supervisor), answer, sets read, lookups.
    // clang-format off
    const std::tuple<const char *, int, bool, int, int, std::vector<std::pair<const char *, const char *>>> cases[] = {
        {"Count=0x14", 20, false, 0, 16, {{"M1", "u1"}, {"m1", ""}, {"M16", "u16"}, {"M17", ""}}},
        {"Count=2", 2, true, 2, 2, {}}, // a supervisor among several models
        {"Count=1", 1, true, 0, 1, {{"AnyModel", "u1"}}}, // a supervisor alone serves every model
        {"", 1, false, 1, 0, {{"M1", ""}}},
    };
    // clang-format on
    for (const auto &[count, sets, supervisor, result, read, lookups] : cases) {
        QByteArray file = QByteArray("[System]\r\n") + count + "\r\n";
        for (int n = 1; n <= sets; ++n)
            file +=
                QString("[ModelSet%1]\r\nMODEL=%2\r\nID=u%1\r\nPW=p\r\n")
                    .arg(n)
                    .arg(n == sets && supervisor ? QString("Supervisor") : QString("M%1").arg(n))
                    .toLatin1();
        TempDir dir;
        dir.write("FTPauth.ini", file);
        FtpAccountTable table;
        EXPECT_EQ(table.load(dir.file("FTPauth.ini")), result) << count;
        EXPECT_EQ(table.count(), read) << count;
        for (const auto &[model, user] : lookups)
            EXPECT_EQ(table.lookup(model).value_or(FtpAccount{}).user, user) << count << model;
        // Read-only and hidden after reading, whatever the answer.
        EXPECT_EQ(GetFileAttributes(dir.file("FTPauth.ini")),
                  FileAttr::ReadOnly | FileAttr::Hidden);
    }
}

// Minutes beyond 60 (or negative) read as 60; a missing key gets its default
// written back; the values the workers share follow the file at every load.
TEST(FtpTimers, ClampingDefaultsAndWriteBack)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    dir.write("FTPTimer.ini", "[ftptimersettings]\r\ncontrolrecvtime=\r\ndatarecvtime=-5\r\n");
    FtpTimerSettings::load();
    EXPECT_EQ(FtpTimerSettings::current().controlRecvSec, 600);
    EXPECT_EQ(FtpTimerSettings::dataRecvTime.load(), 3600);
    EXPECT_EQ(dir.read("FTPTimer.ini"),
              "[ftptimersettings]\r\nControlRecvTime=10\r\ndatarecvtime=-5\r\n");
}
