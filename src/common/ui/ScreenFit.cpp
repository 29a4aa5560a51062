#include "common/ui/ScreenFit.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace
{

// Wants its whole content; the window around it decides how much it gets.
class WholeScrollArea : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override
    {
        const int f = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(f, f) : QScrollArea::sizeHint();
    }
    QSize minimumSizeHint() const override { return QSize(120, 80); }
};

// A window manager's frame before the window has one: a title bar and borders.
QMargins estimatedFrame(const QWidget *window)
{
    const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
    return QMargins(4, title, 4, 4);
}

} // namespace

QScrollArea *ScreenFit::scrollable(QWidget *content, QWidget *parent)
{
    auto *area = new WholeScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    return area;
}

QSize ScreenFit::room(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QMargins frame = estimatedFrame(window);
    if (window->isVisible()) {
        const QRect outer = window->frameGeometry(), inner = window->geometry();
        if (outer != inner)
            frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    return screen->availableGeometry().marginsRemoved(frame).size();
}

void ScreenFit::resizeToFit(QWidget *window)
{
    // Texts set since the layouts last ran count: before a window is shown
    // its widgets don't tell their layouts, and a scroll area never tells
    // its window that its content grew.
    for (QWidget *w : window->findChildren<QWidget *>())
        w->updateGeometry();
    for (QLayout *layout : window->findChildren<QLayout *>())
        layout->invalidate();
    QSize want = window->sizeHint();
    const QSize space = room(window);
    // A vertical scroll bar takes its width from the content.
    if (want.height() > space.height())
        want.rwidth() += window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    window->resize(want.boundedTo(space));
    // A window already shown grew where it stood: back onto the screen.
    const QScreen *screen = window->screen();
    if (window->isVisible() && screen) {
        const QRect work = screen->availableGeometry();
        const QRect frame = window->frameGeometry();
        const int x = std::clamp(frame.x(), work.left(),
                                 std::max(work.left(), work.right() - frame.width() + 1));
        const int y = std::clamp(frame.y(), work.top(),
                                 std::max(work.top(), work.bottom() - frame.height() + 1));
        window->move(x, y);
    }
}
