#include "UiWalk.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSizeGrip>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTextStream>

namespace
{

// Items a list shows are read up to this many rows.
constexpr int RowLimit = 40;

// Shown in the window: the widget and each of its parents up to the window
// are not hidden (pages of a tab widget are visited one by one).
bool shown(QWidget *w, QWidget *window)
{
    for (QWidget *p = w; p && p != window; p = p->parentWidget())
        if (p->isHidden())
            return false;
    return true;
}

// Inside the scrolled part of a scroll area (may lie outside the window).
bool scrolled(QWidget *w, QWidget *window)
{
    for (QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (auto *area = qobject_cast<QAbstractScrollArea *>(p->parentWidget()))
            if (area->viewport() == p)
                return true;
    return false;
}

QString plain(QString text)
{
    // "&&" is a literal ampersand; a single one marks the accelerator.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

QString describe(QWidget *w)
{
    const QString name = w->objectName();
    return QString::fromLatin1(w->metaObject()->className()) +
           (name.isEmpty() ? QString() : QStringLiteral("#") + name);
}

bool isInput(QWidget *w)
{
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return !e->isReadOnly() && !qobject_cast<QComboBox *>(w->parentWidget()) &&
               !qobject_cast<QAbstractSpinBox *>(w->parentWidget());
    if (qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w))
        return true;
    if (auto *e = qobject_cast<QPlainTextEdit *>(w))
        return !e->isReadOnly();
    if (auto *e = qobject_cast<QTextEdit *>(w))
        return !e->isReadOnly();
    return false;
}

} // namespace

void TextCollector::add(const QString &where, const QString &text)
{
    if (text.trimmed().isEmpty())
        return;
    m_items.emplace(where, text);
}

void TextCollector::window(QWidget *w, QString where)
{
    if (where.isEmpty())
        where = QString::fromLatin1(w->metaObject()->className());
    m_kinds.insert(where);
    collectOnce(w, where);
    checkReadable(w, where);
    // Every page of every tab widget.
    for (QTabWidget *tabs : w->findChildren<QTabWidget *>()) {
        if (!shown(tabs, w))
            continue;
        const int current = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == current)
                continue;
            tabs->setCurrentIndex(i);
            collectOnce(tabs->widget(i), where);
            checkReadable(w, where);
        }
        tabs->setCurrentIndex(current);
    }
}

void TextCollector::collectOnce(QWidget *root, const QString &where)
{
    QWidget *window = root->window();
    if (root == window)
        add(where, window->windowTitle());
    QList<QWidget *> all = root->findChildren<QWidget *>();
    all.prepend(root);
    for (QWidget *w : all) {
        if (!shown(w, window))
            continue;
        if (!w->toolTip().isEmpty())
            add(where, w->toolTip());
        if (auto *l = qobject_cast<QLabel *>(w)) {
            add(where, l->text());
        } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            add(where, b->text());
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            add(where, g->title());
        } else if (auto *t = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < t->count(); ++i)
                add(where, t->tabText(i));
        } else if (auto *c = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < c->count(); ++i)
                add(where, c->itemText(i));
        } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
            add(where, e->placeholderText());
            if (e->isReadOnly())
                add(where, e->text());
        } else if (auto *p = qobject_cast<QPlainTextEdit *>(w)) {
            if (p->isReadOnly())
                add(where, p->toPlainText());
        } else if (auto *s = qobject_cast<QAbstractSpinBox *>(w)) {
            add(where, s->specialValueText());
        } else if (auto *bar = qobject_cast<QProgressBar *>(w)) {
            if (bar->isTextVisible())
                add(where, bar->text());
        } else if (auto *v = qobject_cast<QAbstractItemView *>(w)) {
            QAbstractItemModel *m = v->model();
            if (!m || qobject_cast<QComboBox *>(v->parentWidget()))
                continue;
            for (int c = 0; c < m->columnCount(); ++c)
                add(where, m->headerData(c, Qt::Horizontal).toString());
            for (int r = 0; r < std::min(m->rowCount(), RowLimit); ++r)
                for (int c = 0; c < m->columnCount(); ++c)
                    add(where, m->index(r, c).data().toString());
        }
    }
}

