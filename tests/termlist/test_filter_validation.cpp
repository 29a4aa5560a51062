// The checks behind the column filter dialogs: character sets, empty values,
// wildcards, dates, second clauses, and the fields each column owns in the
// list condition.
#include "termlist/FilterValidation.h"

#include <gtest/gtest.h>

using namespace ListFilter;

namespace
{

// Combo indexes of the six-way conditions (code = index + 1); -1 no item.
constexpr int Gt = 0, Ge = 1, Eq = 2, Le = 3, Lt = 4, Ne = 5, No = -1;
constexpr TextKind Id = TextKind::TermId, Ip = TextKind::IpAddr, Mac = TextKind::MacAddr,
                   App = TextKind::AppVer, Boot = TextKind::BootVer;

const QString ipSet1 =
    QStringLiteral("IPアドレスは ．で区切った４つの0～255の数字で入力してください。"
                   "\n任意の位置にワイルドカード * が指定できます。");
const QString ipSet2 =
    QStringLiteral("IPアドレスは . で区切った４つの0～255の数字で入力してください。"
                   "\n任意の位置にワイルドカード * が指定できます。");
const QString ipEmpty =
    QStringLiteral("IPアドレスに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)"
                   "のどちらかを指定してください。");
const QString ipWild =
    QStringLiteral("IPアドレス指定に *(ワイルドカード)を使用する場合、条件は ＝(と"
                   "同じ)か、≠(と違う)のどちらかを指定してください。");
const QString macSet =
    QStringLiteral("MACアドレスは:で区切った６つの１６進数で入力してください（00～F"
                   "F）。\n任意の位置にワイルドカード * が指定できます。");
const QString macEmpty =
    QStringLiteral("MACアドレスに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う"
                   ")のどちらかを指定してください。");
const QString macWild =
    QStringLiteral("MACアドレス指定に *(ワイルドカード)を使用する場合、条件は ＝(と"
                   "同じ)か、≠(と違う)のどちらかを指定してください。");
const QString idEmpty =
    QStringLiteral("端末IDに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のど"
                   "ちらかを指定してください。");
const QString idWild =
    QStringLiteral("端末ID指定に *(ワイルドカード)を使用する場合、条件は ＝(と同じ)"
                   "か、≠(と違う)のどちらかを指定してください。");
const QString verEmpty =
    QStringLiteral("バージョンに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)"
                   "のどちらかを指定してください。");
const QString yearMsg =
    QStringLiteral("年は西暦を半角数字４桁で1900以上の数値で入力してください。");
const QString monthMsg = QStringLiteral("月は半角数字２桁以内で１～１２の範囲で入力してください。");
const QString dayMsg = QStringLiteral("日は半角数字２桁以内で１～３１の範囲で入力してください。");
const QString dateMsg = QStringLiteral("日付が不正です。正しい日付を入力してください。");

const QString *const Ok = nullptr;

} // namespace

