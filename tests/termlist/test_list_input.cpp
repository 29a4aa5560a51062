// Terminal-ID counting and the input checks of the add and settings dialogs.
#include "termlist/SelectionMemory.h"
#include "termlist/TerminalInput.h"

#include <gtest/gtest.h>

using namespace TerminalInput;

TEST(ListInputTest, NextTerminalIdCountsOnTheText)
{
    const QString nines63(63, QLatin1Char('9'));
    const QString nines64(64, QLatin1Char('9'));
    const struct {
        QString id;
        QString next;
    } cases[] = {
        {"098", "099"},
        {"099", "100"},
        {"99", "100"},
        {"0099", "0100"},
        {"9", "10"},
        {"0", "1"},
        {"1239", "1240"},
        {nines63, QLatin1Char('1') + QString(63, QLatin1Char('0'))},
        {nines64, QString(64, QLatin1Char('0'))}, // no room for another digit
    };
    for (const auto &c : cases)
        EXPECT_EQ(nextTerminalId(c.id), c.next) << c.id.toStdString();
}

TEST(ListInputTest, TerminalIdSequence)
{
    EXPECT_EQ(terminalIdSequence("098", 3), QStringList({"098", "099", "100"}));
    EXPECT_EQ(terminalIdSequence("99", 3), QStringList({"99", "100", "101"}));
    EXPECT_TRUE(terminalIdSequence("", 3).isEmpty());
    EXPECT_TRUE(terminalIdSequence("5", 0).isEmpty());
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
        const char *id;
        const char *count;
        AddCheck::Field error;
        int value;
    } cases[] = {
        {"100", "3", AddCheck::None, 3},         {"", "", AddCheck::None, 0},
        {"007", "65535", AddCheck::None, 65535}, {"1", "65536", AddCheck::Count, 0},
        {"1", "99999", AddCheck::Count, 0},      {"1", "-1", AddCheck::Count, 0},
        {"1", " 1", AddCheck::Count, 0},         {"12a", "1", AddCheck::TermId, 0},
        {"1 2", "x", AddCheck::TermId, 0},  // the ID is checked first
        {"１２", "1", AddCheck::TermId, 0}, // full-width digits
    };
    for (const auto &c : cases) {
        const AddCheck r = checkAddTerminals(QString::fromUtf8(c.id), QString::fromUtf8(c.count));
        EXPECT_EQ(r.error, c.error) << c.id << "/" << c.count;
        if (r.error == AddCheck::None) {
            EXPECT_EQ(r.count, c.value) << c.id << "/" << c.count;
            EXPECT_EQ(r.firstId, QString::fromUtf8(c.id));
        } else {
            EXPECT_EQ(r.message, r.error == AddCheck::TermId ? idMessage : countMessage);
            EXPECT_EQ(r.widthCode, r.error == AddCheck::TermId ? 380 : 450);
        }
    }
}

TEST(ListInputTest, SystemSettingsChecks)
{
    const struct {
        const char *port;
        const char *interval;
        SettingsCheck::Field error;
        int portValue;
        int intervalValue;
    } cases[] = {
        {"1", "0", SettingsCheck::None, 1, 0},
        {"65535", "255", SettingsCheck::None, 65535, 255},
        {"4000", "", SettingsCheck::None, 4000, 0},
        {"0", "1", SettingsCheck::Port, 0, 0},
        {"65536", "1", SettingsCheck::Port, 0, 0},
        {"", "1", SettingsCheck::Port, 0, 0},
        {"+1", "1", SettingsCheck::Port, 0, 0},
        {" 1", "1", SettingsCheck::Port, 0, 0},
        {"0", "x", SettingsCheck::Port, 0, 0}, // the port is checked first
        {"4000", "256", SettingsCheck::Interval, 0, 0},
        {"4000", "-1", SettingsCheck::Interval, 0, 0},
        {"4000", "1 ", SettingsCheck::Interval, 0, 0},
    };
    for (const auto &c : cases) {
        const SettingsCheck r = checkSystemSettings(QString::fromUtf8(c.port),
                                                    QString::fromUtf8(c.interval), true, 4000);
        EXPECT_EQ(r.error, c.error) << c.port << "/" << c.interval;
        if (r.error == SettingsCheck::None) {
            EXPECT_EQ(r.port, c.portValue);
            EXPECT_EQ(r.interval, c.intervalValue);
        }
    }
    SettingsCheck r = checkSystemSettings("4000", "1", true, 4000);
    EXPECT_EQ(r.ftpMode, 0);
    EXPECT_FALSE(r.portChanged);
    r = checkSystemSettings("04000", "1", false, 4000);
    EXPECT_EQ(r.ftpMode, 1);
    EXPECT_FALSE(r.portChanged); // the same number, written differently
    r = checkSystemSettings("4001", "1", false, 4000);
    EXPECT_TRUE(r.portChanged);
    EXPECT_EQ(checkSystemSettings("0", "", true, 1).widthCode, 470);
    EXPECT_EQ(checkSystemSettings("1", "256", true, 1).widthCode, 1);
}

TEST(ListInputTest, AddressValue)
{
    EXPECT_EQ(addressValue("192.168.001.020"), 0x1401A8C0u);
    EXPECT_EQ(addressValue("USB(192.168.001.020)"), 0x1401A8C0u);
    EXPECT_EQ(addressValue("010.000.000.005"), 0x0500000Au); // decimal, not octal
    EXPECT_EQ(addressValue(""), 0u);
    EXPECT_EQ(addressValue("1.2.3"), 0u);
    EXPECT_EQ(addressValue("1.2.3.256"), 0u);
}

namespace
{

std::vector<TermEntry> entriesWithIds(std::initializer_list<int> ids)
{
    std::vector<TermEntry> out;
    for (int id : ids) {
        TermEntry e;
        e.ID = id;
        out.push_back(e);
    }
    return out;
}

} // namespace

TEST(ListSelectionTest, RestoresByRecordNumber)
{
    SelectionMemory m;
    m.selectedIds = {11, 12, 13, 20};
    m.hasFocus = true;
    m.focusedId = 12;
    m.focusedRow = 1;

    // The rows moved and 13 is gone; 11 and 12 are now adjacent at the end.
    RestoredSelection r = RestoreSelection(m, entriesWithIds({5, 20, 6, 7, 11, 12}));
    const std::vector<std::pair<int, int>> expected{{1, 1}, {4, 5}};
    EXPECT_EQ(r.ranges, expected);
    EXPECT_EQ(r.focusRow, 5);

    // The focused terminal is gone: the focus stays at its old position.
    r = RestoreSelection(m, entriesWithIds({11, 30, 31}));
    EXPECT_EQ(r.ranges, (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(r.focusRow, 1);

    // ... unless that position no longer exists.
    r = RestoreSelection(m, entriesWithIds({30}));
    EXPECT_TRUE(r.ranges.empty());
    EXPECT_EQ(r.focusRow, -1);

    EXPECT_EQ(RestoreSelection(SelectionMemory{}, entriesWithIds({1, 2})).focusRow, -1);
}
