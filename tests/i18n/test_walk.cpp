// Walks every window, dialog, menu and message box of the program in each
// language: the Japanese texts are those of before the English interface
// came, the English ones hold no Japanese but data, and in both every text
// is readable on a 1366x768 screen and every input has a name.
#include "ProgramWalk.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

const QString Before = QStringLiteral(KEL_SOURCE_DIR "/tests/i18n/walk_ja.txt");
// Texts the Japanese interface shows beyond those of before (new windows and
// menu items); KEL_WALK_WRITE=1 rewrites this list, never the one of before.
const QString Since = QStringLiteral(KEL_SOURCE_DIR "/tests/i18n/walk_ja_new.txt");

QString joined(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n'));
}

class Walk : public ::testing::Test
{
protected:
    // The user's saved language stays out of the walks.
    void SetUp() override { qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit()); }
    QTemporaryDir config;
};

} // namespace

TEST_F(Walk, JapaneseShowsTheTextsOfBefore)
{
    ProgramWalk walk({QStringLiteral("--lang=ja")});
    ASSERT_TRUE(walk.run());
    const QStringList now = walk.texts.lines();
    QStringList before;
    for (const QString &l : ReadLines(Before))
        before << NormalisedLine(l);
    QStringList lost, added;
    for (const QString &l : before)
        if (!now.contains(l))
            lost << l;
    for (const QString &l : now)
        if (!before.contains(l))
            added << l;
    if (qEnvironmentVariableIsSet("KEL_WALK_WRITE"))
        WriteLines(Since, added);
    EXPECT_TRUE(lost.isEmpty()) << "changed or gone:\n" << joined(lost).toStdString();
    EXPECT_TRUE(added == ReadLines(Since)) << "new:\n" << joined(added).toStdString();
    EXPECT_TRUE(walk.texts.problems().isEmpty()) << joined(walk.texts.problems()).toStdString();
}

TEST_F(Walk, EnglishShowsNoJapaneseButData)
{
    ProgramWalk walk({QStringLiteral("--lang=en")});
    ASSERT_TRUE(walk.run());
    // Data keeps its language: the settings descriptions' texts, and the
    // language menu's "日本語", a language under its own name.
    QStringList data = walk.dataTexts();
    data << QStringLiteral("日本語");
    QStringList japanese;
    for (const QString &line : walk.texts.lines()) {
        QString rest = line.section(QLatin1Char('\t'), 1);
        for (const QString &d : data)
            rest.remove(d);
        if (HasJapanese(rest))
            japanese << line;
    }
    EXPECT_TRUE(japanese.isEmpty()) << joined(japanese).toStdString();
    // Every window the Japanese walk saw, the English one saw too.
    QSet<QString> kinds;
    for (const QString &l : ReadLines(Before))
        kinds.insert(l.section(QLatin1Char('\t'), 0, 0));
    EXPECT_TRUE(walk.texts.windowKinds().contains(kinds));
    EXPECT_TRUE(walk.texts.problems().isEmpty()) << joined(walk.texts.problems()).toStdString();
}
