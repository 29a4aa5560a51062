#pragma once
// "ダッシュボード": the state of the fleet in charts, one per question
// (versions, SIP registration, alerts, last results, firmware checks,
// silence), each with its total. Modeless; the list redraws it with its own
// refresh. A click on a bar or slice is handed to the list, which shows
// exactly those terminals.

#include "termlist/FleetCharts.h"

#include <QWidget>

#include <array>

class CTermDatabase;
class QChart;
class QChartView;

class CDashboardWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CDashboardWindow(CTermDatabase &db, QWidget *parent = nullptr);

    // Reads every chart (one query each) and redraws; false when a query
    // failed (the charts read so far are shown).
    bool refresh();

    const FleetCharts::ChartData &chartData(FleetCharts::Chart chart) const
    {
        return m_data[std::size_t(chart)];
    }
    QChartView *chartView(FleetCharts::Chart chart) const { return m_views[std::size_t(chart)]; }
    // What a click on the bar (index into chartData().bars) does.
    void clickBar(FleetCharts::Chart chart, int bar);

signals:
    void barClicked(FleetCharts::Chart chart, int bar);

private:
    void draw(FleetCharts::Chart chart);
    void drawBars(QChart *chart, FleetCharts::Chart which);
    void drawPie(QChart *chart, FleetCharts::Chart which);

    CTermDatabase &m_db;
    std::array<FleetCharts::ChartData, FleetCharts::ChartCount> m_data;
    std::array<QChartView *, FleetCharts::ChartCount> m_views{};
};
