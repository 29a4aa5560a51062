#include "app/MainFrame.h"

#include "common/CommandScope.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QTimerEvent>

namespace
{
constexpr int kBusyTimerMs = 50;
} // namespace

QString CMainFrame::title()
{
    return tr("クヴァＩＰフォンマネージャ 管理用ツール");
}

CMainFrame::CMainFrame(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(title());
    // Message pane plus the four indicator panes of the status bar (kana,
    // caps lock, num lock, scroll lock).
    m_message = new QLabel(this);
    statusBar()->addWidget(m_message, 1);
    // The count of silent terminals beside the list's line.
    m_silent = new QLabel(this);
    m_silent->setObjectName(QStringLiteral("silentPane"));
    statusBar()->addWidget(m_silent);
    for (const char *name : {"KANA", "CAP", "NUM", "SCRL"}) {
        auto *pane = new QLabel(this);
        pane->setObjectName(QLatin1String(name));
        pane->setMinimumWidth(36);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        statusBar()->addPermanentWidget(pane);
    }
    // The whole window, title bar and borders included, within the work
    // area; the window manager's frame is known only once it is shown.
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
        setGeometry(
            initialGeometry(s->availableGeometry()).marginsRemoved(QMargins(4, title, 4, 4)));
    }
    BusyTimer::setHook([this](bool start) { start ? startBusyTimer() : stopBusyTimer(); });
}

CMainFrame::~CMainFrame()
{
    BusyTimer::setHook({});
}

QRect CMainFrame::initialGeometry(const QRect &workArea)
{
    const int w = std::min(workArea.width(), 1024);
    const int h = std::min(workArea.height(), 768);
    return QRect(workArea.x() + (workArea.width() - w) / 2,
                 workArea.y() + (workArea.height() - h) / 2, w, h);
}

void CMainFrame::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!m_placed) {
        m_placed = true;
        QTimer::singleShot(0, this, &CMainFrame::keepOnScreen);
    }
}

void CMainFrame::keepOnScreen()
{
    const QScreen *s = screen();
    if (!s || isMaximized() || isFullScreen())
        return;
    const QRect outer = frameGeometry(), inner = geometry();
    const QRect work = s->availableGeometry();
    if (work.contains(outer))
        return;
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    setGeometry(initialGeometry(work).marginsRemoved(frame));
}

void CMainFrame::setView(QWidget *view)
{
    setCentralWidget(view);
}

void CMainFrame::watchMenus(QMenuBar *bar)
{
    for (QMenu *menu : bar->findChildren<QMenu *>()) {
        connect(menu, &QMenu::aboutToShow, this, [] { ProcessValues::operatorBusy.fetch_or(1); });
        connect(menu, &QMenu::aboutToHide, this, [this] { startBusyTimer(); });
    }
}

void CMainFrame::startBusyTimer()
{
    m_busyTimer.start(kBusyTimerMs, this);
}

void CMainFrame::stopBusyTimer()
{
    m_busyTimer.stop();
}

void CMainFrame::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == m_busyTimer.timerId()) {
        // The flag falls once the menu or command is over.
        ProcessValues::operatorBusy.fetch_and(~1u);
        m_busyTimer.stop();
        return;
    }
    QMainWindow::timerEvent(e);
}

void CMainFrame::closeEvent(QCloseEvent *e)
{
    if (m_closing) {
        e->accept();
        return;
    }
    if (ProcessValues::remoteUpdateCount.load() != 0 || (m_mayClose && !m_mayClose())) {
        prompter().beep();
        e->ignore();
        return;
    }
    m_closing = true;
    if (m_stopThreads)
        m_stopThreads();
    e->accept();
}
