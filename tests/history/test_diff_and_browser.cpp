// The side-by-side difference and what the history window shows and does.
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "common/SafeFile.h"
#include "history/HistoryBrowser.h"

#include "support/ScriptedPrompter.h"
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
void PrintTo(const Row &r, std::ostream *os)
{
    *os << int(r.kind) << ' ' << r.left << ':' << r.leftText.toStdString() << " | " << r.right
        << ':' << r.rightText.toStdString();
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

TEST(HistoryBrowser, VersionsNewestFirstComparedOlderLeftAndRestoredAfterAsking)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    dir.mkdir("Data/User");
    SettingsHistory::Store store(dir.path());
    const QString file = store.filePath("7", SettingsHistory::Kind::User);
    auto put = [&](SettingsHistory::Origin o, const QString &text) {
        store.replace("7", SettingsHistory::Kind::User, o,
                      [&] { return SafeFile::write(file, Cp932::encode(text)); });
    };
    put(SettingsHistory::Origin::Read, "[User]\r\nName=電話\r\n");
    put(SettingsHistory::Origin::Edited, "[User]\r\nName=電話機\r\n");
    store.markSent("7", SettingsHistory::Kind::User, Cp932::encode("[User]\r\nName=電話機\r\n"));

    HistoryBrowser b(store, "7");
    b.setKind(SettingsHistory::Kind::User);
    ASSERT_EQ(b.lines().size(), 2u);
    EXPECT_EQ(std::tuple(b.lines()[0].version, b.lines()[0].origin, b.lines()[0].sent.left(4)),
              std::tuple(QString("現在のファイル"), QString("設定編集"), QString("送信済み")));
    EXPECT_EQ(std::tuple(b.lines()[1].version, b.lines()[1].origin, b.lines()[1].sent),
              std::tuple(QString("第1版"), QString("端末から読込"), QString("未送信")));

    using P = std::pair<int, int>;
    EXPECT_EQ(HistoryBrowser::pairFor({1}, b.lines()), P(1, 0));
    EXPECT_EQ(HistoryBrowser::pairFor({0}, b.lines()), P(1, 0));
    EXPECT_EQ(HistoryBrowser::pairFor({}, b.lines()), P(-1, -1));
    const HistoryBrowser::Comparison c = b.compare(0, 1);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(std::pair(c.leftTitle, c.rightTitle),
              std::pair(QString("第1版"), QString("現在のファイル")));
    EXPECT_EQ(LineDiff::changedKeys(c.rows),
              (std::vector<KeyChange>{{"User", "Name", RowKind::Changed}}));
    ASSERT_EQ(c.rows.size(), 2u) << ::testing::PrintToString(c.rows);
    EXPECT_EQ(c.rows[1].rightText, "Name=電話機");

    ScriptedPrompter prompter;
    prompter.answer(MsgResult::No);
    EXPECT_FALSE(b.restore(1, prompter));
    prompter.answer(MsgResult::Yes);
    EXPECT_TRUE(b.restore(1, prompter));
    EXPECT_EQ(Cp932::decode(dir.read("Data/User/kel_user7.ini")), "[User]\r\nName=電話\r\n");
    ASSERT_EQ(b.lines().size(), 3u);
    EXPECT_EQ(b.lines()[0].origin, QString("履歴から復元"));
    EXPECT_EQ(prompter.records[0].caption, QString("設定履歴の復元確認"));
    EXPECT_TRUE(prompter.records[0].text.startsWith("ユーザ設定を第1版に戻します。"));
}
