#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "schedule/ScheduleBook.h"
#include "schedule/ScheduleFiles.h"
#include "schedule/ScheduleTiming.h"

#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace
{

QList<ScheduleTarget> targets(int n)
{
    QList<ScheduleTarget> list;
    for (int i = 1; i <= n; ++i)
        list.append({QString::number(1000 + i), QStringLiteral("127.0.0.%1").arg(i + 1),
                     QStringLiteral("02:00:7f:00:00:%1").arg(i), QStringLiteral("KT-100")});
    return list;
}

ScheduleSettings weekly()
{
    ScheduleSettings s;
    s.OperatTiming = Schedule::Timing::Weekly;
    s.EveryWeekCheck = {1, 1, 0, 0, 0, 0, 1};
    s.EveryWeekTimeHour = 3;
    s.BeginMode = 1;
    s.BeginPermTime = 30;
    s.ProcessKind = Schedule::Process::SettingsWrite;
    s.SysSetupFileWrite = 1;
    s.OtherSetupFile2Name = QStringLiteral("共通/kel_sys.ini");
    s.TermReboot = 1;
    return s;
}

QString text(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? Cp932::decode(f.readAll()) : QString();
}

// Rewrites one line of a protected file by hand, as an administrator would.
void handEdit(const QString &path, const QString &from, const QString &to)
{
    QString t = text(path);
    ASSERT_TRUE(t.contains(from)) << from.toStdString();
    t.replace(from, to);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(Cp932::encode(t));
}

class ScheduleFilesTest : public ::testing::Test
{
protected:
    TempDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    QString settings = ScheduleFiles::settingsPath(folder, 1);
    QString result = ScheduleFiles::resultPath(folder, 1);
};

} // namespace

TEST_F(ScheduleFilesTest, SettingsRoundTripProtectedAndTargetsShrinkWithoutLeftovers)
{
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, weekly(), targets(5)));
    EXPECT_TRUE(IsReadOnly(settings));
    EXPECT_TRUE(IsHidden(settings));
    // Every later write opens the protected file again.
    ASSERT_TRUE(ScheduleFiles::writeEnabled(settings, true));
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, weekly(), targets(2)));
    EXPECT_TRUE(IsReadOnly(settings) && IsHidden(settings));

    const QString t = text(settings);
    EXPECT_TRUE(t.contains("TargetTermCount=2\r\n"));
    EXPECT_TRUE(t.contains("TargetTerm2=1002,127.0.0.3,02:00:7f:00:00:2,KT-100\r\n"));
    for (const char *gone : {"TargetTerm3", "TargetTerm4", "TargetTerm5"})
        EXPECT_FALSE(t.contains(gone)) << gone;

    ScheduleSettings read;
    ASSERT_TRUE(ScheduleFiles::readSettings(settings, read));
    EXPECT_EQ(read, weekly());
    EXPECT_EQ(ScheduleFiles::readTargets(settings), targets(2));
    bool enabled = false;
    ASSERT_TRUE(ScheduleFiles::readEnabled(settings, enabled));
    EXPECT_TRUE(enabled);
}

TEST_F(ScheduleFilesTest, HandWrittenValuesHexFlagsMissingKeysAndLongTexts)
{
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, weekly(), targets(0)));
    handEdit(settings, "OperatTiming=1", "OperatTiming=0x1");
    handEdit(settings, "EveryMondayCheck=1", "EveryMondayCheck=7");
    handEdit(settings, "FirmBootFileName=", "FirmBootFileName=" + QString(600, QLatin1Char('a')));
    handEdit(settings, "TargetTermCount=0",
             "TargetTermCount=2\r\nTargetTerm1=1001,,00:11,KT,100\r\nTargetTerm2=,127.0.0.9");

    ScheduleBook book;
    book.init(dir.path());
    book.load(1);
    const ScheduleRecord &r = book.at(1);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.settings.OperatTiming, Schedule::Timing::Weekly);
    EXPECT_EQ(r.settings.EveryWeekCheck[1], 1) << "any non-zero flag reads as 1";
    EXPECT_EQ(r.settings.FirmBootFileName.size(), 511);
    EXPECT_EQ(r.targets, (QList<ScheduleTarget>{{"1001", "", "00:11", "KT,100"},
                                                {"", "127.0.0.9", "", ""}}));
    EXPECT_FALSE(r.enabled) << "SchEnabled is missing";
    EXPECT_EQ(ScheduleTiming::timingText(r), QStringLiteral("毎週-日月土 03:00"));

    // One integer key missing: not set, whatever the rest says.
    handEdit(settings, "WaitTime=0\r\n", "");
    book.load(1);
    EXPECT_FALSE(book.at(1).valid);
    EXPECT_EQ(ScheduleTiming::timingText(book.at(1)), QStringLiteral("未設定"));
    // An empty value counts as missing too.
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, weekly(), {}));
    handEdit(settings, "ProcessKind=1", "ProcessKind=");
    ScheduleSettings s;
    EXPECT_FALSE(ScheduleFiles::readSettings(settings, s));
}

// The round trip of a result is shown end to end; here the rewrite and a hand edit.
TEST_F(ScheduleFilesTest, ResultRewriteDropsLinesAndAMissingKeyMeansNeverRun)
{
    ScheduleResult r;
    r.Status = 1;
    for (int i = 0; i < 4; ++i)
        r.terminals.append({i == 3 ? 4 : 0, targets(4)[i]});
    ASSERT_TRUE(ScheduleFiles::writeResult(result, r));
    EXPECT_FALSE(IsReadOnly(result));
    EXPECT_TRUE(text(result).contains("TargetTerm4=4,1004,127.0.0.5,02:00:7f:00:00:4,KT-100"));
    r.terminals.resize(1);
    ASSERT_TRUE(ScheduleFiles::writeResult(result, r));
    EXPECT_FALSE(text(result).contains("TargetTerm2"));

    ScheduleBook book;
    book.init(folder);
    book.load(1);
    EXPECT_EQ(book.at(1).result, r);
    handEdit(result, "Status=1\r\n", "");
    book.load(1);
    EXPECT_FALSE(book.at(1).hasResult);
    EXPECT_EQ(ScheduleTiming::stateText(book.at(1)), QStringLiteral("未実施"));
}

TEST_F(ScheduleFilesTest, MngDefaultAndFailedWrites)
{
    const QString mng = ScheduleFiles::mngPath(folder);
    EXPECT_FALSE(QFile::exists(mng));
    EXPECT_TRUE(ScheduleFiles::readCancelClose(mng));
    EXPECT_TRUE(text(mng).contains("[ScheduleMng]\r\nSchCancelClose=1\r\n"));
    ASSERT_TRUE(ScheduleFiles::writeCancelClose(mng, false));
    EXPECT_FALSE(ScheduleFiles::readCancelClose(mng));

    // A folder that can't exist: the write reports failure and leaves nothing.
    dir.write("Blocked", "a file where a folder should be");
    const QString blocked = ScheduleFiles::settingsPath(dir.file("Blocked/"), 1);
    EXPECT_FALSE(ScheduleFiles::writeSettings(blocked, weekly(), targets(1)));
    EXPECT_FALSE(
        ScheduleFiles::writeResult(ScheduleFiles::resultPath(dir.file("Blocked/"), 1), {}));
}
