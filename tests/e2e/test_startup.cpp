// The real program started on a fresh program folder.
#include "ProgramRunner.h"
#include "TempDir.h"
#include "register/TermDatabase.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(Startup, CreatesRegisterShowsWindowAndEndsOnSigterm)
{
    TempDir dir;
    MakeProgramFolder(dir.path());
    const QString db = dir.file(QStringLiteral("KELMNGPC_V11.MDB"));
    const QString lock = dir.file(QStringLiteral("QUVAIPPHONEMANAGER.lock"));

    ProgramRunner first(dir.path());
    first.start();
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(db) && QFile::exists(lock); }, 15000))
        << first.stderrText().toStdString();

    // A second copy on the same folder is refused and leaves the first alone.
    ProgramRunner second(dir.path());
    second.start();
    EXPECT_GT(second.finish(), 0);
    EXPECT_TRUE(
        second.stderrText().contains(QStringLiteral("クヴァＩＰフォンマネージャ管理用ツールは既に起"
                                                    "動しているか､現在使用不能な状態にあります｡")));
    EXPECT_TRUE(first.running());

    first.terminate();
    EXPECT_EQ(first.finish(), 0) << first.stderrText().toStdString();
    EXPECT_FALSE(QFile::exists(lock));

    // The empty editor path was replaced at start and saved.
    CTermDatabase reg(dir.path());
    SystemSettings s;
    ASSERT_TRUE(reg.startUp());
    ASSERT_EQ(reg.readSystemSettings(s), 0);
    EXPECT_EQ(s.EditerPath, QStringLiteral("xdg-open"));
}

TEST(Startup, RefusedForTheFtpAccountsBeforeAnyWindow)
{
    const std::pair<QByteArray, const char *> cases[] = {
        {QByteArray(), "FTPアカウントが設定されていません。"},
        {"[System]\r\nCount=2\r\n[ModelSet1]\r\nMODEL=A\r\nID=a\r\nPW=a\r\n"
         "[ModelSet2]\r\nMODEL=Supervisor\r\nID=s\r\nPW=s\r\n",
         "複数機種のFTPアカウントを設定している場合、スーパーバイザ設定はできません。"},
    };
    for (const auto &[accounts, text] : cases) {
        TempDir dir;
        MakeProgramFolder(dir.path(), accounts);
        ProgramRunner p(dir.path());
        p.start();
        EXPECT_GT(p.finish(), 0) << text;
        EXPECT_TRUE(p.stderrText().contains(QString::fromUtf8(text))) << text;
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("KELMNGPC_V11.MDB"))));
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("QUVAIPPHONEMANAGER.lock"))));
    }
}

// Which language wins is the unit tests' matter; here the program's start
// follows the choice, and its refusal to start already speaks it.
TEST(Startup, SpeaksTheChosenLanguage)
{
    const struct {
        const char *lang, *option, *saved;
        bool english;
    } cases[] = {
        {"en_US.UTF-8", nullptr, nullptr, true},
        {"en_US.UTF-8", "--lang=ja", nullptr, false},
        {"ja_JP.UTF-8", nullptr, "en", true},
    };
    for (const auto &c : cases) {
        TempDir dir;
        MakeProgramFolder(dir.path(), QByteArray()); // no FTP account: refused at once
        if (c.saved)
            dir.write(QStringLiteral(".userconfig/KelMngPC/KelMngPC.conf"),
                      QByteArray("[ui]\nlanguage=") + c.saved + "\n");
        ProgramRunner p(dir.path(), c.option ? QStringList{c.option} : QStringList{});
        p.setEnv(QStringLiteral("LANG"), c.lang);
        p.start();
        EXPECT_GT(p.finish(), 0) << c.lang;
        const QString err = p.stderrText();
        EXPECT_EQ(err.contains(QStringLiteral("Start Error\nNo FTP account is set up.")), c.english)
            << c.lang << " " << err.toStdString();
        EXPECT_EQ(err.contains(QStringLiteral("起動エラー")), !c.english) << c.lang;
    }
}
