// The dialog's logic without its window on a real register: the carry rule,
// starting and ending the wait, and a full range.
#include "InitFixture.h"

#include "initsettings/InitSettingsController.h"
#include "register/TermDatabase.h"

namespace
{

struct Controller : InitFolder {
    std::unique_ptr<CTermDatabase> db;
    CInitialSettingsTable table;
    std::unique_ptr<InitSettingsController> c;

    void SetUp() override
    {
        InitFolder::SetUp();
        ProcessValues::startupAbort = 0;
        ProcessValues::operatorBusy = 1; // the menu command runs
        db = std::make_unique<CTermDatabase>(dir.path());
        ASSERT_TRUE(db->startUp());
        c = std::make_unique<InitSettingsController>(*db, table);
    }
    void TearDown() override { ProcessValues::operatorBusy = 0; }
    void setUp(std::vector<TermItem> ids, const QString &startNo, int range)
    {
        ASSERT_EQ(db->addTerminals(ids), 0);
        ASSERT_EQ(db->writeInitInfo(InitInfo{0, startNo, range}), 0);
        c->open();
    }
    QStringList boxTexts() const { return prompts.texts(); }
};

const QString Refused = "SIPアドレス範囲外、もしくは登録可能なSIPアドレスがありません。";

} // namespace

TEST_F(Controller, TheCarryRuleRefusesAndKeepsTheStoredRange)
{
    setUp({}, "1239950", 49);
    EXPECT_TRUE(c->leaveRange("50"));
    EXPECT_TRUE(c->leaveStartNo("1239951"));
    ASSERT_EQ(prompts.records.size(), 2);
    EXPECT_EQ(std::tuple(prompts.records[0].text, prompts.records[0].caption, prompts.records[0].type),
              std::tuple(Refused, QString("SIPアドレス範囲外"), MsgType::IconWarning));
    EXPECT_EQ(prompts.records[1].type, MsgType::IconError);
    InitInfo stored;
    ASSERT_EQ(db->readInitInfo(stored), 0);
    EXPECT_EQ(std::pair(stored.StartNo, stored.SetRange), std::pair(QString("1239950"), 49));
    EXPECT_EQ(std::pair(c->state().startNo, c->state().range), std::pair(QString("1239950"), QString("49")));
}

TEST_F(Controller, ThreeOfFiveRegisteredWaitWithTwoFreeNumbersUntilEnded)
{
    setUp({{0, "7000", 0}, {0, "7002", 0}, {0, "7004", 0}, {0, "9", 0}}, "7000", 5);
    c->execute();
    ASSERT_TRUE(c->waiting());
    EXPECT_EQ(table.freeCount(), 2);
    EXPECT_FALSE(c->canClose());
    EXPECT_EQ(ProcessValues::operatorBusy.load() & 1, 0u) << "new terminals are not told busy";
    EXPECT_TRUE(log().contains("Ope21:初期設定実行"));
    EXPECT_EQ(table.assign(), QString("7001"));

    c->end();
    EXPECT_FALSE(c->waiting());
    EXPECT_TRUE(table.usedNumbers().empty());
    EXPECT_EQ(ProcessValues::operatorBusy.load() & 1, 1u);
    EXPECT_TRUE(log().contains("Ope22:初期設定終了"));
}

TEST_F(Controller, AFullRangeDoesNotStartAndEndsTheWait)
{
    setUp({{0, "7000", 0}}, "7000", 1);
    c->execute();
    EXPECT_FALSE(c->waiting());
    EXPECT_EQ(boxTexts(), QStringList{Refused});
    EXPECT_TRUE(log().contains("Err11:SIPアドレス設定範囲空きなし"));

    ASSERT_TRUE(c->leaveRange("2"));
    c->execute();
    ASSERT_TRUE(c->waiting());
    EXPECT_EQ(table.assign(), QString("7001"));
    c->refresh();
    EXPECT_TRUE(c->waiting()) << "7001 has not registered yet";
    std::vector<TermItem> arrived{{0, "7001", 0}};
    ASSERT_EQ(db->addTerminals(arrived), 0);
    c->refresh();
    EXPECT_FALSE(c->waiting());
    EXPECT_EQ(boxTexts(), (QStringList{Refused, Refused}));
    EXPECT_TRUE(c->state().executeEnabled && c->state().closeEnabled && c->state().fieldsEnabled);
}
