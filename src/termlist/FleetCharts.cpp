#include "termlist/FleetCharts.h"

#include "comm/ResultCodes.h"
#include "register/RegisterTypes.h"
#include "register/TermDatabase.h"
#include "termlist/ListColumns.h"

#include <QCoreApplication>

namespace FleetCharts
{

namespace
{

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(FleetCharts)
};

// Versions newest first in the order the list sorts them (text, the column's
// collation); the 13th and later in one group whose highest version a click
// selects with "<=". Columns: version (NULL for the folded group), count,
// highest version of the group, versions in the group. The rows are grouped
// by their bytes first, which is about twice as fast as grouping 65,535 rows
// by the column's case-blind collation; the few distinct versions are then
// grouped the way the list compares them.
QString versionSql(const char *column)
{
    return QStringLiteral(
               "SELECT CASE WHEN k <= %2 THEN v END, SUM(n), MAX(v COLLATE NOCASE), COUNT(*) FROM"
               " (SELECT v, n, ROW_NUMBER() OVER (ORDER BY v COLLATE NOCASE DESC) AS k FROM"
               " (SELECT MIN(v) AS v, SUM(n) AS n FROM"
               " (SELECT %1 COLLATE BINARY AS v, COUNT(*) AS n FROM TermInfo"
               " GROUP BY %1 COLLATE BINARY) GROUP BY v COLLATE NOCASE))"
               " GROUP BY MIN(k, %2 + 1) ORDER BY MIN(k)")
        .arg(QLatin1String(column))
        .arg(VersionBars);
}

// Each query answers (group code, count) rows.
QString groupSql(Chart chart, const QDateTime &silentSince)
{
    switch (chart) {
    case Chart::Sip:
        return QStringLiteral("SELECT CASE WHEN Regist=1 THEN 2 WHEN Regist=2 THEN 3 ELSE 5 END"
                              " AS g, COUNT(*) FROM TermInfo GROUP BY g");
    case Chart::Alert:
        // A terminal can hold both alerts: one row of three sums.
        return QStringLiteral("SELECT SUM(TermIDAlert<>0), SUM(IPAddrAlert<>0),"
                              " SUM(TermIDAlert=0 AND IPAddrAlert=0), COUNT(*) FROM TermInfo");
    case Chart::Result:
        return QStringLiteral("SELECT CASE WHEN ResultKind <= 0 THEN -1 WHEN ResultCode=0 THEN 0"
                              " WHEN ResultCode BETWEEN 1 AND 9 THEN ResultCode ELSE 10 END AS g,"
                              " COUNT(*) FROM TermInfo GROUP BY g ORDER BY g");
    case Chart::FirmCheck:
        return QStringLiteral("SELECT FirmCheck, COUNT(*) FROM TermInfo GROUP BY FirmCheck");
    case Chart::Silent:
        return QLatin1String("SELECT CASE WHEN TermEntryType=0 THEN 3 WHEN ") +
               SilentCondition(silentSince) +
               QLatin1String(" THEN 1 ELSE 2 END AS g, COUNT(*) FROM TermInfo GROUP BY g");
    default:
        return {};
    }
}

// The fixed bars of a chart, in the order shown.
std::vector<Bar> fixedBars(Chart chart)
{
    switch (chart) {
    case Chart::Sip:
        return {{Tr::tr("プライマリ"), 0, {}, 2},
                {Tr::tr("セカンダリ"), 0, {}, 3},
                {Tr::tr("未登録"), 0, {}, SipCond::Neither}};
    case Chart::Alert:
        return {{Tr::tr("端末ID重複"), 0, {}, 4},
                {Tr::tr("IPアドレス重複"), 0, {}, 3},
                {Tr::tr("アラートなし"), 0, {}, 1}};
    case Chart::FirmCheck: {
        std::vector<Bar> bars{{Tr::tr("確認なし"), 0, {}, FirmCheckState::None}};
        for (int s = FirmCheckState::Waiting; s < FirmCheckState::Count; ++s)
            bars.push_back({ListColumns::firmCheckText(s), 0, {}, s});
        return bars;
    }
    case Chart::Silent:
        return {{Tr::tr("応答なし"), 0, {}, SilentCond::SilentOnly},
                {Tr::tr("応答あり"), 0, {}, SilentCond::HeardOnly},
                {Tr::tr("仮登録"), 0, {}, 3}};
    default:
        return {};
    }
}

QString resultLabel(int group)
{
    if (group < 0)
        return Tr::tr("処理なし");
    if (group == 0)
        return Tr::tr("正常終了");
    return ResultListText(group, TextFor::Window);
}

} // namespace

