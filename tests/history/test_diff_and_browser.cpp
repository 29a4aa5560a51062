// The side-by-side difference and what the history window lists and compares.
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "common/SafeFile.h"
#include "history/HistoryBrowser.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using LineDiff::KeyChange;
using LineDiff::RowKind;

namespace LineDiff
{
void PrintTo(const KeyChange &c, std::ostream *os)
{
    *os << c.section.toStdString() << '/' << c.key.toStdString() << ':' << int(c.kind);
}
} // namespace LineDiff
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

TEST(LineDiff, ChangedAddedAndRemovedKeysWithTheirSections)
{
    EXPECT_EQ(LineDiff::splitLines("a\r\nb\nc\rd\r\n"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(LineDiff::splitLines("\r\n\r\n"), (QStringList{"", ""}));

    const QStringList left = LineDiff::splitLines(
        "Version=1.00\r\n\r\n[SIP]\r\nSipPort=5060\r\nName=a\r\nMode=1\r\n\r\n[Net]\r\nDhcp=1\r\n");
    const QStringList right = LineDiff::splitLines(
        "Version=1.01\r\n\r\n[SIP]\r\nSipPort=5070\r\nMode=1\r\n\r\n[Net]\r\nDhcp=1\r\nGw=1\r\n");
    const std::vector<LineDiff::Row> rows = LineDiff::compare(left, right, true);
    EXPECT_EQ(LineDiff::changedKeys(rows),
              (std::vector<KeyChange>{{"Version", "Version", RowKind::Changed},
                                      {"SIP", "SipPort", RowKind::Changed},
                                      {"SIP", "Name", RowKind::Removed},
                                      {"Net", "Gw", RowKind::Added}}));
    // Every line of both sides appears once, in its order.
    QStringList l, r;
    for (const LineDiff::Row &row : rows) {
        if (row.left >= 0)
            l << row.leftText;
        if (row.right >= 0)
            r << row.rightText;
    }
    EXPECT_EQ(std::pair(l, r), std::pair(left, right));

    // A phone book pairs differing lines in order; no sections.
    const auto csv =
        LineDiff::compare({"1,a,100", "2,b,200"}, {"1,a,101", "2,b,200", "3,c"}, false);
    ASSERT_EQ(csv.size(), 3u);
    EXPECT_EQ(std::tuple(csv[0].kind, csv[0].section, csv[2].kind),
              std::tuple(RowKind::Changed, QString(), RowKind::Added));

    // One change in a long file is found as that one line; beyond the
    // search's reach everything still shows, as changed lines.
    QStringList big, bigger, other;
    for (int i = 0; i < 6000; ++i)
        big << QString("K%1=%1").arg(i), other << QString("X%1").arg(i);
    bigger = big;
    bigger[4321] = "K4321=changed";
    const auto one = LineDiff::compare(big, bigger, true);
    ASSERT_EQ(one.size(), 6000u);
    EXPECT_EQ(LineDiff::changedKeys(one),
              (std::vector<KeyChange>{{"", "K4321", RowKind::Changed}}));
    const auto all = LineDiff::compare(big, other, false);
    EXPECT_EQ(all.size(), 6000u);
    EXPECT_TRUE(
        std::none_of(all.begin(), all.end(), [](auto &r) { return r.kind == RowKind::Same; }));
}

TEST(HistoryBrowser, VersionsNewestFirstAndComparedOlderLeft)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    dir.mkdir("Data/User");
    SettingsHistory::Store store(dir.path());
    for (const char *name : {"電話", "電話機"})
        store.replace("7", SettingsHistory::Kind::User, SettingsHistory::Origin::Edited, [&] {
            return SafeFile::write(store.filePath("7", SettingsHistory::Kind::User),
                                   Cp932::encode(QString("[User]\r\nName=%1\r\n").arg(name)));
        });
    HistoryBrowser b(store, "7");
    b.setKind(SettingsHistory::Kind::User);
    ASSERT_EQ(b.lines().size(), 2u);
    EXPECT_EQ(std::tuple(b.lines()[0].version, b.lines()[1].version, b.lines()[1].sent),
              std::tuple(QString("第2版（現在）"), QString("第1版"), QString("未送信")));

    using P = std::pair<int, int>;
    EXPECT_EQ(HistoryBrowser::pairFor({1}, b.lines()), P(1, 2));
    EXPECT_EQ(HistoryBrowser::pairFor({2}, b.lines()), P(1, 2)) << "against the one before";
    EXPECT_EQ(HistoryBrowser::pairFor({0, 1, 2}, b.lines()), P(-1, -1));
    EXPECT_EQ(std::pair(b.restorable(1), b.restorable(2)), std::pair(true, false));
    const HistoryBrowser::Comparison c = b.compare(2, 1);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(std::pair(c.leftTitle, c.rightTitle),
              std::pair(QString("第1版"), QString("第2版（現在）")));
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(std::tuple(c.rows[1].kind, c.rows[1].section, c.rows[1].rightText),
              std::tuple(RowKind::Changed, QString("User"), QString("Name=電話機")));
}
