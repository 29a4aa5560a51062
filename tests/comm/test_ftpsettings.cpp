#include "comm/FtpSettings.h"
#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/ProcessValues.h"

#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace
{

// An account file with Count and the given sets "MODEL,ID,PW".
QByteArray accountFile(const char *count, const QStringList &sets)
{
    QByteArray out = "; accounts\r\n[System]\r\n";
    if (count)
        out += QByteArray("Count=") + count + "\r\n";
    for (int n = 0; n < sets.size(); ++n) {
        const QStringList f = sets[n].split(',');
        out += Cp932::encode(QString("[ModelSet%1]\r\nMODEL=%2\r\nID=%3\r\nPW=%4\r\n")
                                 .arg(n + 1)
                                 .arg(f.value(0), f.value(1), f.value(2)));
    }
    return out;
}

QStringList manySets(int n)
{
    QStringList sets;
    for (int i = 1; i <= n; ++i)
        sets << QString("M%1,user%1,pw%1").arg(i);
    return sets;
}

} // namespace

TEST(FtpAccounts, LoadAnswersAndLookups)
{
    struct Case {
        const char *name;
        const char *count; // nullptr: no Count key
        QStringList sets;
        int result, tableCount;
        std::vector<std::pair<const char *, const char *>> lookups; // model, user (nullptr: none)
    };
    // clang-format off
    const Case cases[] = {
        {"one set, CP932 text", "1", {"KX-1,利用者,a1"}, 0, 1, {{"KX-1", "利用者"}, {"kx-1", nullptr}, {"KX", nullptr}}},
        {"first equal wins", "3", {"A,first,1", "B,second,2", "A,third,3"}, 0, 3, {{"A", "first"}, {"B", "second"}, {"C", nullptr}}},
        {"count above 16 reads 16", "20", manySets(20), 0, 16, {{"M1", "user1"}, {"M16", "user16"}, {"M17", nullptr}, {"M20", nullptr}}},
        {"hexadecimal count", "0x2", manySets(3), 0, 2, {{"M2", "user2"}, {"M3", nullptr}}},
        {"supervisor alone serves every model", "1", {"Supervisor,root,pw"}, 0, 1, {{"AnyModel", "root"}, {"", "root"}}},
        {"supervisor second of two", "2", {"A,a,1", "Supervisor,root,pw"}, 2, 2, {}},
        {"Count missing", nullptr, {"A,a,1"}, 1, 0, {{"A", nullptr}}},
        {"Count negative", "-2", {"A,a,1"}, 1, 0, {{"A", nullptr}}},
        {"missing values read empty", "2", {"A", "B,b,2"}, 0, 2, {{"A", ""}}},
    };
    // clang-format on
    for (const auto &c : cases) {
        TempDir dir;
        dir.write("Config/FTPauth.ini", accountFile(c.count, c.sets));
        const QString path = dir.file("Config/FTPauth.ini");
        FtpAccountTable table;
        EXPECT_EQ(table.load(path), c.result) << c.name;
        EXPECT_EQ(table.count(), c.tableCount) << c.name;
        for (const auto &[model, user] : c.lookups)
            EXPECT_EQ(table.lookup(model).value_or(FtpAccount{{}, "(none)", {}}).user,
                      QString(user ? user : "(none)"))
                << c.name << ": " << model;
        // Read-only and hidden after reading, whatever the answer.
        EXPECT_EQ(GetFileAttributes(path), FileAttr::ReadOnly | FileAttr::Hidden) << c.name;
    }
    FtpAccountTable none;
    EXPECT_EQ(none.load("/nonexistent/FTPauth.ini"), FtpAccountTable::NoAccount);
}

TEST(FtpTimers, ClampingDefaultsAndWriteBack)
{
    struct Case {
        const char *file; // nullptr: no file
        int controlSec, dataSec;
        const char *after; // file content afterwards (nullptr: unchanged)
    };
    // clang-format off
    const Case cases[] = {
        {"[FTPTimerSettings]\r\nControlRecvTime=90\r\nDataRecvTime=20\r\n", 3600, 1200, nullptr},
        {"[FTPTimerSettings]\r\nControlRecvTime=-5\r\nDataRecvTime=0\r\n", 3600, 0, nullptr},
        {"[FTPTimerSettings]\r\nControlRecvTime=0x3C\r\nDataRecvTime=&h5\r\n", 3600, 300, nullptr},
        {"; timers\r\n[FTPTimerSettings]\r\nControlRecvTime=3\r\n\r\n[Other]\r\nx=1\r\n", 180, 900,
         "; timers\r\n[FTPTimerSettings]\r\nControlRecvTime=3\r\nDataRecvTime=15\r\n\r\n[Other]\r\nx=1\r\n"},
        {"[ftptimersettings]\r\ncontrolrecvtime=\r\ndatarecvtime=abc\r\n", 600, 0,
         "[ftptimersettings]\r\nControlRecvTime=10\r\ndatarecvtime=abc\r\n"},
        {nullptr, 600, 900, "[FTPTimerSettings]\r\nControlRecvTime=10\r\nDataRecvTime=15\r\n"},
    };
    // clang-format on
    for (const auto &c : cases) {
        TempDir dir;
        if (c.file)
            dir.write("FTPTimer.ini", c.file);
        const FtpTimeouts t = ReadFtpTimerFile(dir.file("FTPTimer.ini"));
        const char *label = c.file ? c.file : "(no file)";
        EXPECT_EQ(t.controlRecvSec, c.controlSec) << label;
        EXPECT_EQ(t.dataRecvSec, c.dataSec) << label;
        EXPECT_EQ(dir.read("FTPTimer.ini"), QByteArray(c.after ? c.after : c.file)) << label;
    }

    // The values the workers share follow the file at every load.
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    dir.write("FTPTimer.ini", "[FTPTimerSettings]\r\nControlRecvTime=1\r\nDataRecvTime=2\r\n");
    FtpTimerSettings::load();
    dir.write("FTPTimer.ini", "[FTPTimerSettings]\r\nControlRecvTime=70\r\nDataRecvTime=5\r\n");
    FtpTimerSettings::load();
    EXPECT_EQ(FtpTimerSettings::current().controlRecvSec, 3600);
    EXPECT_EQ(FtpTimerSettings::dataRecvTime.load(), 300);
}
