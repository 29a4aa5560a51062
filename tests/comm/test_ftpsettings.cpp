#include "comm/FtpSettings.h"
#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/ProcessValues.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(FtpAccounts, LoadAnswersAndLookups)
{
    struct Case {
        const char *count; // nullptr: no Count key
        int sets, result, tableCount;
        std::vector<std::pair<const char *, const char *>> lookups; // model, user (nullptr: none)
    };
    // Sets are "M<n>" / "user<n>"; set 2 of the third case is the supervisor.
    // clang-format off
    const Case cases[] = {
        {"20", 20, 0, 16, {{"M1", "user1"}, {"m1", nullptr}, {"M16", "user16"}, {"M17", nullptr}}},
        {"0x2", 3, 0, 2, {{"M2", "user2"}, {"M3", nullptr}}},
        {"2", 2, 2, 2, {}}, // supervisor second of two
        {nullptr, 1, 1, 0, {{"M1", nullptr}}},
        {"-2", 1, 1, 0, {{"M1", nullptr}}},
    };
    // clang-format on
    for (const auto &c : cases) {
        QByteArray file = c.count ? QByteArray("[System]\r\nCount=") + c.count + "\r\n" : "[System]\r\n";
        for (int n = 1; n <= c.sets; ++n)
            file += QString("[ModelSet%1]\r\nMODEL=%2\r\nID=user%1\r\nPW=p\r\n")
                        .arg(n)
                        .arg(n == 2 && c.result == 2 ? QString("Supervisor") : QString("M%1").arg(n))
                        .toLatin1();
        TempDir dir;
        dir.write("FTPauth.ini", file);
        FtpAccountTable table;
        EXPECT_EQ(table.load(dir.file("FTPauth.ini")), c.result) << file.constData();
        EXPECT_EQ(table.count(), c.tableCount) << file.constData();
        for (const auto &[model, user] : c.lookups)
            EXPECT_EQ(table.lookup(model).value_or(FtpAccount{{}, "(none)", {}}).user,
                      QString(user ? user : "(none)"))
                << (c.count ? c.count : "-") << ": " << model;
        // Read-only and hidden after reading, whatever the answer.
        EXPECT_EQ(GetFileAttributes(dir.file("FTPauth.ini")), FileAttr::ReadOnly | FileAttr::Hidden);
    }
    // A supervisor alone serves every model; the first of equal models wins;
    // CP932 texts; a missing value reads empty.
    TempDir dir;
    dir.write("FTPauth.ini", Cp932::encode("[System]\r\nCount=3\r\n[ModelSet1]\r\nMODEL=A\r\nID=利用者\r\n"
                                           "[ModelSet2]\r\nMODEL=A\r\nID=b\r\n[ModelSet3]\r\nMODEL=C\r\n"));
    FtpAccountTable table;
    ASSERT_EQ(table.load(dir.file("FTPauth.ini")), 0);
    EXPECT_EQ(table.lookup("A")->user, "利用者");
    EXPECT_EQ(table.lookup("C")->user, "");
    dir.write("super.ini", "[System]\r\nCount=1\r\n[ModelSet1]\r\nMODEL=Supervisor\r\nID=root\r\n");
    ASSERT_EQ(table.load(dir.file("super.ini")), 0);
    EXPECT_EQ(table.lookup("AnyModel")->user, "root");
    EXPECT_EQ(table.load("/nonexistent/FTPauth.ini"), FtpAccountTable::NoAccount);
}

TEST(FtpTimers, ClampingDefaultsAndWriteBack)
{
    // clang-format off
    const std::tuple<const char *, int, int, const char *> cases[] = { // file, seconds, file afterwards
        {"[FTPTimerSettings]\r\nControlRecvTime=-5\r\nDataRecvTime=0\r\n", 3600, 0, nullptr},
        {"[FTPTimerSettings]\r\nControlRecvTime=0x3C\r\nDataRecvTime=&h5\r\n", 3600, 300, nullptr},
        {"[ftptimersettings]\r\ncontrolrecvtime=\r\ndatarecvtime=61\r\n", 600, 3600,
         "[ftptimersettings]\r\nControlRecvTime=10\r\ndatarecvtime=61\r\n"},
        {"", 600, 900, "[FTPTimerSettings]\r\nControlRecvTime=10\r\nDataRecvTime=15\r\n"},
    };
    // clang-format on
    for (const auto &[file, control, data, after] : cases) {
        TempDir dir;
        ProcessValues::setProgramFolder(dir.path());
        if (*file)
            dir.write("FTPTimer.ini", file);
        FtpTimerSettings::load(); // the values the workers share follow the file
        EXPECT_EQ(FtpTimerSettings::current().controlRecvSec, control) << file;
        EXPECT_EQ(FtpTimerSettings::dataRecvTime.load(), data) << file;
        EXPECT_EQ(dir.read("FTPTimer.ini"), QByteArray(after ? after : file)) << file;
    }
}
