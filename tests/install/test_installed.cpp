// The installed program (DESTDIR=<tmp> cmake --install) started the way a
// desktop user starts it: HOME and the XDG folders in a temporary folder, no
// program folder named, offscreen, where the first start reads its answers
// from standard input.
#include "ProgramRunner.h"
#include "TempDir.h"
#include "common/Cp932.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

namespace
{

const char *const Caption = "初回起動 - FTPアカウントの設定";
const char *const NoAccount = "FTPアカウントが設定されていません。";

// The tree cmake --install lays out, made once for the suite; an error text
// when it could not be made.
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
    // Starts the program with the arguments; env: KELMNGPC_PROGRAM_FOLDER.
    std::unique_ptr<ProgramRunner> start(const QString &program, const QStringList &args = {},
                                         const QString &env = {})
    {
        auto p = std::make_unique<ProgramRunner>();
        for (const auto &[name, sub] : {std::pair{"XDG_DATA_HOME", ".local/share"},
                                        {"XDG_CONFIG_HOME", ".config"}, {"XDG_CACHE_HOME", ".cache"},
                                        {"XDG_STATE_HOME", ".local/state"}, {"XDG_RUNTIME_DIR", "run"}}) {
            home.mkdir(QLatin1String(sub));
            p->setEnv(QLatin1String(name), home.file(QLatin1String(sub)));
        }
        QFile::setPermissions(home.file(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        p->setEnv(QStringLiteral("HOME"), home.path());
        p->setEnv(QStringLiteral("KELMNGPC_PROGRAM_FOLDER"), env);
        p->setEnv(QStringLiteral("KELMNGPC_TEST_CONTROL"), control());
        p->start(QStringList{program} + args);
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
    QFile f(folder + QStringLiteral("/Log/Log_") +
            QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".txt"));
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

bool holdsRegister(const QString &dir)
{
    return QFileInfo::exists(dir + QStringLiteral("/KELMNGPC_V11.MDB"));
}

} // namespace

// Cancelled, the first start lays out nothing and asks again next time; a
// bad answer is asked again; then the second start goes straight to the
// main window; a folder whose account was removed is refused unasked.
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
    EXPECT_FALSE(holdsRegister(folder));
    {
        auto p = desk.start(tree.program());
        ASSERT_TRUE(waitStderr(*p, Caption)) << p->stderrText().toStdString();
        // A user name with a trailing blank would not read back: asked again.
        p->write("KT-100\nkel \nsecret\n");
        ASSERT_TRUE(waitStderr(*p, "FTPユーザー名に使用できない文字があります。"));
        p->write("KT-100\nkel\nse cret=;\"x\n");
        ASSERT_TRUE(desk.mainWindowUp()) << p->stderrText().toStdString();
        const QString account = folder + QStringLiteral("/Config/FTPauth.ini");
        QFile f(account);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(),
                  QByteArray("[System]\r\nCount=1\r\n\r\n[ModelSet1]\r\nMODEL=KT-100\r\n"
                             "ID=kel\r\nPW=se cret=;\"x\r\n"));
        EXPECT_EQ(modeOf(folder), 0700u);
        // Written 0600; the start then makes it read-only as well.
        EXPECT_EQ(modeOf(account) & 0177, 0u) << std::oct << modeOf(account);
        // Laid out from the installed samples.
        for (const char *rel : {"KELMNGPC_V11.MDB", "Config/FirmConfig.xml",
                                "Config/Sys/sysconfig_KT-100_1.xml", "Config/電話帳_KT-100_1.xlt"})
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
    EXPECT_FALSE(second->stderrText().contains(QString::fromUtf8(Caption)));

    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/Config/FTPauth.ini")));
    auto refused = desk.start(tree.program());
    EXPECT_EQ(refused->finish(), 1);
    EXPECT_TRUE(refused->stderrText().contains(QString::fromUtf8(NoAccount)));
    EXPECT_FALSE(refused->stderrText().contains(QString::fromUtf8(Caption)));
}

// The executable's folder when it holds an account; the variable over it;
// the option over all. The option's folder holds an account file others can
// read: one log line, a status-bar message, and the start goes on (the load
// leaves the file owner-only).
TEST(Installed, ProgramFolderPrecedenceAndAReadableAccountFileReportedNotRefused)
{
    const InstalledTree &tree = InstalledTree::get();
    ASSERT_EQ(tree.error, QString());
    Desktop desk;
    TempDir portable, fromEnv, fromOption;
    for (const TempDir *d : {&portable, &fromEnv, &fromOption})
        MakeProgramFolder(d->path());
    const QString copy = portable.file(QStringLiteral("kelmngpc"));
    ASSERT_TRUE(QFile::copy(tree.program(), copy));
    const QString account = fromOption.file(QStringLiteral("Config/FTPauth.ini"));
    ASSERT_EQ(::chmod(QFile::encodeName(account).constData(), 0644), 0);
    const struct {
        QStringList args;
        QString env;
        const TempDir *expected;
    } cases[] = {
        {{}, {}, &portable},
        {{}, fromEnv.path(), &fromEnv},
        {{QStringLiteral("--program-folder=") + fromOption.path()}, fromEnv.path(), &fromOption},
    };
    for (const auto &c : cases) {
        auto p = desk.start(copy, c.args, c.env);
        ControlClient control;
        ASSERT_TRUE(control.connectTo(desk.control())) << p->stderrText().toStdString();
        EXPECT_EQ(control.ask(QStringLiteral("statusbar"))
                      .contains(QStringLiteral("読み取れる状態でした（0644）")),
                  c.expected == &fromOption);
        p->terminate();
        EXPECT_EQ(p->finish(), 0);
        int registers = 0;
        for (const TempDir *d : {&portable, &fromEnv, &fromOption})
            registers += holdsRegister(d->path());
        EXPECT_TRUE(registers == 1 && holdsRegister(c.expected->path())) << c.env.toStdString();
        QFile::remove(c.expected->file(QStringLiteral("KELMNGPC_V11.MDB")));
    }
    EXPECT_FALSE(QFileInfo::exists(desk.userFolder()));
    const QString log = todaysLog(fromOption.path());
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 1) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral(
        "Err12:設定Configファイル異常"))) << log.toStdString();
    EXPECT_EQ(modeOf(account) & 077, 0u);
}
