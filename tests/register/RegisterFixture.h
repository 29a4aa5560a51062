#pragma once
// A fresh register in a temporary program folder, a fixed clock, recorded
// message boxes and log lines.

#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "support/RegisterFile.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>
#include <vector>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

struct RecordingLog : IRegisterLog {
    std::vector<std::tuple<int, QString, QString>> lines;
    void errorLog(int kind, const QString &termId, const QString &address) override
    {
        lines.emplace_back(kind, termId, address);
    }
};

inline std::uint32_t ip(int a, int b, int c, int d)
{
    return std::uint32_t(a) | std::uint32_t(b) << 8 | std::uint32_t(c) << 16 |
           std::uint32_t(d) << 24;
}

inline RegistrationData notice(const QString &termId, std::uint32_t addr, const QString &mac)
{
    RegistrationData d;
    d.TermID = termId, d.IPAddr = addr, d.UserInfo1 = mac, d.Vendor = "Vendor";
    d.MachineName = "Phone";
    return d;
}

class RegisterTest : public ::testing::Test
{
protected:
    TempDir dir;
    ScriptedPrompter prompts;
    RecordingLog log;
    std::unique_ptr<CTermDatabase> db;
    QDateTime now{QDate(2024, 3, 1), QTime(12, 0, 0)};

    void SetUp() override
    {
        ProcessValues::startupAbort = 0;
        reopen();
    }
    void reopen()
    {
        db.reset();
        db = std::make_unique<CTermDatabase>(dir.path());
        ASSERT_TRUE(db->startUp());
        db->setLogWriter(&log);
        db->setClock([this] { return now; });
    }
    void at(int y, int m, int d, int h = 12, int mi = 0, int s = 0)
    {
        now = QDateTime(QDate(y, m, d), QTime(h, mi, s));
    }
    std::vector<TermEntry> all(std::int32_t silentCond = 0)
    {
        ListCondInfo c = DefaultListCond();
        c.SortColNo = ListColumn::TermID, c.SortDirect = SortDirection::Ascending;
        c.FCndSilent = silentCond;
        std::vector<TermEntry> rows;
        EXPECT_EQ(db->readList(c, rows), 0);
        return rows;
    }
    TermRecord byMac(const QString &mac)
    {
        TermRecord r;
        EXPECT_EQ(db->getByMac(mac, r), 0) << mac.toStdString();
        return r;
    }
    // Rows of the last statement, run with the register closed (it holds the
    // file exclusively), which then opens again.
    std::vector<QVariantList> raw(const QStringList &statements)
    {
        db->close();
        const std::vector<QVariantList> rows = onFile(db->filePath(), statements);
        EXPECT_EQ(db->open(), 1);
        return rows;
    }
};
