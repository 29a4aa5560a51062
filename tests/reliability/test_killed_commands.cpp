// The list window's add and delete killed halfway: a sound register of whole
// steps, at least those shown; no files go while their row stays.
#include "Site.h"

#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/ProgressTexts.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace
{

// The progress a "P <operation> <done>" line shows for the operation, else -1.
int progressOf(const QByteArray &line, int operation)
{
    const QList<QByteArray> f = line.split(' ');
    return f.size() == 3 && f[0] == "P" && f[1].toInt() == operation ? f[2].toInt() : -1;
}

const QStringList TerminalFiles{"Data/Sys/kel_sys%1.ini", "Data/User/kel_user%1.ini",
                                "Data/Dial/kel_dial%1.csv"};

} // namespace

TEST(KilledCommand, AddHalfwayLeavesWholeStepsAndASoundRegister)
{
    TempDir dir;
    {
        ScriptedPrompter prompter;
        CTermDatabase db(dir.path());
        ASSERT_TRUE(db.startUp());
    }
    const int total = 20000, step = ProgressStep(total);
    ProgramRunner add;
    add.start({KEL_CHILD, "view-add", dir.path(), "500000", QString::number(total)});
    ASSERT_TRUE(add.waitLine([&](const QByteArray &l) {
        return progressOf(l, ProgressOp::AddTerminals) >= total / 4;
    })) << add.lastLine().toStdString()
        << add.stderrText().toStdString();
    add.kill();
    const int shown = progressOf(add.lastLine(), ProgressOp::AddTerminals);

    const Site::Register s = Site::readRegister(dir.path());
    EXPECT_EQ(s.integrity, QStringLiteral("ok"));
    const QStringList ids = s.rows.keys(); // in text order, numeric order here
    const int k = s.count;
    EXPECT_GE(k, shown) << "a step the window showed was lost";
    EXPECT_LT(k, total) << "not killed halfway: make the pass longer";
    EXPECT_EQ(k % step, 0) << "half a step is in the register";
    for (int i = 0; i < k; ++i)
        ASSERT_EQ(ids.value(i), QString::number(500000 + i)) << "the steps are the first ones";

    // The next start compacts and opens the register left behind.
    ScriptedPrompter prompter;
    CTermDatabase db(dir.path());
    EXPECT_TRUE(db.startUp());
    EXPECT_TRUE(prompter.records.isEmpty());
}

TEST(KilledCommand, DeleteHalfwayNeverTakesTheFilesOfARowThatStays)
{
    TempDir dir;
    const int total = 600;
    {
        ScriptedPrompter prompter;
        CTermDatabase db(dir.path());
        ASSERT_TRUE(db.startUp());
        std::vector<TermItem> items;
        for (int i = 0; i < total; ++i)
            items.push_back(TermItem{0, QString::number(700000 + i), 0});
        ASSERT_EQ(db.addTerminals(items), 0);
    }
    for (const char *sub : {"Data/Sys", "Data/User", "Data/Dial"})
        dir.mkdir(QLatin1String(sub));
    for (int i = 0; i < total; ++i)
        for (const QString &f : TerminalFiles) {
            QFile file(dir.file(f.arg(700000 + i)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }

    const auto check = [&](const char *when) {
        SCOPED_TRACE(when);
        const Site::Register s = Site::readRegister(dir.path());
        EXPECT_EQ(s.integrity, QStringLiteral("ok"));
        int filesGone = 0;
        QStringList wronglyGone;
        for (int i = 0; i < total; ++i) {
            const QString id = QString::number(700000 + i);
            const bool rowStays = s.rows.contains(id);
            for (const QString &f : TerminalFiles) {
                const bool gone = !QFile::exists(dir.file(f.arg(id)));
                filesGone += gone;
                if (gone && rowStays)
                    wronglyGone << f.arg(id);
            }
        }
        EXPECT_TRUE(wronglyGone.isEmpty())
            << "files of rows that stay: " << wronglyGone.join(' ').toStdString();
        return std::pair<int, int>(s.count, filesGone);
    };

    // Killed while the rows go: whole steps went, no file yet.
    ProgramRunner first;
    first.start({KEL_CHILD, "view-delete", dir.path()});
    ASSERT_TRUE(first.waitLine([&](const QByteArray &l) {
        return progressOf(l, ProgressOp::DeleteTerminals) >= total / 4;
    })) << first.stderrText().toStdString();
    first.kill();
    const int shown = progressOf(first.lastLine(), ProgressOp::DeleteTerminals);
    const auto [left, filesGone] = check("rows");
    const int remaining = left;
    EXPECT_LE(left, total - shown);
    EXPECT_GT(left, 0) << "not killed halfway";
    EXPECT_EQ((total - left) % ProgressStep(total), 0);
    EXPECT_EQ(filesGone, 0);

    // Again on what is left, killed while the files go.
    ProgramRunner second;
    second.start({KEL_CHILD, "view-delete", dir.path()});
    ASSERT_TRUE(second.waitLine([&](const QByteArray &l) {
        return progressOf(l, ProgressOp::DeleteFiles) >= remaining / 4;
    })) << second.stderrText().toStdString();
    second.kill();
    const auto [after, gone] = check("files");
    EXPECT_EQ(after, 0);
    EXPECT_GT(gone, 0);
}