QString title(Chart chart)
{
    switch (chart) {
    case Chart::ApliVer:
        return Tr::tr("アプリケーションバージョン");
    case Chart::BootVer:
        return Tr::tr("ブートバージョン");
    case Chart::Sip:
        return Tr::tr("SIPサーバ登録状態");
    case Chart::Alert:
        return Tr::tr("アラート");
    case Chart::Result:
        return Tr::tr("最終処理結果");
    case Chart::FirmCheck:
        return Tr::tr("ファーム確認");
    case Chart::Silent:
        return Tr::tr("応答なし端末");
    }
    return {};
}

QString titleWithTotal(const ChartData &data)
{
    return Tr::tr("%1（計 %n 台）", nullptr, int(data.total)).arg(title(data.chart));
}

bool read(CTermDatabase &db, Chart chart, ChartData &out)
{
    out = ChartData{};
    out.chart = chart;
    std::vector<QVariantList> rows;
    if (chart == Chart::ApliVer || chart == Chart::BootVer) {
        if (db.aggregate(versionSql(chart == Chart::ApliVer ? "VerApli" : "VerBoot"), {}, rows) !=
            DbAnswer::Done)
            return false;
        for (const QVariantList &r : rows) {
            Bar b;
            b.count = r.value(1).toLongLong();
            b.folded = r.value(0).isNull();
            // A folded group of one version is that version.
            if (b.folded && r.value(3).toLongLong() == 1)
                b.folded = false;
            b.value = r.value(2).toString();
            b.label = b.folded ? Tr::tr("その他") : b.value.isEmpty() ? Tr::tr("（なし）") : b.value;
            out.total += b.count;
            out.bars.push_back(b);
        }
        return true;
    }
    if (db.aggregate(groupSql(chart, chart == Chart::Silent ? db.silentSince() : QDateTime()), {},
                     rows) != DbAnswer::Done)
        return false;
    if (chart == Chart::Alert) {
        out.bars = fixedBars(chart);
        const QVariantList r = rows.empty() ? QVariantList() : rows.front();
        for (int i = 0; i < 3; ++i)
            out.bars[i].count = r.value(i).toLongLong();
        out.total = r.value(3).toLongLong();
        return true;
    }
    if (chart == Chart::Result) {
        for (const QVariantList &r : rows) {
            const int group = r.value(0).toInt();
            out.bars.push_back({resultLabel(group), r.value(1).toLongLong(), {}, group});
            out.total += out.bars.back().count;
        }
        return true;
    }
    out.bars = fixedBars(chart);
    for (const QVariantList &r : rows) {
        out.total += r.value(1).toLongLong();
        for (Bar &b : out.bars)
            if (b.code == r.value(0).toInt())
                b.count = r.value(1).toLongLong();
    }
    return true;
}

void select(ListCondInfo &cond, const ChartData &data, const Bar &bar)
{
    // Every filter goes; the user's sort stays.
    const std::int32_t sortColumn = cond.SortColNo, sortDirection = cond.SortDirect;
    ResetListCond(cond);
    cond.SortColNo = sortColumn;
    cond.SortDirect = sortDirection;
    switch (data.chart) {
    case Chart::ApliVer:
    case Chart::BootVer: {
        const bool apli = data.chart == Chart::ApliVer;
        (apli ? cond.FInfoApVer1 : cond.FInfoBtVer1) = bar.value;
        (apli ? cond.FCndApVer1 : cond.FCndBtVer1) =
            bar.folded ? CondCode::LessEqual : CondCode::Equal;
        (apli ? cond.ColApliVer : cond.ColBootVer) = 1;
        break;
    }
    case Chart::Sip:
        cond.FCndSipEntry = bar.code;
        cond.ColSipSvrEntry = 1;
        break;
    case Chart::Alert:
        cond.FInfoAlert = bar.code;
        cond.FCndAlert = 1;
        cond.ColAlert = 1;
        break;
    case Chart::Result:
        cond.FInfoResult = 20;
        cond.FCndResult = bar.code < 0    ? ResultCond::None
                          : bar.code == 0 ? ResultCond::Success
                                          : ResultCond::Error;
        cond.FInfoResultCode = bar.code > 0 ? bar.code : 0;
        break;
    case Chart::FirmCheck:
        cond.FInfoFirmCheck = bar.code + 1;
        cond.FCndFirmCheck = 1;
        cond.ColFirmCheck = 1;
        break;
    case Chart::Silent:
        if (bar.code == 3) {
            cond.FCndTermEntry = 1;
            cond.ColEntryKind = 1;
        } else {
            cond.FCndSilent = bar.code;
            cond.ColLastNotice = 1;
        }
        break;
    }
}

} // namespace FleetCharts
