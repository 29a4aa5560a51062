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

const QString eqOrNe =
    QStringLiteral("条件は ＝(と同じ)か、≠(と違う)のどちらかを指定してください。");
const QString ipEmpty = QStringLiteral("IPアドレスに空白を指定する場合、") + eqOrNe;
const QString ipWild = QStringLiteral("IPアドレス指定に *(ワイルドカード)を使用する場合、") + eqOrNe;
const QString idWild = QStringLiteral("端末ID指定に *(ワイルドカード)を使用する場合、") + eqOrNe;
const QString verEmpty = QStringLiteral("バージョンに空白を指定する場合、") + eqOrNe;
const QString anyWild = QStringLiteral("\n任意の位置にワイルドカード * が指定できます。");
const QString ipSet1 =
    QStringLiteral("IPアドレスは ．で区切った４つの0～255の数字で入力してください。") + anyWild;
const QString ipSet2 =
    QStringLiteral("IPアドレスは . で区切った４つの0～255の数字で入力してください。") + anyWild;
const QString macSet =
    QStringLiteral("MACアドレスは:で区切った６つの１６進数で入力してください（00～FF）。") + anyWild;
const QString yearMsg = QStringLiteral("年は西暦を半角数字４桁で1900以上の数値で入力してください。");
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
        int c1, join;
        const char *v2;
        int c2;
        const QString *msg; // Ok: accepted
        Focus focus = Focus::None;
    };
    const Focus V1 = Focus::Value1, V2 = Focus::Value2;
    const Case cases[] = {
        {Ip, "192.168.*", Eq, 0, "", No, Ok}, {Ip, "192.168.*", Gt, 0, "", No, &ipWild, V1},
        {Ip, "192.168.1.300", Eq, 0, "", No, Ok}, // only the character set counts (stored padded)
        {Ip, "1-*", Lt, 0, "", No, &ipSet1, V1}, // character set before wildcard
        {Ip, "", Ne, 0, "", No, Ok}, {Ip, "", Ge, 0, "", No, &ipEmpty, V1},
        {Ip, "10.*", Eq, 1, "10-1", Eq, &ipSet2, V2}, {Ip, "10.*", Eq, 2, "11.*", Lt, &ipWild, V2},
        {Ip, "10.*", Eq, 1, "1-1", No, Ok}, // join without second condition
        {Ip, "x-y", No, 1, "1.*", Eq, Ok},  // no first condition: released
        {Mac, "00:1a:FF:*", Eq, 0, "", No, Ok}, {Mac, "00-1A", Eq, 0, "", No, &macSet, V1},
        {Id, "12*", Gt, 0, "", No, &idWild, V1}, {Id, "100", Ge, 2, "200", Lt, Ok},
        {App, "1.0*", Gt, 0, "", No, Ok}, // versions have no wildcard rule
        {App, "", Le, 0, "", No, &verEmpty, V1}, {Boot, "", Eq, 0, "", No, Ok},
        {Boot, "1", Ge, 1, "", Lt, &verEmpty, V2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.v1) + " / " + c.v2);
        TextFilterInput in{{c.v1, c.c1}, {c.v2, c.c2}, c.join};
        TextFilter result{"old1", "old2", 4, 4, 2};
        const Check check = applyTextInput(c.kind, in, result);
        EXPECT_EQ(check.ok, c.msg == Ok);
        if (c.msg != Ok) {
            EXPECT_EQ(std::tuple(check.message, check.focus), std::tuple(*c.msg, c.focus));
            EXPECT_EQ(result, TextFilter{}); // nothing half-checked survives
            continue;
        }
        // Addresses come back in the register's zero-padded form.
        const auto stored = [](const char *v) {
            const QString s = QString::fromUtf8(v);
            return s == "192.168.1.300" ? "192.168.001.300" : s == "10.*" ? "010.*" : s;
        };
        TextFilter expected;
        if (c.c1 >= 0) {
            const bool second = c.join != 0 && c.c2 >= 0;
            expected = {stored(c.v1), second ? stored(c.v2) : "", c.c1 + 1, second ? c.c2 + 1 : 0,
                        second ? c.join : 0};
        }
        EXPECT_EQ(result, expected);
    }
}

