// The failed terminals: which count, what the filter hides, and the CSV file.
#include "common/Ipv4.h"
#include "common/ProcessValues.h"
#include "common/SafeFile.h"
#include "register/TermDatabase.h"
#include "termlist/FailedTerminals.h"
#include "termlist/TerminalFiles.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

TermEntry entry(int id, int kind, int code)
{
    TermEntry e;
    e.ID = id;
    e.TermID = QString::number(1000 + id);
    e.ResultKind = kind;
    e.ResultCode = code;
    return e;
}

} // namespace

TEST(FailedTerminals, WhichCountAndWhatTheListHides)
{
    // No operation yet and "端末情報取得中" are no failure, whatever the code.
    const std::vector<TermEntry> listed{entry(1, 5, 3),  entry(2, 5, 0),   entry(3, 0, 4),
                                        entry(4, 13, 9), entry(5, 19, 11), entry(6, 99, 1)};
    EXPECT_EQ(FailedTerminals::rows(listed), (std::vector<int>{0, 4, 5}));
    const std::vector<TermEntry> inRegister{entry(1, 5, 3), entry(7, 2, 6), entry(8, 2, 6)};
    EXPECT_EQ(FailedTerminals::hidden(inRegister, listed), 2);
    EXPECT_EQ(FailedTerminals::statusText(3, 2) + FailedTerminals::statusText(0, 0),
              QString(" 処理に失敗した端末 3 件を選択しました。（表示条件により非表示の処理失敗端末が "
                      "2 件あります） 処理に失敗した端末 0 件を選択しました。"));
}

TEST(FailedTerminals, CsvFieldsQuotedWhereNeededAndFormulasDisarmed)
{
    const struct {
        QString in;
        bool fromTerminal;
        QString out;
    } rows[] = {
        {"a,b", false, "\"a,b\""},          {"say \"hi\"", false, "\"say \"\"hi\"\"\""},
        {"two\r\nlines", false, "\"two\r\nlines\""}, {" padded", false, "\" padded\""},
        {"=HYPERLINK(\"x\")", true, "\"'=HYPERLINK(\"\"x\"\")\""},
        {"-1", true, "'-1"}, {"-1", false, "-1"}, {"", true, ""},
    };
    for (const auto &r : rows)
        EXPECT_EQ(FailedTerminals::csvField(r.in, r.fromTerminal), r.out) << r.in.toStdString();
}

TEST(FailedTerminals, ExportWritesTheRegistersFailedTerminalsWhole)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    CTermDatabase db(dir.path());
    ASSERT_TRUE(db.startUp());
    ScriptedPrompter prompter;
    EXPECT_FALSE(FailedTerminals::exportCsv(db, prompter)) << "nothing failed";
    EXPECT_EQ(prompter.records.last().text, QString("処理に失敗した端末はありません。"));

    for (int n : {1, 2}) {
        RegistrationData r;
        r.TermID = QString::number(1000 + n);
        r.IPAddr = Ipv4::hostToRegister(0xC0A80100u + std::uint32_t(n));
        r.UserInfo1 = QString("02:00:00:00:00:0%1").arg(n);
        ASSERT_EQ(db.registerUpdate(r), 0);
        ASSERT_EQ(db.setResultByMac(r.UserInfo1, 5, n == 2 ? 0 : 3), 0);
    }
    std::vector<TermEntry> failed;
    ASSERT_EQ(FailedTerminals::read(db, failed), 0);
    ASSERT_EQ(failed.size(), 1u);
    const QByteArray bytes = FailedTerminals::csv(failed);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF") && bytes.endsWith("\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n1001,192.168.1.1,,ｼｽﾃﾑ設定書込 (ｴﾗｰ：通信ﾀｲﾑｱｳﾄ),3,20"));

    const QString out = dir.file("failed.csv");
    dir.write("failed.csv", "old");
    prompter.answerFile(QString()); // cancelled
    EXPECT_FALSE(FailedTerminals::exportCsv(db, prompter));
    SafeFile::setStepHook(
        [](SafeFile::Step s, const QString &) { return s != SafeFile::Step::Sync; });
    prompter.answerFile(out);
    EXPECT_FALSE(FailedTerminals::exportCsv(db, prompter));
    SafeFile::setStepHook({});
    EXPECT_EQ(prompter.records.last().caption, QString("処理失敗端末の出力異常"));
    EXPECT_EQ(dir.read("failed.csv"), "old") << "a failed write leaves the old file";
    prompter.answerFile(dir.file("named-without-suffix"));
    EXPECT_TRUE(FailedTerminals::exportCsv(db, prompter));
    EXPECT_EQ(dir.read("named-without-suffix.csv"), FailedTerminals::csv(failed));
}

TEST(FailedTerminals, DeletingATerminalsFilesTakesItsHistory)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    dir.write("Data/Sys/kel_sys1001.ini", "a");
    dir.write("Data/History/1001/Sys/v000001.ini", "old");
    dir.write("Data/History/1002/Sys/v000001.ini", "other");
    EXPECT_EQ(TerminalFiles::remove("1001"), 1);
    EXPECT_FALSE(QDir(dir.file("Data/History/1001")).exists());
    EXPECT_TRUE(QFile::exists(dir.file("Data/History/1002/Sys/v000001.ini")));
}