void TextCollector::checkReadable(QWidget *window, const QString &where)
{
    const auto problem = [&](QWidget *w, const QString &what) {
        m_problems.insert(where + QStringLiteral(": ") + describe(w) + QStringLiteral(" ") + what);
    };
    if (QScreen *screen = window->screen()) {
        const QSize avail = screen->availableGeometry().size();
        const QSize frame = window->frameGeometry().size();
        if (frame.width() > avail.width() || frame.height() > avail.height())
            problem(window, QStringLiteral("is %1x%2, larger than the screen's %3x%4")
                                .arg(frame.width())
                                .arg(frame.height())
                                .arg(avail.width())
                                .arg(avail.height()));
        else if (window->isVisible() &&
                 !screen->availableGeometry().contains(window->frameGeometry()))
            problem(window, QStringLiteral("runs off the screen"));
    }
    QList<QLabel *> labels = window->findChildren<QLabel *>();
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!shown(w, window) || w->isWindow() || (window->isVisible() && !w->isVisible()))
            continue;
        // The status bar's grip is the window's corner, not its content.
        if (!scrolled(w, window) && !qobject_cast<QSizeGrip *>(w)) {
            const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
            if (!window->rect().contains(r))
                problem(w, QStringLiteral("lies outside its window (%1,%2 %3x%4 in %5x%6)")
                               .arg(r.x())
                               .arg(r.y())
                               .arg(r.width())
                               .arg(r.height())
                               .arg(window->width())
                               .arg(window->height()));
        }
        const QFontMetrics fm = w->fontMetrics();
        if (auto *l = qobject_cast<QLabel *>(w)) {
            if (l->text().isEmpty() || l->pixmap().isNull() == false)
                continue;
            const QSize hint = l->sizeHint();
            const bool wide = l->wordWrap() ? l->height() < l->heightForWidth(l->width())
                                            : l->width() < hint.width();
            if (wide || l->height() < fm.height())
                problem(l, QStringLiteral("cuts \"%1\"").arg(l->text()));
        } else if (auto *b = qobject_cast<QPushButton *>(w)) {
            if (fm.horizontalAdvance(plain(b->text())) + 6 > b->width())
                problem(b, QStringLiteral("cuts \"%1\"").arg(b->text()));
        } else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
            auto *b = static_cast<QAbstractButton *>(w);
            if (!b->text().isEmpty() && b->width() < b->sizeHint().width())
                problem(b, QStringLiteral("cuts \"%1\"").arg(b->text()));
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            if (fm.horizontalAdvance(g->title()) + 16 > g->width())
                problem(g, QStringLiteral("cuts \"%1\"").arg(g->title()));
        }
        if (isInput(w)) {
            bool named = false;
            for (QWidget *p = w; p && p != window && !named; p = p->parentWidget()) {
                named = !p->accessibleName().isEmpty();
                for (QLabel *l : labels)
                    named = named || l->buddy() == p;
            }
            if (!named)
                problem(w, QStringLiteral("has no label tied to it"));
        }
    }
}

void TextCollector::menus(QMenuBar *bar)
{
    m_kinds.insert(QStringLiteral("menu"));
    for (QAction *a : bar->actions()) {
        add(QStringLiteral("menu"), a->text());
        if (a->menu())
            menu(a->menu(), QStringLiteral("menu"));
    }
}

void TextCollector::menu(QMenu *m, const QString &where)
{
    for (QAction *a : m->actions()) {
        if (a->isSeparator())
            continue;
        add(where, a->text());
        if (a->menu())
            menu(a->menu(), where);
    }
}

void TextCollector::prompts(const QList<PromptRecord> &records)
{
    for (const PromptRecord &r : records) {
        const bool box = r.kind == PromptRecord::AppBox || r.kind == PromptRecord::SystemBox;
        const QString where = box ? QStringLiteral("message box") : QStringLiteral("file dialog");
        m_kinds.insert(where);
        add(where, r.caption);
        if (box)
            add(where, r.text);
        else
            for (const QString &f : r.filter.split(QStringLiteral(";;")))
                add(where, f);
    }
}

QStringList TextCollector::lines() const
{
    QSet<QString> seen;
    QStringList out;
    for (const auto &[where, text] : m_items) {
        QString t = text;
        t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        t.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
        t.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        const QString line = NormalisedLine(where + QLatin1Char('\t') + t);
        if (!seen.contains(line))
            out << line;
        seen.insert(line);
    }
    out.sort();
    return out;
}

