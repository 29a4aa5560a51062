// The list window's add killed halfway: a sound register of whole steps, at
// least those shown (the delete is killed in the full-disk run).
#include "Site.h"

#include "register/TermDatabase.h"
#include "termlist/ProgressTexts.h"

#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

TEST(KilledCommand, AddHalfwayLeavesWholeStepsAndASoundRegister)
{
    TempDir dir;
    Site::addRows(dir.path(), 0, 0);
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