TEST(FilterTextInput, ValidationTable)
{
    struct Case {
        TextKind kind;
        const char *v1;
        int c1;
        int join;
        const char *v2;
        int c2;
        const QString *msg; // Ok: accepted
        Focus focus = Focus::None;
    };
    const Focus V1 = Focus::Value1, V2 = Focus::Value2;
    const Case cases[] = {
        {Ip, "192.168.*", Eq, 0, "", No, Ok},
        {Ip, "192.168.*", Gt, 0, "", No, &ipWild, V1},
        {Ip, "192.168.1.300", Eq, 0, "", No, Ok}, // only the character set counts
        {Ip, "192-168", Eq, 0, "", No, &ipSet1, V1},
        {Ip, "1-*", Lt, 0, "", No, &ipSet1, V1}, // character set before wildcard
        {Ip, "", Ne, 0, "", No, Ok},
        {Ip, "", Ge, 0, "", No, &ipEmpty, V1},
        {Ip, "10.*", Eq, 1, "10-1", Eq, &ipSet2, V2},
        {Ip, "10.*", Eq, 2, "11.*", Lt, &ipWild, V2},
        {Ip, "10.*", Eq, 2, "", Gt, &ipEmpty, V2},
        {Ip, "10.*", Eq, 1, "1-1", No, Ok}, // join without second condition
        {Ip, "x-y", No, 1, "1.*", Eq, Ok},  // no first condition: released
        {Mac, "00:1a:FF:*", Eq, 0, "", No, Ok},
        {Mac, "00-1A", Eq, 0, "", No, &macSet, V1},
        {Mac, "", Gt, 0, "", No, &macEmpty, V1},
        {Mac, "00:*", Le, 0, "", No, &macWild, V1},
        {Mac, "00:*", Eq, 1, "zz", Eq, &macSet, V2},
        {Mac, "00:*", Eq, 0, "zz", Gt, Ok}, // second condition without join
        {Id, "12*", Eq, 0, "", No, Ok},
        {Id, "12*", Gt, 0, "", No, &idWild, V1},
        {Id, "", Lt, 0, "", No, &idEmpty, V1},
        {Id, "100", Ge, 2, "9*", Le, &idWild, V2},
        {Id, "100", Ge, 2, "200", Lt, Ok},
        {App, "1.0*", Gt, 0, "", No, Ok}, // versions have no wildcard rule
        {App, "", Le, 0, "", No, &verEmpty, V1},
        {Boot, "", Eq, 0, "", No, Ok},
        {Boot, "1", Ge, 1, "", Lt, &verEmpty, V2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.v1) + " / " + c.v2);
        TextFilterInput in{{c.v1, c.c1}, {c.v2, c.c2}, c.join};
        TextFilter result{"old1", "old2", 4, 4, 2};
        const Check check = applyTextInput(c.kind, in, result);
        EXPECT_EQ(check.ok, c.msg == Ok);
        if (c.msg != Ok) {
            EXPECT_EQ(check.message, *c.msg);
            EXPECT_EQ(check.focus, c.focus);
            EXPECT_EQ(result, TextFilter{}); // nothing half-checked survives
            continue;
        }
        TextFilter expected;
        if (c.c1 >= 0) {
            const bool second = c.join != 0 && c.c2 >= 0;
            expected = {c.v1, second ? c.v2 : "", c.c1 + 1, second ? c.c2 + 1 : 0,
                        second ? c.join : 0};
        }
        EXPECT_EQ(result, expected);
    }
}

TEST(FilterDateInput, ValidationTable)
{
    struct Case {
        const char *y1, *m1, *d1;
        int join;
        const char *y2, *m2, *d2;
        int c2;
        const QString *msg;
        Focus focus = Focus::None;
    };
    const Case cases[] = {
        {"2016", "2", "29", 0, "", "", "", No, Ok},
        {"2015", "2", "29", 0, "", "", "", No, &dateMsg, Focus::Day1},
        {"2016", "2", "30", 0, "", "", "", No, &dateMsg, Focus::Day1},
        {"0999", "1", "1", 0, "", "", "", No, &yearMsg, Focus::Year1},
        {"1899", "12", "31", 0, "", "", "", No, &yearMsg, Focus::Year1},
        {"1900", "1", "1", 0, "", "", "", No, Ok},
        {"999", "1", "1", 0, "", "", "", No, &yearMsg, Focus::Year1},
        {"２０１６", "1", "1", 0, "", "", "", No, &yearMsg, Focus::Year1},
        {"2016", "0", "1", 0, "", "", "", No, &monthMsg, Focus::Month1},
        {"2016", "13", "1", 0, "", "", "", No, &monthMsg, Focus::Month1},
        {"2016", "", "1", 0, "", "", "", No, &monthMsg, Focus::Month1},
        {"2016", "1", "00", 0, "", "", "", No, &dayMsg, Focus::Day1},
        {"2016", "1", "32", 0, "", "", "", No, &dayMsg, Focus::Day1},
        {"2016", "02", "09", 0, "", "", "", No, Ok},
        {"2016", "1", "1", 2, "2016", "12", "31", Lt, Ok},
        {"2016", "1", "1", 1, "1000", "1", "1", Lt, &yearMsg, Focus::Year2},
        {"2016", "1", "1", 1, "2016", "x", "1", Lt, &monthMsg, Focus::Month2},
        {"2016", "1", "1", 1, "2016", "1", "99", Lt, &dayMsg, Focus::Day2},
        {"2016", "1", "1", 2, "2017", "2", "29", Lt, &dateMsg, Focus::Day2},
        {"2016", "1", "1", 0, "bad", "", "", Lt, Ok}, // no join: second ignored
        {"2016", "1", "1", 1, "bad", "", "", No, Ok}, // no second condition
    };
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5));
    const auto midnight = [](const char *y, const char *m, const char *d) {
        return QDateTime(QDate(atoi(y), atoi(m), atoi(d)), QTime(0, 0));
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.y1) + "/" + c.m1 + "/" + c.d1 + " " + c.y2 + "/" + c.m2 + "/" +
                     c.d2);
        const DateFilterInput in{{c.y1, c.m1, c.d1, Ge}, {c.y2, c.m2, c.d2, c.c2}, c.join};
        DateFilter result{old, old, 1, 1, 1};
        const Check check = applyDateInput(in, result);
        EXPECT_EQ(check.ok, c.msg == Ok);
        if (c.msg != Ok) {
            EXPECT_EQ(check.message, *c.msg);
            EXPECT_EQ(check.focus, c.focus);
            EXPECT_EQ(result.cnd1 + result.cnd2 + result.join, 0);
            continue;
        }
        const bool second = c.join != 0 && c.c2 >= 0;
        EXPECT_EQ(result,
                  (DateFilter{midnight(c.y1, c.m1, c.d1), second ? midnight(c.y2, c.m2, c.d2) : old,
                              Ge + 1, second ? c.c2 + 1 : 0, second ? c.join : 0}));
    }
}

