// The dialog's logic without its window: the fields' checks, the stored
// range, the list, starting and ending the wait and the full range.
#include "InitFixture.h"

#include "initsettings/InitSettingsController.h"
#include "register/TermDatabase.h"

#include <QRegularExpression>

namespace
{

using Focus = InitSettingsController::Focus;

const QString Refused = "SIPアドレス範囲外、もしくは登録可能なSIPアドレスがありません。";

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
    void registered(std::initializer_list<const char *> ids)
    {
        std::vector<TermItem> items;
        for (const char *id : ids)
            items.push_back({0, id, 0});
        ASSERT_EQ(db->addTerminals(items), 0);
    }
    void configure(const QString &startNo, int range)
    {
        ASSERT_EQ(db->writeInitInfo(InitInfo{0, startNo, range}), 0);
        c->open();
    }
    InitInfo stored()
    {
        InitInfo info;
        db->readInitInfo(info);
        return info;
    }
};

} // namespace

TEST_F(Controller, UnconfiguredRangeIsTakenFromTheFields)
{
    c->open();
    EXPECT_FALSE(c->state().executeEnabled);
    EXPECT_EQ(c->state().focus, Focus::Close);
    EXPECT_EQ(std::pair(c->state().startNo, c->state().range), std::pair(QString("0"), QString("0")));

    // Unchanged fields check nothing; bad text keeps the focus and the old value.
    EXPECT_TRUE(c->leaveRange("0"));
    EXPECT_FALSE(c->leaveStartNo("12a"));
    EXPECT_EQ(c->state().focus, Focus::StartNo);
    EXPECT_EQ(c->state().startNo, "0");
    EXPECT_FALSE(c->leaveRange("1001"));
    EXPECT_EQ(c->state().focus, Focus::Range);

    // A start number alone is not stored while the range is 0.
    EXPECT_TRUE(c->leaveStartNo("00312340100"));
    EXPECT_EQ(c->state().startNo, "312340100");
    EXPECT_FALSE(c->state().executeEnabled);
    InitInfo none;
    EXPECT_EQ(db->readInitInfo(none), DbAnswer::NoRow);

    EXPECT_TRUE(c->leaveRange("100"));
    EXPECT_TRUE(c->state().executeEnabled);
    EXPECT_EQ(std::pair(stored().StartNo, stored().SetRange), std::pair(QString("312340100"), 100));
    EXPECT_TRUE(prompts.records.isEmpty());
}

TEST_F(Controller, TheCarryRuleRefusesWithItsMessage)
{
    configure("1239950", 49);
    EXPECT_TRUE(c->leaveRange("50"));
    ASSERT_EQ(prompts.records.size(), 1);
    EXPECT_EQ(prompts.records[0].text, Refused);
    EXPECT_EQ(prompts.records[0].caption, "SIPアドレス範囲外");
    EXPECT_EQ(prompts.records[0].type, MsgType::IconWarning);
    EXPECT_EQ(c->state().range, "49");
    EXPECT_EQ(stored().SetRange, 49);

    EXPECT_TRUE(c->leaveStartNo("1239951"));
    EXPECT_EQ(prompts.records.at(1).type, MsgType::IconError);
    EXPECT_EQ(c->state().startNo, "1239950");
    EXPECT_TRUE(c->leaveStartNo("1239900"));
    EXPECT_EQ(stored().StartNo, "1239900");
}

TEST_F(Controller, ListShowsTheRangesRegisteredIdsWithTheirCount)
{
    registered({"312340100", "312340150", "312340199", "312340200", "312340099", "412340150",
                "abc"});
    configure("312340100", 100);
    EXPECT_EQ(c->state().ids, (QStringList{"312340199", "312340150", "312340100"}));
    EXPECT_EQ(c->countText(), "3件");
}

TEST_F(Controller, ExecuteWaitsWithTheFreeNumbersAndEndClearsThem)
{
    registered({"7000", "7002", "7004", "9"});
    configure("7000", 5);
    c->execute();
    ASSERT_TRUE(c->waiting());
    EXPECT_EQ(table.freeCount(), 2);
    EXPECT_EQ(table.terminalCount(), 4);
    const auto &s = c->state();
    EXPECT_TRUE(s.endEnabled);
    EXPECT_FALSE(s.executeEnabled || s.closeEnabled || s.fieldsEnabled);
    EXPECT_EQ(s.focus, Focus::End);
    EXPECT_FALSE(c->canClose());
    EXPECT_EQ(ProcessValues::operatorBusy.load() & 1, 0u) << "new terminals are not told busy";
    EXPECT_TRUE(log().contains("Ope21:初期設定実行"));
    EXPECT_EQ(table.assign(), QString("7001"));

    c->end();
    EXPECT_FALSE(c->waiting());
    EXPECT_EQ(table.freeCount(), 0);
    EXPECT_TRUE(table.usedNumbers().empty());
    EXPECT_TRUE(c->state().executeEnabled && c->state().closeEnabled && c->state().fieldsEnabled);
    EXPECT_EQ(c->state().focus, Focus::Execute);
    EXPECT_EQ(ProcessValues::operatorBusy.load() & 1, 1u);
    EXPECT_TRUE(log().contains("Ope22:初期設定終了"));
}

TEST_F(Controller, AFullRangeRefusesToStartAndEndsTheWait)
{
    registered({"7000", "7001"});
    configure("7000", 2);
    c->execute();
    EXPECT_FALSE(c->waiting());
    ASSERT_EQ(prompts.records.size(), 1);
    EXPECT_EQ(prompts.records[0].text, Refused);
    EXPECT_TRUE(log().contains("Err11:SIPアドレス設定範囲空きなし"));
    EXPECT_EQ(ProcessValues::operatorBusy.load() & 1, 1u);

    // Waiting with one free number; the terminal that took it registers.
    configure("7000", 3);
    c->execute();
    ASSERT_TRUE(c->waiting());
    EXPECT_EQ(table.assign(), QString("7002"));
    c->refresh();
    EXPECT_TRUE(c->waiting()) << "7002 is not in the register yet";
    registered({"7002"});
    c->refresh();
    EXPECT_FALSE(c->waiting());
    EXPECT_EQ(prompts.records.size(), 2);
    EXPECT_EQ(c->state().ids.size(), 3);
    EXPECT_TRUE(c->state().executeEnabled && c->state().closeEnabled);
    EXPECT_FALSE(log().contains("Ope22")) << "only 終了 writes the end line";
}
