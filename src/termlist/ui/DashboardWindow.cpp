#include "termlist/ui/DashboardWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QPieSeries>
#include <QPieSlice>
#include <QValueAxis>

using FleetCharts::Chart;

namespace
{

// Where each chart sits: row, column, columns spanned.
struct Place {
    Chart chart;
    int row, column, span;
};
constexpr Place Places[] = {
    {Chart::ApliVer, 0, 0, 2}, {Chart::BootVer, 0, 2, 1}, {Chart::Sip, 1, 0, 1},
    {Chart::Alert, 1, 1, 1},   {Chart::Result, 1, 2, 1},  {Chart::FirmCheck, 2, 0, 1},
    {Chart::Silent, 2, 1, 1},
};

bool isPie(Chart c)
{
    return c == Chart::Sip || c == Chart::Result || c == Chart::FirmCheck || c == Chart::Silent;
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
        grid->addWidget(view, p.row, p.column, 1, p.span);
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
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(FleetCharts::titleWithTotal(chartData(which)));
    if (isPie(which))
        drawPie(chart, which);
    else
        drawBars(chart, which);
}

void CDashboardWindow::drawBars(QChart *chart, Chart which)
{
    const FleetCharts::ChartData &d = chartData(which);
    auto *set = new QBarSet(FleetCharts::title(which));
    QStringList categories;
    qint64 highest = 0;
    for (const FleetCharts::Bar &b : d.bars) {
        *set << qreal(b.count);
        categories << b.label;
        highest = std::max(highest, b.count);
    }
    auto *series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    auto *y = new QValueAxis;
    // Room above the highest bar for its label.
    y->setRange(0, std::max<qreal>(1, highest * 1.15));
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    connect(set, &QBarSet::clicked, this, [this, which](int index) { clickBar(which, index); });
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
