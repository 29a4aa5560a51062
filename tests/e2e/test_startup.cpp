// The real program started on a fresh program folder.
#include "ProgramRunner.h"
#include "TempDir.h"
#include "register/TermDatabase.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
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

// The language comes from --lang, else the user's choice of the View menu,
// else the desktop's locale; the refusal to start already speaks it.
TEST(Startup, SpeaksTheChosenLanguage)
{
    const struct {
        QStringList env; // NAME=VALUE
        QStringList args;
        const char *saved;
        bool english;
    } cases[] = {
        {{}, {}, nullptr, false},
        {{QStringLiteral("LANG=")}, {}, nullptr, false},
        {{QStringLiteral("LANG=ja_JP.UTF-8")}, {}, nullptr, false},
        {{QStringLiteral("LANG=en_US.UTF-8")}, {}, nullptr, true},
        {{QStringLiteral("LANG=ja_JP.UTF-8"), QStringLiteral("LC_ALL=de_DE.UTF-8")},
         {},
         nullptr,
         true},
        {{QStringLiteral("LANG=ja_JP.UTF-8"), QStringLiteral("LANGUAGE=en")}, {}, nullptr, true},
        {{QStringLiteral("LANG=ja_JP.UTF-8")}, {QStringLiteral("--lang=en")}, nullptr, true},
        {{QStringLiteral("LANG=en_US.UTF-8")}, {QStringLiteral("--lang=ja")}, nullptr, false},
        {{QStringLiteral("LANG=ja_JP.UTF-8")}, {}, "en", true},
        {{QStringLiteral("LANG=en_US.UTF-8")}, {}, "ja", false},
        {{}, {QStringLiteral("--lang=ja")}, "en", false},
    };
    for (const auto &c : cases) {
        TempDir dir;
        MakeProgramFolder(dir.path(), QByteArray()); // no FTP account: refused at once
        if (c.saved)
            dir.write(QStringLiteral(".userconfig/KelMngPC/KelMngPC.conf"),
                      QByteArray("[ui]\nlanguage=") + c.saved + "\n");
        ProgramRunner p(dir.path(), c.args);
        for (const QString &e : c.env)
            p.setEnv(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
        p.start();
        const QString what = c.env.join(QLatin1Char(' ')) + QLatin1Char(' ') +
                             c.args.join(QLatin1Char(' ')) + QStringLiteral(" saved ") +
                             QString::fromLatin1(c.saved ? c.saved : "-");
        EXPECT_GT(p.finish(), 0) << what.toStdString();
        const QString err = p.stderrText();
        EXPECT_EQ(err.contains(QStringLiteral("Start Error\nNo FTP account is set up.")), c.english)
            << what.toStdString() << "\n"
            << err.toStdString();
        EXPECT_EQ(err.contains(QStringLiteral("起動エラー")), !c.english) << what.toStdString();
    }
}

// Under a real X server the window shows with its title.
TEST(Startup, MainWindowTitleUnderXvfb)
{
    const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
    XServer server;
    if (xwininfo.isEmpty() || !server.start())
        GTEST_SKIP() << "Xvfb or xwininfo not installed";
    TempDir dir;
    MakeProgramFolder(dir.path());
    const QString display = server.display();

    ProgramRunner p(dir.path(), {}, QStringLiteral("xcb"), display);
    p.start();
    const QString title = QStringLiteral("クヴァＩＰフォンマネージャ 管理用ツール");
    QString tree;
    const bool shown = WaitFor(
        [&] {
            QProcess info;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("DISPLAY"), display);
            info.setProcessEnvironment(env);
            info.start(xwininfo, {QStringLiteral("-root"), QStringLiteral("-tree")});
            info.waitForFinished(5000);
            tree = QString::fromUtf8(info.readAllStandardOutput());
            return tree.contains(title);
        },
        15000);
    EXPECT_TRUE(shown) << p.stderrText().toStdString();
    p.terminate();
    EXPECT_EQ(p.finish(), 0) << p.stderrText().toStdString();
}
