#include "comm/OpLog.h"
#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/ProcessValues.h"

#include "support/TempDir.h"

#include <QDir>
#include <QRegularExpression>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

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

// The lines written, each after "2024/03/05 09:07  " and with CR LF.
QByteArray linesOf(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *l : lines)
        out += Cp932::encode(QString("2024/03/05 09:07  ") + l) + "\r\n";
    return out;
}

} // namespace

TEST(OpLogFormat, ExactBytesOfErrorAndOperationLines)
{
    struct Case {
        bool error;
        int number;
        const char *termId, *detail;
        int detailCode;
        const char *line; // after the time, without CR LF
    };
    // clang-format off
    const Case cases[] = {
        {true, 3, "1001", "", 0, "Err03:保守開始異常                      端末ID:1001 Busy"},
        {true, 4, "  ABC", "FTP接続エラー", 0, "Err04:FTP異常                           端末ID:ABC FTP接続エラー"},
        {true, 9, "1001", "ignored", 0, "Err09:その他のエラー                    端末ID:1001 "},
        {true, 12, "1001", "SECTION[0] DATA[1] ﾃｽﾄ例外処理が発生しました。", 0, "Err12:設定Configファイル異常            SECTION[0] DATA[1] ﾃｽﾄ例外処理が発生しました。"},
        {false, 2, "   1001", "", 0, "Ope02:ユーザ設定読み込み                端末ID:1001 正常終了"},
        {false, 12, "", "", -1, "Ope12:処理キャンセル                    端末ID: "},
        // Texts from the network start no line of their own.
        {true, 2, "1\r\n2026/12/07 09:00  Ope99:FORGED", "10.0.0.7\n", 0, "Err02:端末ID不一致                      端末ID:1??2026/12/07 09:00  Ope99:FORGED IPアドレス:10.0.0.7?"},
        {true, 5, "1001", "応答破棄", 0, "Err05:通信エラー                        端末ID:1001 応答破棄"},
    };
    // clang-format on
    for (const auto &c : cases) {
        LogRecord r;
        r.number = c.number;
        r.termId = c.termId;
        r.detail = c.detail;
        r.detailCode = c.detailCode;
        r.address = 0x0A000001;
        const QByteArray line =
            c.error ? OpLog::formatErrorLine(r, kMorning) : OpLog::formatOperationLine(r, kMorning);
        EXPECT_EQ(line, Cp932::encode(QString("2024/03/05 09:07  ") + c.line) + "\r\n") << c.line;
    }
}

TEST_F(LogFolder, AppendsToTheDaysFileAndKeepsItReadOnly)
{
    EXPECT_TRUE(OpLog::writeError(3, "   77", {}, 2));
    const QString path = dir.file("Log/Log_20240305.txt");
    EXPECT_EQ(OpLog::todayFilePath(), QFileInfo(path).absoluteFilePath());
    EXPECT_TRUE(IsReadOnly(path));

    // The user made it writable; the next line makes it read-only again.
    ASSERT_TRUE(ClearFileAttributes(path, FileAttr::ReadOnly));
    EXPECT_TRUE(OpLog::writeOperation({"77", 16, -1, 0, "Data/Sys/kel_sys77.ini"}));
    EXPECT_TRUE(IsReadOnly(path));
    // A read-only file is appended to, not refused.
    EXPECT_TRUE(OpLog::writeOperation(9, "78", 0));
    EXPECT_TRUE(OpLog::writeRegisterError(1, "   101"));
    EXPECT_TRUE(OpLog::writeRegisterError(2, "   101", "10.0.0.7"));
    // clang-format off
    EXPECT_EQ(logOf("20240305"), linesOf({
        "Err03:保守開始異常                      端末ID:77 NoAnswer",
        "Ope16:設定ファイル書き込み              端末ID:77 Data/Sys/kel_sys77.ini",
        "Ope09:端末情報取得要求                  端末ID:78 正常終了",
        "Err01:IPアドレス不一致                  端末ID:101 ",
        "Err02:端末ID不一致                      端末ID:101 IPアドレス:10.0.0.7"}));

    // The first line after midnight starts the new day's file.
    setTime(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999)));
    EXPECT_TRUE(OpLog::writeOperation(10, "5", 0));
    setTime(QDateTime(QDate(2025, 1, 1), QTime(0, 0, 0)));
    EXPECT_TRUE(OpLog::writeOperation(10, "5", 3));
    EXPECT_EQ(logOf("20241231"), Cp932::encode("2024/12/31 23:59  Ope10:端末再起動要求                    端末ID:5 正常終了\r\n"));
    EXPECT_EQ(logOf("20250101"), Cp932::encode("2025/01/01 00:00  Ope10:端末再起動要求                    端末ID:5 通信処理タイムアウト\r\n"));
    // clang-format on
}

TEST_F(LogFolder, LinesOfManyThreadsStayWhole)
{
    std::vector<std::unique_ptr<QThread>> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back(QThread::create([t] {
            for (int i = 0; i < 150; ++i)
                i % 2 ? OpLog::writeError({QString("T%1").arg(t), 4, 0, 0, "FTP通信エラー"})
                      : OpLog::writeOperation(5, QString("T%1").arg(t), 0);
        }));
        threads.back()->start();
    }
    for (auto &t : threads)
        t->wait();
    // Every line whole and alone on its own line: nothing torn, nothing lost.
    const QRegularExpression whole("^2024/03/05 09:07  (Ope05:\\S+ +端末ID:T\\d 正常終了|"
                                   "Err04:FTP異常 +端末ID:T\\d FTP通信エラー)$");
    const QStringList lines = Cp932::decode(logOf("20240305")).split("\r\n");
    EXPECT_EQ(lines.size(), 601);
    for (const QString &line : lines.mid(0, 600))
        ASSERT_TRUE(whole.match(line).hasMatch()) << line.toStdString();
}

// Errors a stranger can repeat: the first of a kind is written, the rest of
// its minute counted; the count leaves with the next line after the minute
// or when the minute is flushed. Other kinds keep their own minute.
TEST_F(LogFolder, RepeatedErrorsOnceAMinuteWithTheirCount)
{
    const auto record = [](const char *id) {
        return LogRecord{id, 2, 0, 0, QStringLiteral("10.0.0.9")};
    };
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
    const QString log = Cp932::decode(logOf("20240305"));
    const QString tail = QStringLiteral("IPアドレス:10.0.0.9");
    // a; x; c for b and c; f for d, e (held in c's new minute) and f.
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 4) << log.toStdString();
    for (const QString &line : {QStringLiteral("端末ID:a ") + tail + "\r\n",
                                QStringLiteral("端末ID:x ") + tail + "\r\n",
                                QStringLiteral("端末ID:c ") + tail + QStringLiteral("（他1件）"),
                                QStringLiteral("端末ID:f ") + tail + QStringLiteral("（他2件）")})
        EXPECT_TRUE(log.contains(line)) << line.toStdString();
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
