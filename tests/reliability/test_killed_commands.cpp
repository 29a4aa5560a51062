// The list window's add and delete killed halfway: a sound register of whole
// steps, at least those shown; no files go while their row stays.
#include "Site.h"

#include "register/TermDatabase.h"
#include "termlist/ProgressTexts.h"

#include "support/ScriptedPrompter.h"

#include <QFile>
#include <gtest/gtest.h>

namespace
{

// Runs a role of the child, kills it once its progress window shows at least
// `atLeast` for the operation, and answers what it showed last.
int killedAt(const QStringList &role, int operation, int atLeast)
{
    const auto progress = [operation](const QByteArray &line) {
        const QList<QByteArray> f = line.split(' ');
        return f.size() == 3 && f[0] == "P" && f[1].toInt() == operation ? f[2].toInt() : -1;
    };
    ProgramRunner child;
    child.start(QStringList{KEL_CHILD} + role);
    EXPECT_TRUE(child.waitLine([&](const QByteArray &l) { return progress(l) >= atLeast; }))
        << child.lastLine().toStdString() << child.stderrText().toStdString();
    child.kill();
    return progress(child.lastLine());
}

void makeRegister(const QString &folder, int first, int count)
{
    ScriptedPrompter prompter;
    CTermDatabase db(folder);
    ASSERT_TRUE(db.startUp());
    std::vector<TermItem> items;
    for (int i = 0; i < count; ++i)
        items.push_back(TermItem{0, QString::number(first + i), 0});
    ASSERT_EQ(db.addTerminals(items), 0);
}

} // namespace

TEST(KilledCommand, AddHalfwayLeavesWholeStepsAndASoundRegister)
{
    TempDir dir;
    makeRegister(dir.path(), 0, 0);
    const int total = 20000;
    const int shown = killedAt({"view-add", dir.path(), "500000", QString::number(total)},
                               ProgressOp::AddTerminals, total / 4);
    const Site::Register s = Site::readRegister(dir.path());
    EXPECT_EQ(s.integrity, QStringLiteral("ok"));
    const int k = s.count;
    ASSERT_GT(k, 0);
    EXPECT_GE(k, shown) << "a step the window showed was lost";
    EXPECT_LT(k, total) << "not killed halfway: make the pass longer";
    EXPECT_EQ(k % ProgressStep(total), 0) << "half a step is in the register";
    EXPECT_EQ(s.rows.lastKey(), QString::number(500000 + k - 1)) << "the steps are the first ones";
    // The next start compacts and opens the register left behind.
    ScriptedPrompter prompter;
    EXPECT_TRUE(CTermDatabase(dir.path()).startUp());
    EXPECT_TRUE(prompter.records.isEmpty());
}

TEST(KilledCommand, DeleteHalfwayNeverTakesTheFilesOfARowThatStays)
{
    TempDir dir;
    const int total = 600;
    makeRegister(dir.path(), 700000, total);
    const QStringList files{"Data/Sys/kel_sys%1.ini", "Data/User/kel_user%1.ini",
                            "Data/Dial/kel_dial%1.csv"};
    for (int i = 0; i < total; ++i)
        for (const QString &f : files)
            dir.write(f.arg(700000 + i), "");
    // Answers the rows left and the files gone.
    const auto check = [&] {
        const Site::Register s = Site::readRegister(dir.path());
        EXPECT_EQ(s.integrity, QStringLiteral("ok"));
        int filesGone = 0;
        QStringList wronglyGone;
        for (int i = 0; i < total; ++i)
            for (const QString &f : files) {
                const QString id = QString::number(700000 + i);
                const bool gone = !QFile::exists(dir.file(f.arg(id)));
                filesGone += gone;
                if (gone && s.rows.contains(id))
                    wronglyGone << f.arg(id);
            }
        EXPECT_EQ(wronglyGone, QStringList()) << "files of rows that stay";
        return std::pair(s.count, filesGone);
    };
    // Killed while the rows go: whole steps went, no file yet.
    const int shown = killedAt({"view-delete", dir.path()}, ProgressOp::DeleteTerminals, total / 4);
    const auto [left, filesGone] = check();
    EXPECT_LE(left, total - shown);
    EXPECT_GT(left, 0) << "not killed halfway";
    EXPECT_EQ((total - left) % ProgressStep(total), 0);
    EXPECT_EQ(filesGone, 0);
    // Again on what is left, killed while the files go.
    killedAt({"view-delete", dir.path()}, ProgressOp::DeleteFiles, left / 4);
    const auto [after, gone] = check();
    EXPECT_EQ(after, 0);
    EXPECT_GT(gone, 0);
}
