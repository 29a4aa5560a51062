// Walks every window, dialog, menu and message box of the program and
// compares what it shows with the Japanese texts of before.
#include "ProgramWalk.h"

#include <gtest/gtest.h>

namespace
{
const QString JapaneseList = QStringLiteral(KEL_SOURCE_DIR "/tests/i18n/walk_ja.txt");
} // namespace

TEST(Walk, JapaneseShowsTheTextsOfBefore)
{
    ProgramWalk walk;
    ASSERT_TRUE(walk.run());
    const QStringList now = walk.texts.lines();
    if (qEnvironmentVariableIsSet("KEL_WALK_WRITE"))
        WriteLines(JapaneseList, now);
    const QStringList before = ReadLines(JapaneseList);
    QStringList lost, added;
    for (const QString &l : before)
        if (!now.contains(l))
            lost << l;
    for (const QString &l : now)
        if (!before.contains(l))
            added << l;
    EXPECT_TRUE(lost.isEmpty()) << lost.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(added.isEmpty()) << added.join(QLatin1Char('\n')).toStdString();
}
