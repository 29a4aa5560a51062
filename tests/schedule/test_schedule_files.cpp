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
    s.OtherSetupFile2Name = QStringLiteral("共通/kel_sys.ini");
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
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(Cp932::encode(t.replace(from, to)));
}

class ScheduleFilesTest : public ::testing::Test
{
protected:
    TempDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    QString settings = ScheduleFiles::settingsPath(folder, 1);
};

} // namespace

TEST_F(ScheduleFilesTest, SettingsRoundTripProtectedAndTargetsShrinkWithoutLeftovers)
{
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, weekly(), targets(5)));
    // Every later write opens the protected file again.
    ASSERT_TRUE(ScheduleFiles::writeEnabled(settings, true));
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, weekly(), targets(2)));
    EXPECT_TRUE(IsReadOnly(settings) && IsHidden(settings));
    const QString t = text(settings);
    EXPECT_TRUE(t.contains("TargetTermCount=2\r\n"));
    EXPECT_FALSE(t.contains("TargetTerm3"));

    ScheduleSettings read;
    ASSERT_TRUE(ScheduleFiles::readSettings(settings, read));
    EXPECT_EQ(read, weekly());
    EXPECT_EQ(ScheduleFiles::readTargets(settings), targets(2));

    // A folder that can't exist: the write reports failure.
    dir.write("Blocked", "a file where a folder should be");
    EXPECT_FALSE(ScheduleFiles::writeSettings(ScheduleFiles::settingsPath(dir.file("Blocked/"), 1),
                                              weekly(), targets(1)));
}

TEST_F(ScheduleFilesTest, HandWrittenValuesHexFlagsMissingKeysAndLongTexts)
{
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, weekly(), targets(0)));
    handEdit(settings, "OperatTiming=1", "OperatTiming=0x1");
    handEdit(settings, "EveryMondayCheck=1", "EveryMondayCheck=7");
    handEdit(settings, "FirmBootFileName=", "FirmBootFileName=" + QString(600, QLatin1Char('a')));
    handEdit(settings, "TargetTermCount=0",
             "TargetTermCount=2\r\nTargetTerm1=1001,,00:11,KT,100\r\nTargetTerm2=,127.0.0.9");
    ScheduleResult result;
    result.Status = 1;
    ASSERT_TRUE(ScheduleFiles::writeResult(ScheduleFiles::resultPath(folder, 1), result));

    ScheduleBook book;
    book.init(dir.path());
    book.load(1);
    const ScheduleRecord &r = book.at(1);
    ASSERT_TRUE(r.valid);
    EXPECT_TRUE(r.hasResult);
    EXPECT_EQ(r.settings.EveryWeekCheck[1], 1) << "any non-zero flag reads as 1";
    EXPECT_EQ(r.settings.FirmBootFileName.size(), 511);
    EXPECT_EQ(r.targets,
              (QList<ScheduleTarget>{{"1001", "", "00:11", "KT,100"}, {"", "127.0.0.9", "", ""}}));
    EXPECT_FALSE(r.enabled) << "SchEnabled is missing";
    EXPECT_EQ(ScheduleTiming::timingText(r), QStringLiteral("毎週-日月土 03:00"));

    // One integer key missing, or empty: not set, whatever the rest says;
    // a result without its status was never run.
    handEdit(settings, "WaitTime=0\r\n", "");
    handEdit(ScheduleFiles::resultPath(folder, 1), "Status=1\r\n", "");
    book.load(1);
    EXPECT_FALSE(book.at(1).valid);
    EXPECT_FALSE(book.at(1).hasResult);
    EXPECT_EQ(ScheduleTiming::timingText(book.at(1)), QStringLiteral("未設定"));
    ASSERT_TRUE(ScheduleFiles::writeSettings(settings, weekly(), {}));
    handEdit(settings, "ProcessKind=1", "ProcessKind=");
    ScheduleSettings s;
    EXPECT_FALSE(ScheduleFiles::readSettings(settings, s));
}
