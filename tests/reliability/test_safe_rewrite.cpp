// Rewrites killed or refused at each step, and the register's compaction:
// the old file or the new one, never half, never a changed mode or owner.
#include "ProgramRunner.h"

#include "common/IniFile.h"
#include "common/SafeFile.h"
#include "register/TermDatabase.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QDir>
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
    return QDir(dir.path()).entryList({"*.~new", "_Comp_*"}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST(SafeRewrite, RefusedOrKilledAtEveryStepLeavesTheOldFileOrTheNew)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("FTPTimer.ini"));
    const QByteArray oldIni = "[FTPTimerSettings]\r\nText=old\r\n";
    for (Step step : {Step::Write, Step::Owner, Step::Sync, Step::Rename, Step::SyncFolder}) {
        SCOPED_TRACE(int(step));
        dir.write(QStringLiteral("FTPTimer.ini"), oldIni);
        ::chmod(QFile::encodeName(path).constData(), 0640);
        if (step != Step::SyncFolder) { // refused: reported, the old file, no temporary
            SafeFile::setStepHook([step](Step s, const QString &) { return s != step; });
            IniFile ini(path);
            ASSERT_TRUE(ini.load());
            ini.writeString("FTPTimerSettings", "Text", "new");
            EXPECT_FALSE(ini.save());
            EXPECT_FALSE(ini.errorString().isEmpty());
            SafeFile::setStepHook({});
            EXPECT_EQ(dir.read(QStringLiteral("FTPTimer.ini")), oldIni);
            EXPECT_EQ(leftovers(dir), QStringList());
        }
        ProgramRunner writer;
        writer.start({KEL_CHILD, "kill-at", QString::number(int(step)), path, "new"});
        EXPECT_EQ(writer.finish(), -1) << "killed: " << writer.stderrText().toStdString();
        EXPECT_EQ(dir.read(QStringLiteral("FTPTimer.ini")),
                  step == Step::SyncFolder ? QByteArray(oldIni).replace("old", "new") : oldIni);
        EXPECT_EQ(statOf(path).st_mode & 07777, 0640u);
        // The next write goes through and takes the leftover with it.
        EXPECT_TRUE(IniWriteString(path, "FTPTimerSettings", "Text", "again"));
        EXPECT_EQ(leftovers(dir), QStringList());
    }
}

// Started by root (sudo), the compacted copy takes the register's place with
// its owner and mode; started by a second administrator's account on the
// shared folder, the register is left uncompacted to its owner.
TEST(Compaction, ASudoStartKeepsTheRegistersModeAndOwnerAndSyncsTheCopy)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the register to another user";
    for (const bool sudo : {true, false}) {
        SCOPED_TRACE(sudo ? "sudo" : "another account");
        TempDir dir;
        {
            // A register with free pages for the compaction to drop.
            ScriptedPrompter prompter;
            CTermDatabase db(dir.path());
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
        }
        const QString db = dir.file(QLatin1String(CTermDatabase::FileName));
        const QByteArray name = QFile::encodeName(db);
        const unsigned mode = sudo ? 0640 : 0666;
        ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
        ASSERT_EQ(::chown(name.constData(), 12345, sudo ? 12346 : 12345), 0);
        ASSERT_EQ(::chmod(name.constData(), mode), 0);
        const struct stat before = statOf(db);
        ProgramRunner start;
        start.start(sudo ? QStringList{KEL_CHILD, "compact", dir.path()}
                         : QStringList{"setpriv", "--reuid=23456", "--regid=23456",
                                       "--clear-groups", KEL_CHILD, "compact", dir.path()});
        EXPECT_EQ(start.finish(), 0) << start.stderrText().toStdString();
        const struct stat after = statOf(db);
        EXPECT_EQ(after.st_ino != before.st_ino, sudo) << "the compacted copy took its place";
        EXPECT_EQ(after.st_size < before.st_size, sudo);
        EXPECT_EQ(std::tuple(after.st_uid, after.st_gid, after.st_mode & 07777),
                  std::tuple(12345u, sudo ? 12346u : 12345u, mode));
        EXPECT_EQ(leftovers(dir), QStringList());
    }
}
