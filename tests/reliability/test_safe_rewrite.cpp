// Rewrites killed or refused at each step, and the register's compaction:
// the old file or the new one, never half, never a changed mode or owner.
#include "ProgramRunner.h"

#include "common/IniFile.h"
#include "common/SafeFile.h"
#include "register/TermDatabase.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using SafeFile::Step;

namespace
{

struct stat statOf(const QString &path)
{
    struct stat st {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

QStringList leftovers(const TempDir &dir)
{
    return QDir(dir.path())
        .entryList({QStringLiteral("*.~new"), QStringLiteral("_Comp_*")},
                   QDir::Files | QDir::Hidden);
}

const QByteArray OldIni = "[FTPTimerSettings]\r\nText=old\r\n";
const QByteArray NewIni = "[FTPTimerSettings]\r\nText=new\r\n";

} // namespace

TEST(SafeRewrite, RefusedOrKilledAtEveryStepLeavesTheOldFileOrTheNew)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("FTPTimer.ini"));
    for (Step step : {Step::Write, Step::Owner, Step::Sync, Step::Rename, Step::SyncFolder}) {
        SCOPED_TRACE(int(step));
        dir.write(QStringLiteral("FTPTimer.ini"), OldIni);
        ::chmod(QFile::encodeName(path).constData(), 0640);
        if (step != Step::SyncFolder) { // refused: reported, the old file, no temporary
            SafeFile::setStepHook([step](Step s, const QString &) { return s != step; });
            IniFile ini(path);
            ASSERT_TRUE(ini.load());
            ini.writeString("FTPTimerSettings", "Text", "new");
            EXPECT_FALSE(ini.save());
            EXPECT_FALSE(ini.errorString().isEmpty());
            SafeFile::setStepHook({});
            EXPECT_EQ(dir.read(QStringLiteral("FTPTimer.ini")), OldIni);
            EXPECT_TRUE(leftovers(dir).isEmpty()) << leftovers(dir).join(' ').toStdString();
        }
        ProgramRunner writer;
        writer.start({KEL_CHILD, QStringLiteral("kill-at"), QString::number(int(step)), path,
                      QStringLiteral("new")});
        EXPECT_EQ(writer.finish(), -1) << "killed: " << writer.stderrText().toStdString();
        EXPECT_EQ(dir.read(QStringLiteral("FTPTimer.ini")),
                  step == Step::SyncFolder ? NewIni : OldIni);
        EXPECT_EQ(statOf(path).st_mode & 07777, 0640u);
        // The next write goes through and takes the leftover with it.
        EXPECT_TRUE(IniWriteString(path, "FTPTimerSettings", "Text", "again"));
        EXPECT_TRUE(leftovers(dir).isEmpty()) << leftovers(dir).join(' ').toStdString();
    }
}

namespace
{

// A register with free pages for the compaction to drop; answers its path.
QString makeRegister(const QString &folder)
{
    ScriptedPrompter prompter;
    CTermDatabase db(folder);
    EXPECT_TRUE(db.startUp());
    std::vector<TermItem> items;
    for (int i = 0; i < 3000; ++i)
        items.push_back(TermItem{0, QString::number(100000 + i), 0});
    EXPECT_EQ(db.addTerminals(items), 0);
    std::vector<TermEntry> rows;
    EXPECT_EQ(db.readList(DefaultListCond(), rows), 0);
    std::vector<TermItem> gone;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i)
        gone.push_back(TermItem{rows[i].ID, rows[i].TermID, 0});
    EXPECT_EQ(db.deleteTerminals(gone), 0);
    return folder + QLatin1Char('/') + QLatin1String(CTermDatabase::FileName);
}

} // namespace

TEST(Compaction, ASudoStartKeepsTheRegistersModeAndOwnerAndSyncsTheCopy)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the register to another user";
    TempDir dir;
    const QString db = makeRegister(dir.path());
    const QByteArray name = QFile::encodeName(db);
    ASSERT_EQ(::chown(name.constData(), 12345, 12346), 0);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    const struct stat before = statOf(db);

    {
        ScriptedPrompter prompter;
        CTermDatabase reg(dir.path());
        EXPECT_TRUE(reg.startUp());
        EXPECT_TRUE(prompter.records.isEmpty());
    }
    const struct stat after = statOf(db);
    EXPECT_NE(after.st_ino, before.st_ino) << "the compacted copy took the register's place";
    EXPECT_LT(after.st_size, before.st_size);
    EXPECT_EQ(after.st_uid, 12345u);
    EXPECT_EQ(after.st_gid, 12346u);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_TRUE(leftovers(dir).isEmpty());
}

TEST(Compaction, AnotherAccountLeavesTheRegisterToItsOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to start as another user";
    TempDir dir;
    const QString db = makeRegister(dir.path());
    const QByteArray name = QFile::encodeName(db);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    ASSERT_EQ(::chown(name.constData(), 12345, 12345), 0);
    ASSERT_EQ(::chmod(name.constData(), 0666), 0);
    const struct stat before = statOf(db);

    // A second administrator's account (no root) starts on the shared folder.
    ProgramRunner other;
    other.start({"setpriv", "--reuid=23456", "--regid=23456", "--clear-groups", KEL_CHILD,
                 "compact", dir.path()});
    EXPECT_EQ(other.finish(), 0) << other.stderrText().toStdString();
    const struct stat after = statOf(db);
    EXPECT_EQ(after.st_uid, 12345u) << "the usual user can still open the register";
    EXPECT_EQ(after.st_ino, before.st_ino) << "left uncompacted";
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_TRUE(leftovers(dir).isEmpty());
}