TEST(FilterDateInput, NoFirstConditionReleasesButKeepsDates)
{
    const QDateTime d(QDate(2010, 5, 6), QTime(0, 0));
    DateFilter result{d, d, 3, 2, 1};
    EXPECT_TRUE(applyDateInput({{"bad", "", "", No}, {}, 0}, result).ok);
    EXPECT_EQ(result, (DateFilter{d, d, 0, 0, 0}));
}

TEST(FilterOpening, ShowsOnlyClausesThatCount)
{
    // First code 0: nothing shown, even with a second clause stored.
    TextFilterInput in = textInputOf({"a", "b", 0, 3, 1});
    EXPECT_EQ(in.first.comboIndex, No);
    EXPECT_TRUE(in.first.text.isEmpty());
    EXPECT_EQ(in.join, 0);
    // Join without a second code: first clause only.
    in = textInputOf({"a", "b", 3, 0, 1});
    EXPECT_EQ(in.first.text, "a");
    EXPECT_EQ(in.join, 0);
    EXPECT_TRUE(in.second.text.isEmpty());
    // A code outside the combo shows no item rather than a wrong one.
    EXPECT_EQ(textInputOf({"a", "", 7, 0, 0}).first.comboIndex, No);
}

TEST(FilterColumns, EachDialogOwnsItsColumnFieldsOnly)
{
    // Distinct values per text column, so a field mapped to the wrong column
    // shows up when reading back.
    ListCondInfo cond;
    const TextKind kinds[] = {Id, Ip, Mac, App, Boot};
    const auto filterOf = [](int i) {
        return TextFilter{QString("a%1").arg(i), QString("b%1").arg(i), i + 1, i + 2, i % 2 + 1};
    };
    for (int i = 0; i < 5; ++i)
        storeTextFilter(cond, kinds[i], filterOf(i));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(textFilterOf(cond, kinds[i]), filterOf(i)) << i;
    EXPECT_EQ(cond.FInfoMACAddr2, "b2");
    EXPECT_EQ(cond.FJoinApVer, 2);
    EXPECT_EQ(cond.FCndBtVer1, 5);

    // A column of another family is ignored rather than written somewhere.
    const QDateTime d(QDate(2016, 2, 29), QTime(0, 0));
    const ListCondInfo before = cond;
    storeDateFilter(cond, ListColumn::Vendor, {d, d, 1, 1, 1});
    storeOneValueFilter(cond, ListColumn::EntryDate, {"x", 1});
    storeCodePairFilter(cond, ListColumn::SipEntry, {1, 1});
    storeRadioCode(cond, ListColumn::Alert, 1);
    EXPECT_EQ(cond, before);
}
