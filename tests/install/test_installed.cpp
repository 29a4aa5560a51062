// The installed program started as a desktop user starts it, in a temporary
// home; offscreen, the first start reads its answers from standard input.
#include "ProgramRunner.h"
#include "TempDir.h"
#include "common/Cp932.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

const char *const Caption = "初回起動 - FTPアカウントの設定";
const char *const NoAccount = "FTPアカウントが設定されていません。";

// The tree cmake --install lays out (DESTDIR), made once for the suite.
struct InstalledTree {
    TempDir root;
    QString error;
    QString program() const { return root.file(QStringLiteral("usr/bin/kelmngpc")); }
    InstalledTree()
    {
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), root.path());
        install.setProcessEnvironment(env);
        install.start(QStringLiteral("cmake"),
                      {QStringLiteral("--install"), QStringLiteral(KEL_BINARY_DIR),
                       QStringLiteral("--prefix"), QStringLiteral("/usr")});
        if (!install.waitForFinished(120000) || install.exitCode() != 0)
            error = QString::fromLocal8Bit(install.readAllStandardError());
    }
    static const InstalledTree &get()
    {
        static const InstalledTree tree;
        return tree;
    }
};

// A user's home in a temporary folder, and the program run in it.
struct Desktop {
    TempDir home;
    QString userFolder() const { return home.file(QStringLiteral(".local/share/KelMngPC")); }
    QString control() const { return home.file(QStringLiteral("control.sock")); }
    std::unique_ptr<ProgramRunner> start(const QString &program)
    {
        auto p = std::make_unique<ProgramRunner>();
        p->setEnv(QStringLiteral("HOME"), home.path()); // the XDG folders' defaults below it
        for (const char *name :
             {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            p->setEnv(QLatin1String(name), QString());
        home.mkdir(QStringLiteral("run"));
        QFile::setPermissions(home.file(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        p->setEnv(QStringLiteral("XDG_RUNTIME_DIR"), home.file(QStringLiteral("run")));
        p->setEnv(QStringLiteral("KELMNGPC_PROGRAM_FOLDER"), QString());
        p->setEnv(QStringLiteral("KELMNGPC_TEST_CONTROL"), control());
        p->start(QStringList{program});
        return p;
    }
    // Whether the main window came up: the control socket opens after it shows.
    bool mainWindowUp()
    {
        ControlClient c;
        return c.connectTo(control()) && c.ask(QStringLiteral("ping")) == QLatin1String("pong");
    }
};

QString todaysLog(const QString &folder)
{
    QFile f(folder + QDate::currentDate().toString(QStringLiteral("'/Log/Log_'yyyyMMdd'.txt'")));
    return f.open(QIODevice::ReadOnly) ? Cp932::decode(f.readAll()) : QString();
}

bool waitStderr(ProgramRunner &p, const char *text)
{
    return WaitFor([&] { return p.stderrText().contains(QString::fromUtf8(text)); }, 20000);
}

unsigned modeOf(const QString &path)
{
    struct stat st {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

// Cancelled, the first start lays out nothing; a bad answer is asked again; the
// second start goes straight on; a folder whose account went is refused unasked,
// but an executable's folder of its own goes first.
TEST(Installed, FirstStartLaysOutTheUserFolderThenTheSecondGoesStraightToTheMainWindow)
{
    const InstalledTree &tree = InstalledTree::get();
    ASSERT_EQ(tree.error, QString());
    Desktop desk;
    const QString folder = desk.userFolder();
    auto cancelled = desk.start(tree.program());
    ASSERT_TRUE(waitStderr(*cancelled, Caption)) << cancelled->stderrText().toStdString();
    cancelled->write("KT-100\n");
    cancelled->closeInput();
    EXPECT_EQ(cancelled->finish(), 1);
    EXPECT_TRUE(cancelled->stderrText().contains(QString::fromUtf8(NoAccount)));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/KELMNGPC_V11.MDB")));
    {
        auto p = desk.start(tree.program());
        ASSERT_TRUE(waitStderr(*p, Caption)) << p->stderrText().toStdString();
        // A user name with a trailing blank would not read back: asked again.
        p->write("KT-100\nkel \nsecret\n");
        ASSERT_TRUE(waitStderr(*p, "FTPユーザー名に使用できない文字があります。"));
        p->write("KT-100\nkel\nse cret=;\"x\n");
        ASSERT_TRUE(desk.mainWindowUp()) << p->stderrText().toStdString();
        const QString account = folder + QStringLiteral("/Config/FTPauth.ini");
        EXPECT_TRUE(desk.home.read(".local/share/KelMngPC/Config/FTPauth.ini")
                        .endsWith("MODEL=KT-100\r\nID=kel\r\nPW=se cret=;\"x\r\n"));
        EXPECT_EQ(modeOf(folder), 0700u);
        // Written 0600; the start then makes it read-only as well.
        EXPECT_EQ(modeOf(account) & 0177, 0u) << std::oct << modeOf(account);
        for (const char *rel : {"KELMNGPC_V11.MDB", "Config/Sys/sysconfig_KT-100_1.xml"})
            EXPECT_TRUE(QFileInfo::exists(folder + QLatin1Char('/') + QString::fromUtf8(rel)))
                << rel;
        EXPECT_EQ(todaysLog(folder), QString()) << "owner-only from the start: no warning";
        p->terminate();
        EXPECT_EQ(p->finish(), 0) << p->stderrText().toStdString();
    }
    auto second = desk.start(tree.program());
    ASSERT_TRUE(desk.mainWindowUp()) << second->stderrText().toStdString();
    second->terminate();
    EXPECT_EQ(second->finish(), 0);

    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/Config/FTPauth.ini")));
    auto refused = desk.start(tree.program());
    EXPECT_EQ(refused->finish(), 1);
    EXPECT_TRUE(refused->stderrText().contains(QString::fromUtf8(NoAccount)));
    EXPECT_FALSE(refused->stderrText().contains(QString::fromUtf8(Caption)));

    // The executable's folder with an account goes before that user folder; its
    // account file others can read: a log line, a status-bar message, made private.
    TempDir portable;
    MakeProgramFolder(portable.path());
    const QString account = portable.file(QStringLiteral("Config/FTPauth.ini"));
    ASSERT_EQ(::chmod(QFile::encodeName(account).constData(), 0644), 0);
    ASSERT_TRUE(QFile::copy(tree.program(), portable.file(QStringLiteral("kelmngpc"))));
    auto p = desk.start(portable.file(QStringLiteral("kelmngpc")));
    ControlClient control;
    ASSERT_TRUE(control.connectTo(desk.control())) << p->stderrText().toStdString();
    EXPECT_TRUE(control.ask(QStringLiteral("statusbar"))
                    .contains(QStringLiteral("読み取れる状態でした（0644）")));
    p->terminate();
    EXPECT_EQ(p->finish(), 0);
    EXPECT_TRUE(QFileInfo::exists(portable.file(QStringLiteral("KELMNGPC_V11.MDB"))));
    const QString log = todaysLog(portable.path());
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 1) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Err12:設定Configファイル異常"))) << log.toStdString();
    EXPECT_EQ(modeOf(account) & 077, 0u);
}
