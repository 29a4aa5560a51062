// The program folder, the lay-out of a new one, and the first start's FTP
// account: its checks and its file.
#include "TempDir.h"
#include "comm/FtpSettings.h"
#include "register/TermDatabase.h"
#include "setup/FirstStart.h"
#include "setup/ProgramFolder.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

const QString Samples = QStringLiteral(KEL_SOURCE_DIR "/samples");

unsigned modeOf(const QString &path)
{
    struct stat st {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

// The option over the variable over the executable's folder (when it holds
// an account or a register) over the user's.
TEST(ProgramFolder, ChosenInItsOrderAndFreshWhenMissingOrHoldingOnlyTheLock)
{
    TempDir dir;
    const QStringList option{QStringLiteral("-x"), QStringLiteral("--program-folder=/o")};
    using C = ProgramFolder::Choice;
    EXPECT_EQ(ProgramFolder::resolve(option, "/e", dir.path(), "/u").source, C::CommandLine);
    EXPECT_EQ(ProgramFolder::resolve(option, "/e", dir.path(), "/u").folder, "/o");
    EXPECT_EQ(ProgramFolder::resolve({}, "/e", dir.path(), "/u").source, C::Environment);
    EXPECT_EQ(ProgramFolder::resolve({}, {}, dir.path(), "/u").folder, "/u");
    dir.write(QStringLiteral("KELMNGPC_V11.MDB"), "x");
    EXPECT_TRUE(ProgramFolder::holdsProgramFolder(dir.path())); // the register alone will do
    EXPECT_EQ(ProgramFolder::resolve({}, {}, dir.path(), "/u").source, C::Executable);
    QFile::remove(dir.file(QStringLiteral("KELMNGPC_V11.MDB")));
    const QStringList lock{QStringLiteral("QUVAIPPHONEMANAGER.lock")};
    EXPECT_TRUE(ProgramFolder::isFresh(dir.file(QStringLiteral("missing")), lock));
    EXPECT_TRUE(ProgramFolder::isFresh(dir.path(), lock));
    dir.write(QStringLiteral("QUVAIPPHONEMANAGER.lock"), "1");
    EXPECT_TRUE(ProgramFolder::isFresh(dir.path(), lock));
    EXPECT_FALSE(ProgramFolder::isFresh(dir.path()));
    dir.write(QStringLiteral(".hidden"), "");
    EXPECT_FALSE(ProgramFolder::isFresh(dir.path(), lock));
}

TEST(FirstStart, AnswerChecks)
{
    const FtpAccountAnswer good{QStringLiteral("KT-100"), QStringLiteral("kel"),
                                QStringLiteral("p=a;s \"w\" ｶﾅ漢字")};
    using F = AnswerProblem;
    const struct {
        FtpAccountAnswer answer;
        F::Field field;
    } cases[] = {
        {good, F::None},
        {{QStringLiteral("Supervisor"), good.user, good.password}, F::None},
        {{QString(), good.user, good.password}, F::Model},
        {{good.model, QString(), good.password}, F::User},
        {{good.model, good.user, QString()}, F::Password},
        {{good.model, QStringLiteral(" kel"), good.password}, F::User},
        {{good.model, good.user, QStringLiteral("\"pw\"")}, F::Password},
        {{good.model, good.user, QStringLiteral("pw\r\nCount=2")}, F::Password},
        {{good.model, QStringLiteral("a\x01"), good.password}, F::User},
        {{good.model, good.user, QStringLiteral("€uro")}, F::Password},
        {{QStringLiteral("KT/100"), good.user, good.password}, F::Model},
    };
    for (const auto &[answer, field] : cases) {
        const AnswerProblem p = CheckFtpAccountAnswer(answer);
        EXPECT_EQ(p.field, field)
            << (answer.model + '/' + answer.user + '/' + answer.password).toStdString();
        EXPECT_EQ(p.text.isEmpty(), field == F::None);
    }
}

// A failed lay-out leaves no account (the next start refuses half a folder); a
// good one names the samples after the model, keeps what is there, account last.
TEST(FirstStart, LayOutNamesSamplesAfterTheModelAndWritesTheAccountLast)
{
    TempDir dir;
    const QString folder = dir.file(QStringLiteral("new"));
    const QString account = folder + QStringLiteral("/Config/FTPauth.ini");
    const FtpAccountAnswer a{QStringLiteral("XY-9"), QStringLiteral("u"), QStringLiteral("p")};
    QString error;
    EXPECT_FALSE(FirstStart::layOut(folder, QString(), a, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(modeOf(folder), 0700u); // made here: the owner's alone
    EXPECT_FALSE(QFileInfo::exists(account));
    EXPECT_FALSE(FirstStart::layOut(folder, Samples, {a.model, a.user, QStringLiteral(" p")}));
    EXPECT_FALSE(QFileInfo::exists(account));

    dir.write(QStringLiteral("new/Config/Sys/sysconfig_XY-9_1.xml"), "mine");
    ASSERT_TRUE(FirstStart::layOut(folder, Samples, a, &error)) << error.toStdString();
    EXPECT_EQ(modeOf(account), 0600u);
    EXPECT_EQ(dir.read(QStringLiteral("new/Config/Sys/sysconfig_XY-9_1.xml")), "mine");
    QFile sample(Samples + QStringLiteral("/Config/User/userconfig_KT-100_1.xml"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    EXPECT_EQ(dir.read(QStringLiteral("new/Config/User/userconfig_XY-9_1.xml")), sample.readAll());
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/Config/Sys/sysconfig_KT-100_1.xml")));
    EXPECT_EQ(dir.read(QStringLiteral("new/FTPTimer.ini")),
              "[FTPTimerSettings]\r\nControlRecvTime=10\r\nDataRecvTime=15\r\n");
    for (const char *sub : {"Data/Dial", "Schedule/Result", "Config/電話帳_XY-9_1.xlt"})
        EXPECT_TRUE(QFileInfo::exists(folder + '/' + QString::fromUtf8(sub))) << sub;
    CTermDatabase reg(folder);
    SystemSettings s;
    EXPECT_TRUE(reg.startUp() && reg.readSystemSettings(s) == 0);
}

TEST(FirstStart, InitCommandArgumentsAndTheAccountFile)
{
    TempDir exe; // the build tree's layout: share/kelmngpc below the executable
    exe.mkdir(QStringLiteral("share"));
    ASSERT_TRUE(QFile::link(Samples, exe.file(QStringLiteral("share/kelmngpc"))));
    TempDir dir;
    const QString init = QStringLiteral("--init-program-folder=") + dir.path();
    std::FILE *err = std::tmpfile();
    const struct {
        QStringList args;
        int status;
    } cases[] = {
        {{QStringLiteral("--init-program-folder=")}, 2},
        {{init, QStringLiteral("--ftp-account=KT-100,kel")}, 2},
        {{init, QStringLiteral("--ftp-account=KT-9,kel,ｶﾅ,w")}, 0},
        {{init, QStringLiteral("--ftp-account=KT-7,other,pw")}, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FirstStart::initCommand(c.args, exe.path(), err), c.status)
            << c.args.join(' ').toStdString();
    std::fclose(err);
    // The first account stays, in Shift_JIS and owner-only; both got samples.
    const QString account = dir.file(QStringLiteral("Config/FTPauth.ini"));
    EXPECT_TRUE(
        dir.read(QStringLiteral("Config/FTPauth.ini")).endsWith("ID=kel\r\nPW=\xb6\xc5,w\r\n"));
    EXPECT_EQ(modeOf(account), 0600u);
    EXPECT_FALSE(ExposedAccountFileMode(account));
    ASSERT_EQ(::chmod(QFile::encodeName(account).constData(), 0640), 0);
    EXPECT_EQ(ExposedAccountFileMode(account), 0640u);
    for (const char *model : {"KT-9", "KT-7"})
        EXPECT_TRUE(
            QFileInfo::exists(dir.file(QString("Config/Sys/sysconfig_%1_1.xml").arg(model))));
}
