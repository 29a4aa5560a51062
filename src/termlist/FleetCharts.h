#pragma once
// The figures of the dashboard: per chart one aggregate query over the
// register (never a walk over rows), the bars it gives, and for every bar the
// list condition that shows exactly its terminals.

#include "register/ListCond.h"

#include <QString>

#include <vector>

class CTermDatabase;

namespace FleetCharts
{

enum class Chart { ApliVer, BootVer, Sip, Alert, Result, FirmCheck, Silent };
constexpr int ChartCount = 7;

// Versions beyond this many bars are folded into one "その他" bar.
constexpr int VersionBars = 12;

struct Bar {
    QString label;
    qint64 count = 0;
    // What a click selects: the version (versions), or the chart's code
    // (SIP: FCndSipEntry; alert: FInfoAlert; result: -1 none, 0 success,
    // 1..10 the error's FInfoResultCode; firmware check: the state; silence:
    // the FCndSilent, 3 provisional).
    QString value;
    int code = 0;
    bool folded = false; // versions: the "その他" bar, value its highest version
};

struct ChartData {
    Chart chart = Chart::ApliVer;
    std::vector<Bar> bars;
    qint64 total = 0; // terminals counted (every row of the register)
};

// The chart's title without its total.
QString title(Chart chart);
// "<title>（計 N 台）".
QString titleWithTotal(const ChartData &data);

// Reads one chart; false (the register's error shown) when the query failed.
bool read(CTermDatabase &db, Chart chart, ChartData &out);

// The list condition of a bar: every filter cleared, the bar's filter set and
// its column shown (the sort and the other columns stay).
void select(ListCondInfo &cond, const ChartData &data, const Bar &bar);

} // namespace FleetCharts
