#pragma once
// The register of the list benches: terminal n (1-based) at 10.x.y.z with
// its own MAC address, SIP state n % 3 and a hundred application versions,
// written in bursts as notices are.

#include "register/TermDatabase.h"

#include <functional>
#include <vector>

inline std::uint32_t BenchAddress(int n)
{
    return 10u | std::uint32_t((n >> 16) & 0xff) << 8 | std::uint32_t((n >> 8) & 0xff) << 16 |
           std::uint32_t(n & 0xff) << 24;
}

inline RegistrationData BenchTerminal(int i)
{
    RegistrationData d;
    const int n = i + 1;
    d.TermID = QString::number(n);
    d.IPAddr = BenchAddress(n);
    d.UserInfo1 = QString::asprintf("00:1B:%02X:%02X:%02X:%02X", (i >> 24) & 0xff, (i >> 16) & 0xff,
                                    (i >> 8) & 0xff, i & 0xff);
    d.Regist = n % 3;
    d.Vendor = QStringLiteral("Vendor");
    d.MachineName = QStringLiteral("KX-IP100");
    d.MachineType = QStringLiteral("Type1");
    d.VerBoot = QStringLiteral("1.00");
    d.VerApli = QString::asprintf("2.%02d", n % 100);
    d.UserInfo2 = QStringLiteral("user %1").arg(n);
    return d;
}

// Registers terminals 0 .. count-1 in bursts of 1,000; before each burst
// beforeBurst(first index) runs (a clock to move, say).
inline bool FillBenchRegister(CTermDatabase &db, int count,
                              const std::function<RegistrationData(int)> &terminal,
                              const std::function<void(int)> &beforeBurst = {})
{
    constexpr int Burst = 1000;
    std::vector<RegistrationData> burst;
    burst.reserve(Burst);
    for (int first = 0; first < count; first += Burst) {
        burst.clear();
        for (int i = first; i < std::min(first + Burst, count); ++i)
            burst.push_back(terminal(i));
        if (beforeBurst)
            beforeBurst(first);
        if (db.registerUpdates(burst) != DbAnswer::Done)
            return false;
    }
    return true;
}
