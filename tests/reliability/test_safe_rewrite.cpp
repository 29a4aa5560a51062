// Rewrites killed or refused at each step: the old file or the new one,
// never half, never a changed mode.
#include "ProgramRunner.h"

#include "common/IniFile.h"
#include "common/SafeFile.h"

#include "support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using SafeFile::Step;

TEST(SafeRewrite, RefusedOrKilledAtEveryStepLeavesTheOldFileOrTheNew)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("FTPTimer.ini"));
    const QByteArray oldIni = "[FTPTimerSettings]\r\nText=old\r\n";
    const auto leftovers = [&] { return QDir(dir.path()).entryList({"*.~new"}, QDir::Files | QDir::Hidden); };
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
            EXPECT_EQ(leftovers(), QStringList());
        }
        ProgramRunner writer;
        writer.start({KEL_CHILD, "kill-at", QString::number(int(step)), path, "new"});
        EXPECT_EQ(writer.finish(), -1) << "killed: " << writer.stderrText().toStdString();
        EXPECT_EQ(dir.read(QStringLiteral("FTPTimer.ini")),
                  step == Step::SyncFolder ? QByteArray(oldIni).replace("old", "new") : oldIni);
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        // The next write goes through and takes the leftover with it.
        EXPECT_TRUE(IniWriteString(path, "FTPTimerSettings", "Text", "again"));
        EXPECT_EQ(leftovers(), QStringList());
    }
}
