#include "comm/OpLog.h"
#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/ProcessValues.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace
{

const QDateTime kMorning(QDate(2024, 3, 5), QTime(9, 7, 59));

// A program folder with a Log folder and a fixed clock.
struct LogFolder : ::testing::Test {
    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        dir.mkdir("Log");
        setTime(kMorning);
    }
    void TearDown() override { OpLog::setClock({}); }
    void setTime(const QDateTime &t)
    {
        OpLog::setClock([t] { return t; });
    }
    QByteArray logOf(const QString &day) { return dir.read("Log/Log_" + day + ".txt"); }

    TempDir dir;
};

} // namespace

// Each line's exact bytes; the day's file made read-only again after every
// line, and appended to though read-only; the first line after midnight
// starts the next day's file.
TEST_F(LogFolder, AppendsToTheDaysFileAndKeepsItReadOnly)
{
    EXPECT_TRUE(OpLog::writeError(3, "   77", {}, 0));
    const QString path = dir.file("Log/Log_20240305.txt");
    EXPECT_EQ(OpLog::todayFilePath(), QFileInfo(path).absoluteFilePath());
    EXPECT_TRUE(IsReadOnly(path));
    ASSERT_TRUE(ClearFileAttributes(path, FileAttr::ReadOnly));
    EXPECT_TRUE(OpLog::writeOperation({"77", 16, -1, 0, "Data/Sys/kel_sys77.ini"}));
    EXPECT_TRUE(IsReadOnly(path));
    // (error?, ID, number, detail code, detail): the ID's leading blanks go;
    // texts from the network start no line of their own.
    // clang-format off
    const std::tuple<bool, const char *, int, int, const char *> records[] = {
        {true, "  ABC", 4, 0, "FTP接続エラー"}, {true, "1001", 9, 0, "ignored"},
        {false, "", 12, -1, ""}, {false, "5", 10, 3, ""},
        {true, "1\r\n2026/12/07 09:00  Ope99:FORGED", 2, 0, "10.0.0.7\n"},
    };
    // clang-format on
    for (const auto &[error, id, number, code, detail] : records)
        EXPECT_TRUE(error ? OpLog::writeError({id, number, code, 0, detail})
                          : OpLog::writeOperation({id, number, code, 0, detail}));
    EXPECT_TRUE(OpLog::writeRegisterError(1, "   101"));
    QByteArray expected;
    for (const char *line :
         {"Err03:保守開始異常                      端末ID:77 Busy",
          "Ope16:設定ファイル書き込み              端末ID:77 Data/Sys/kel_sys77.ini",
          "Err04:FTP異常                           端末ID:ABC FTP接続エラー",
          "Err09:その他のエラー                    端末ID:1001 ",
          "Ope12:処理キャンセル                    端末ID: ",
          "Ope10:端末再起動要求                    端末ID:5 通信処理タイムアウト",
          "Err02:端末ID不一致                      端末ID:1??2026/12/07 09:00  Ope99:FORGED "
          "IPアドレス:10.0.0.7?",
          "Err01:IPアドレス不一致                  端末ID:101 "})
        expected += Cp932::encode(QString("2024/03/05 09:07  ") + line) + "\r\n";
    EXPECT_EQ(logOf("20240305"), expected);

    setTime(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999)));
    EXPECT_TRUE(OpLog::writeOperation(10, "5", 0));
    setTime(QDateTime(QDate(2025, 1, 1), QTime(0, 0, 0)));
    EXPECT_TRUE(OpLog::writeOperation(10, "5", 0));
    EXPECT_TRUE(logOf("20241231").startsWith("2024/12/31 23:59  Ope10:"));
    EXPECT_TRUE(logOf("20250101").startsWith("2025/01/01 00:00  Ope10:"));
}

// Errors a stranger can repeat: the first of a kind is written, the rest of
// its minute counted; the count leaves with the next line after the minute
// or when the minute is flushed. Other kinds keep their own minute.
TEST_F(LogFolder, RepeatedErrorsOnceAMinuteWithTheirCount)
{
    const auto record = [](const char *id) { return LogRecord{id, 2, 0, 0, "10.0.0.9"}; };
    for (const char *id : {"a", "b", "c"})
        OpLog::writeErrorRepeated("kind1", record(id));
    OpLog::writeErrorRepeated("kind2", record("x"));
    OpLog::flushRepeated(); // within the minute: nothing
    setTime(kMorning.addSecs(61));
    OpLog::flushRepeated();
    OpLog::flushRepeated(); // nothing held any more
    for (const char *id : {"d", "e"})
        OpLog::writeErrorRepeated("kind1", record(id));
    setTime(kMorning.addSecs(200));
    OpLog::writeErrorRepeated("kind1", record("f"));
    // a; x; c for b and c; f for d, e (held in c's new minute) and f.
    const QString log = Cp932::decode(logOf("20240305"));
    EXPECT_EQ(log.count("\r\n"), 4) << log.toStdString();
    for (const char *line :
         {"端末ID:a IPアドレス:10.0.0.9\r\n", "端末ID:x IPアドレス:10.0.0.9\r\n",
          "端末ID:c IPアドレス:10.0.0.9（他1件）", "端末ID:f IPアドレス:10.0.0.9（他2件）"})
        EXPECT_TRUE(log.contains(QString(line))) << line;
}

// Without the Log folder nothing is written or created; a link put in place
// of the day's log: the line does not reach its target, nor does the
// read-only bit.
TEST_F(LogFolder, ALinkAtTheLogsNameIsNotFollowed)
{
    QDir(dir.file("Log")).removeRecursively();
    EXPECT_FALSE(OpLog::writeOperation(1, "1", 0));
    EXPECT_FALSE(QDir(dir.file("Log")).exists());
    dir.mkdir("Log");
    const QString victim = dir.file("victim.txt");
    dir.write("victim.txt", "mine\n");
    QFile::setPermissions(victim, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    ASSERT_TRUE(QFile::link(victim, dir.file("Log/Log_20240305.txt")));
    EXPECT_FALSE(OpLog::writeError(9, "1001"));
    EXPECT_EQ(dir.read("victim.txt"), "mine\n");
    EXPECT_FALSE(IsReadOnly(victim));
    EXPECT_FALSE(SetFileAttributes(dir.file("Log/Log_20240305.txt"), FileAttr::ReadOnly));
    EXPECT_FALSE(IsReadOnly(victim));
}