TEST(FilterDateInput, ValidationTable)
{
    // Dates as "year/month/day" of the year, month and day fields.
    struct Case {
        const char *date1;
        int join;
        const char *date2;
        int c2;
        const QString *msg;
        Focus focus = Focus::None;
    };
    using F = Focus;
    const Case cases[] = {
        {"2016/2/29", 0, "", No, Ok}, {"2015/2/29", 0, "", No, &dateMsg, F::Day1},
        {"1899/12/31", 0, "", No, &yearMsg, F::Year1}, {"1900/1/1", 0, "", No, Ok},
        {"２０１６/1/1", 0, "", No, &yearMsg, F::Year1}, {"2016/0/1", 0, "", No, &monthMsg, F::Month1},
        {"2016/13/1", 0, "", No, &monthMsg, F::Month1}, {"2016//1", 0, "", No, &monthMsg, F::Month1},
        {"2016/1/00", 0, "", No, &dayMsg, F::Day1}, {"2016/1/32", 0, "", No, &dayMsg, F::Day1},
        {"2016/1/1", 2, "2016/12/31", Lt, Ok},
        {"2016/1/1", 1, "1000/1/1", Lt, &yearMsg, F::Year2},
        {"2016/1/1", 1, "2016/x/1", Lt, &monthMsg, F::Month2},
        {"2016/1/1", 2, "2017/2/29", Lt, &dateMsg, F::Day2},
        {"2016/1/1", 0, "bad", Lt, Ok}, {"2016/1/1", 1, "bad", No, Ok}, // second ignored
    };
    const auto fields = [](const char *date, int combo) {
        QStringList p = QString::fromUtf8(date).split('/');
        while (p.size() < 3)
            p << QString();
        return DateClauseInput{p[0], p[1], p[2], combo};
    };
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5));
    const auto midnight = [](const char *date) {
        const QStringList p = QString::fromUtf8(date).split('/');
        return QDateTime(QDate(p[0].toInt(), p[1].toInt(), p[2].toInt()), QTime(0, 0));
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.date1) + " " + c.date2);
        DateFilter result{old, old, 1, 1, 1};
        const Check check =
            applyDateInput({fields(c.date1, Ge), fields(c.date2, c.c2), c.join}, result);
        EXPECT_EQ(check.ok, c.msg == Ok);
        if (c.msg != Ok) {
            EXPECT_EQ(std::tuple(check.message, check.focus), std::tuple(*c.msg, c.focus));
            EXPECT_EQ(result.cnd1 + result.cnd2 + result.join, 0);
            continue;
        }
        const bool second = c.join != 0 && c.c2 >= 0;
        EXPECT_EQ(result, (DateFilter{midnight(c.date1), second ? midnight(c.date2) : old, Ge + 1,
                                      second ? c.c2 + 1 : 0, second ? c.join : 0}));
    }
    // No first condition: released, but the stored dates stay.
    DateFilter result{old, old, 3, 2, 1};
    EXPECT_TRUE(applyDateInput({{"bad", "", "", No}, {}, 0}, result).ok);
    EXPECT_EQ(result, (DateFilter{old, old, 0, 0, 0}));
}

TEST(FilterColumns, EachDialogOwnsItsColumnFieldsOnly)
{
    // Distinct values per column: a field mapped to another column shows.
    ListCondInfo cond;
    const TextKind kinds[] = {Id, Ip, Mac, App, Boot};
    const auto filterOf = [](int i) {
        return TextFilter{QString("a%1").arg(i), QString("b%1").arg(i), i + 1, i + 2, i % 2 + 1};
    };
    for (int i = 0; i < 5; ++i)
        storeTextFilter(cond, kinds[i], filterOf(i));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(textFilterOf(cond, kinds[i]), filterOf(i)) << i;
    EXPECT_EQ(std::tuple(cond.FInfoMACAddr2, cond.FJoinApVer, cond.FCndBtVer1),
              std::tuple(QString("b2"), 2, 5));
}
