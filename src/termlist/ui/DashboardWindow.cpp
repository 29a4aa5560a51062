#include "termlist/ui/DashboardWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHorizontalBarSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QValueAxis>

using FleetCharts::Chart;

namespace
{

// Where each chart sits: row, column, rows and columns spanned. The results,
// with up to 12 bars, get two rows.
struct Place {
    Chart chart;
    int row, column, rows, columns;
};
constexpr Place Places[] = {
    {Chart::ApliVer, 0, 0, 1, 2}, {Chart::BootVer, 0, 2, 1, 1},   {Chart::Sip, 1, 0, 1, 1},
    {Chart::Alert, 1, 1, 1, 1},   {Chart::Result, 1, 2, 2, 1},    {Chart::FirmCheck, 2, 0, 1, 1},
    {Chart::Silent, 2, 1, 1, 1},
};

bool isPie(Chart c)
{
    return c == Chart::Sip || c == Chart::FirmCheck || c == Chart::Silent;
}

// Long labels (alerts, result texts) read better along bars lying down.
bool isHorizontal(Chart c)
{
    return c == Chart::Alert || c == Chart::Result;
}

} // namespace

CDashboardWindow::CDashboardWindow(CTermDatabase &db, QWidget *parent)
    : QWidget(parent, Qt::Window), m_db(db)
{
    setObjectName(QStringLiteral("dashboardWindow"));
    setWindowTitle(tr("ダッシュボード"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(4);
    for (const Place &p : Places) {
        auto *chart = new QChart;
        chart->setAnimationOptions(QChart::NoAnimation);
        chart->legend()->hide();
        chart->setMargins(QMargins(2, 2, 2, 2));
        auto *view = new QChartView(chart, this);
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(240, 200);
        m_views[std::size_t(p.chart)] = view;
        grid->addWidget(view, p.row, p.column, p.rows, p.columns);
    }
    resize(1200, 720);
}

bool CDashboardWindow::refresh()
{
    bool ok = true;
    for (int c = 0; c < FleetCharts::ChartCount; ++c) {
        const auto chart = Chart(c);
        // A failed query keeps what the chart showed before.
        if (FleetCharts::read(m_db, chart, m_data[std::size_t(c)]))
            draw(chart);
        else
            ok = false;
    }
    return ok;
}

void CDashboardWindow::clickBar(Chart chart, int bar)
{
    const FleetCharts::ChartData &d = chartData(chart);
    if (bar >= 0 && bar < int(d.bars.size()))
        emit barClicked(chart, bar);
}

void CDashboardWindow::draw(Chart which)
{
    QChart *chart = chartView(which)->chart();
    chart->removeAllSeries();
    // The chart gives up its axes on removal: each redraw's would pile up.
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(FleetCharts::titleWithTotal(chartData(which)));
    if (isPie(which))
        drawPie(chart, which);
    else
        drawBars(chart, which);
}

void CDashboardWindow::drawBars(QChart *chart, Chart which)
{
    const FleetCharts::ChartData &d = chartData(which);
    const bool lying = isHorizontal(which);
    auto *set = new QBarSet(FleetCharts::title(which));
    QStringList categories;
    qint64 highest = 0;
    // Lying bars list from the top, as they are read.
    for (std::size_t i = 0; i < d.bars.size(); ++i) {
        const FleetCharts::Bar &b = d.bars[lying ? d.bars.size() - 1 - i : i];
        *set << qreal(b.count);
        // Lying, the count goes with the label: a bar too short to carry it
        // still tells it.
        categories << (lying ? QStringLiteral("%1  %2").arg(b.label).arg(b.count) : b.label);
        highest = std::max(highest, b.count);
    }
    QAbstractBarSeries *series = lying ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                       : new QBarSeries;
    series->append(set);
    series->setBarWidth(0.7);
    chart->addSeries(series);
    auto *categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    auto *valueAxis = new QValueAxis;
    valueAxis->setRange(0, std::max<qreal>(1, highest));
    valueAxis->setLabelFormat(QStringLiteral("%d"));
    valueAxis->applyNiceNumbers();
    chart->addAxis(categoryAxis, lying ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(valueAxis, lying ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    series->attachAxis(valueAxis);
    if (!lying) {
        series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
        series->setLabelsVisible(true);
        set->setLabelColor(chart->titleBrush().color());
    }
    const int last = int(d.bars.size()) - 1;
    connect(set, &QBarSet::clicked, this,
            [this, which, lying, last](int index) { clickBar(which, lying ? last - index : index); });
}

void CDashboardWindow::drawPie(QChart *chart, Chart which)
{
    const FleetCharts::ChartData &d = chartData(which);
    auto *series = new QPieSeries;
    series->setPieSize(0.62);
    for (std::size_t i = 0; i < d.bars.size(); ++i) {
        const FleetCharts::Bar &b = d.bars[i];
        // An empty slice would only crowd the labels; its terminals are none.
        if (b.count == 0)
            continue;
        QPieSlice *slice =
            series->append(QStringLiteral("%1 %2").arg(b.label).arg(b.count), qreal(b.count));
        slice->setLabelVisible(true);
        connect(slice, &QPieSlice::clicked, this, [this, which, i] { clickBar(which, int(i)); });
    }
    chart->addSeries(series);
}
