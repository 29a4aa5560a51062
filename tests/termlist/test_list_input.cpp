// Terminal-ID counting, the input checks of the add and settings dialogs and
// the selection kept by record number.
#include "termlist/SelectionMemory.h"
#include "termlist/TerminalInput.h"

#include <gtest/gtest.h>

using namespace TerminalInput;

TEST(ListInputTest, TerminalIdsCountOnTheText)
{
    const QString nines63(63, QLatin1Char('9')), nines64(64, QLatin1Char('9'));
    const std::pair<QString, QString> cases[] = {
        {"098", "099"}, {"99", "100"}, {"0099", "0100"}, {"1239", "1240"},
        {nines63, QLatin1Char('1') + QString(63, QLatin1Char('0'))},
        {nines64, QString(64, QLatin1Char('0'))}, // no room for another digit
    };
    for (const auto &[id, next] : cases)
        EXPECT_EQ(nextTerminalId(id), next) << id.toStdString();

    EXPECT_TRUE(terminalIdSequence("", 3).isEmpty() && terminalIdSequence("5", 0).isEmpty());
    const QStringList all = terminalIdSequence("0", 65535);
    ASSERT_EQ(all.size(), 65535);
    EXPECT_EQ(all.last(), QStringLiteral("65534"));
}

TEST(ListInputTest, AddTerminalsChecks)
{
    const QString idMessage = QStringLiteral("追加する端末IDは半角数字のみで入力してください。");
    const QString countMessage =
        QStringLiteral("追加する件数は半角数字のみ0～65535の範囲で入力してください。");
    const struct {
        const char *id, *count;
        AddCheck::Field error;
        int value;
    } cases[] = {
        {"", "", AddCheck::None, 0},       {"007", "65535", AddCheck::None, 65535},
        {"1", "-1", AddCheck::Count, 0},   {"1", " 1", AddCheck::Count, 0},
        {"1 2", "x", AddCheck::TermId, 0}, {"１２", "1", AddCheck::TermId, 0}, // ID first; full width
    };
    for (const auto &c : cases) {
        const AddCheck r = checkAddTerminals(QString::fromUtf8(c.id), QString::fromUtf8(c.count));
        EXPECT_EQ(r.error, c.error) << c.id << "/" << c.count;
        if (r.error == AddCheck::None)
            EXPECT_EQ(std::tuple(r.count, r.firstId), std::tuple(c.value, QString::fromUtf8(c.id)));
        else
            EXPECT_EQ(r.message, r.error == AddCheck::TermId ? idMessage : countMessage);
    }
}

TEST(ListInputTest, SystemSettingsChecks)
{
    using S = SettingsCheck;
    const struct {
        const char *port, *interval;
        S::Field error;
        int portValue, intervalValue;
    } cases[] = {
        {"1", "0", S::None, 1, 0},  {"65535", "255", S::None, 65535, 255}, {"+1", "1", S::Port, 0, 0},
        {" 1", "1", S::Port, 0, 0}, {"0", "x", S::Port, 0, 0}, // the port is checked first
        {"4000", "256", S::Interval, 0, 0}, {"4000", "1 ", S::Interval, 0, 0},
    };
    for (const auto &c : cases) {
        const S r = checkSystemSettings(c.port, c.interval, true, 4000);
        EXPECT_EQ(r.error, c.error) << c.port << "/" << c.interval;
        if (r.error == S::None)
            EXPECT_EQ(std::tuple(r.port, r.interval), std::tuple(c.portValue, c.intervalValue));
    }
    // The same number written differently is no change of port.
    for (const auto &[port, passive] : {std::pair{"4000", true}, {"04000", false}}) {
        const S r = checkSystemSettings(port, "1", passive, 4000);
        EXPECT_EQ(std::tuple(r.ftpMode, r.portChanged), std::tuple(passive ? 0 : 1, false));
    }
}

TEST(ListInputTest, AddressValue)
{
    EXPECT_EQ(addressValue("192.168.001.020"), 0x1401A8C0u);
    EXPECT_EQ(addressValue("USB(192.168.001.020)"), 0x1401A8C0u);
    EXPECT_EQ(addressValue("010.000.000.005"), 0x0500000Au); // decimal, not octal
    for (const char *bad : {"", "1.2.3", "1.2.3.256"})
        EXPECT_EQ(addressValue(bad), 0u) << bad;
}

TEST(ListSelectionTest, RestoresByRecordNumber)
{
    const auto entries = [](std::initializer_list<int> ids) {
        std::vector<TermEntry> out;
        for (int id : ids)
            out.emplace_back().ID = id;
        return out;
    };
    SelectionMemory m{{11, 12, 13, 20}, true, 12, 1};
    // The rows moved and 13 is gone; 11 and 12 are now adjacent at the end.
    RestoredSelection r = RestoreSelection(m, entries({5, 20, 6, 7, 11, 12}));
    EXPECT_EQ(r.ranges, (std::vector<std::pair<int, int>>{{1, 1}, {4, 5}}));
    EXPECT_EQ(r.focusRow, 5);
    // The focused terminal is gone: the focus stays at its old position ...
    r = RestoreSelection(m, entries({11, 30, 31}));
    EXPECT_EQ(r.ranges, (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(r.focusRow, 1);
    // ... unless that position no longer exists.
    r = RestoreSelection(m, entries({30}));
    EXPECT_TRUE(r.ranges.empty());
    EXPECT_EQ(r.focusRow, -1);
    EXPECT_EQ(RestoreSelection(SelectionMemory{}, entries({1, 2})).focusRow, -1);
}
