#include "editor/ui/SettingsPage.h"

#include "editor/InputRules.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace
{
// Room above the first row.
constexpr int TopMargin = 4;
} // namespace

SettingsPage::SettingsPage(int contentHeight, QWidget *parent)
    : QScrollArea(parent), m_content(new QWidget), m_contentHeight(contentHeight + TopMargin)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_content->setObjectName(QStringLiteral("pageContent"));
    m_content->resize(600, m_contentHeight);
    setWidget(m_content);
    verticalScrollBar()->setSingleStep(LineStep);
    verticalScrollBar()->setPageStep(PageStep);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &SettingsPage::onAction);
}

void SettingsPage::onAction(int action)
{
    // The bar has moved the slider by its own steps (the scroll area sets
    // them from the viewport); the step is taken again from the value it
    // started at: lines on the row grid, pages by PageStep.
    QScrollBar *bar = verticalScrollBar();
    const int from = bar->value();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderSingleStepSub:
        bar->setSliderPosition(InputRules::scrollLineTarget(
            from, action == QAbstractSlider::SliderSingleStepAdd, bar->maximum(), LineStep));
        break;
    case QAbstractSlider::SliderPageStepAdd:
        bar->setSliderPosition(std::min(from + PageStep, bar->maximum()));
        break;
    case QAbstractSlider::SliderPageStepSub:
        bar->setSliderPosition(std::max(from - PageStep, 0));
        break;
    default:
        break;
    }
}

void SettingsPage::wheelEvent(QWheelEvent *event)
{
    // One row per notch, on the row grid.
    m_wheel += event->angleDelta().y();
    while (m_wheel >= 120 || m_wheel <= -120) {
        verticalScrollBar()->triggerAction(m_wheel > 0 ? QAbstractSlider::SliderSingleStepSub
                                                       : QAbstractSlider::SliderSingleStepAdd);
        m_wheel += m_wheel > 0 ? -120 : 120;
    }
    event->accept();
}

void SettingsPage::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    // The rows span the page's width; the height is the rows' own.
    m_content->resize(viewport()->width(), std::max(m_contentHeight, viewport()->height()));
}