namespace
{
class ShowFilter : public QObject
{
public:
    explicit ShowFilter(std::function<void(QWidget *)> shown) : m_shown(std::move(shown)) {}
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::ShowToParent && o->isWidgetType() && static_cast<QWidget *>(o)->isWindow())
            m_shown(static_cast<QWidget *>(o));
        return false;
    }

private:
    std::function<void(QWidget *)> m_shown;
};
} // namespace

ModalWalker::ModalWalker(TextCollector &texts)
    : m_texts(texts), m_showFilter(std::make_unique<ShowFilter>([this](QWidget *w) { shown(w); }))
{
    qApp->installEventFilter(m_showFilter.get());
    m_timer.setInterval(2);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

void ModalWalker::plan(const char *className, std::vector<Step> steps, bool leaveOpen)
{
    m_plans[QString::fromLatin1(className)] = Plan{std::move(steps), leaveOpen};
}

void ModalWalker::shown(QWidget *w)
{
    // Sent once the window is laid out and placed (its own show event is
    // done), before the code that showed it goes on; the poll still harvests
    // what changes while it is open.
    const auto it = m_plans.find(QString::fromLatin1(w->metaObject()->className()));
    if (it != m_plans.end() && it->second.leaveOpen)
        m_texts.window(w);
}

void ModalWalker::poll()
{
    QWidget *w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || w->property("kelWalkBusy").toBool())
        return;
    const QString cls = QString::fromLatin1(w->metaObject()->className());
    if (!w->property("kelWalkSeen").toBool()) {
        w->setProperty("kelWalkSeen", true);
        m_texts.window(w);
        ++m_seen[cls];
        Shot(cls);
    }
    const auto it = m_plans.find(cls);
    const int step = w->property("kelWalkStep").toInt();
    if (it != m_plans.end() && step < int(it->second.steps.size())) {
        w->setProperty("kelWalkStep", step + 1);
        w->setProperty("kelWalkBusy", true);
        const Step s = it->second.steps[std::size_t(step)];
        QPointer<QWidget> guard(w);
        // Later, so that a dialog the step opens runs its loop outside this poll.
        QTimer::singleShot(0, w, [s, guard] {
            s(guard);
            if (guard)
                guard->setProperty("kelWalkBusy", false);
        });
        return;
    }
    if ((it != m_plans.end() && it->second.leaveOpen) || w->property("kelWalkClosing").toBool())
        return;
    w->setProperty("kelWalkClosing", true);
    QPointer<QWidget> guard(w);
    QTimer::singleShot(0, w, [guard] {
        if (auto *d = qobject_cast<QDialog *>(guard.data()))
            d->reject();
        else if (guard)
            guard->close();
    });
}

void Shot(const QString &name)
{
    const QString dir = qEnvironmentVariable("KEL_SHOTS");
    if (dir.isEmpty())
        return;
    static int count = 0;
    QApplication::processEvents();
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    screen.save(
        QStringLiteral("%1/%2-%3.png").arg(dir).arg(++count, 2, 10, QLatin1Char('0')).arg(name));
}

QString NormalisedLine(QString line)
{
    // Dates and times of the day the walk runs on, and the count of a
    // progress window, whose moment of reading varies, read the same always.
    static const QRegularExpression date(QStringLiteral("\\d{4}/\\d{2}/\\d{2}"));
    static const QRegularExpression time(QStringLiteral("\\d{2}([:：])\\d{2}"));
    static const QRegularExpression counter(QStringLiteral("^(CProgressDialog\t)\\d+ / \\d+"));
    // The seconds of a date, and the test's own folder, vary as well.
    static const QRegularExpression seconds(QStringLiteral("(yyyy/mm/dd hh:mm):\\d{2}"));
    static const QRegularExpression folder(QStringLiteral("/\\S*/kelmng-test-\\w+"));
    line.replace(date, QStringLiteral("yyyy/mm/dd"));
    line.replace(time, QStringLiteral("hh\\1mm"));
    line.replace(seconds, QStringLiteral("\\1:ss"));
    line.replace(folder, QStringLiteral("<folder>"));
    line.replace(counter, QStringLiteral("\\1n / n"));
    return line;
}

QStringList ReadLines(const QString &path)
{
    QStringList out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (!line.isEmpty())
            out << line;
    }
    return out;
}

void WriteLines(const QString &path, const QStringList &lines)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    QTextStream out(&f);
    for (const QString &l : lines)
        out << l << '\n';
}
