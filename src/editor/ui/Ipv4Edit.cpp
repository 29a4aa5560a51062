#include "editor/ui/Ipv4Edit.h"

#include "editor/InputRules.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>

namespace
{
constexpr int DotWidth = 8;
} // namespace

Ipv4Edit::Ipv4Edit(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    auto *validator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < 4; ++i) {
        auto *f = new QLineEdit(this);
        f->setObjectName(QStringLiteral("octet%1").arg(i));
        f->setFrame(false);
        f->setAlignment(Qt::AlignCenter);
        f->setValidator(validator);
        f->setContextMenuPolicy(Qt::NoContextMenu);
        f->installEventFilter(this);
        connect(f, &QLineEdit::textEdited, this, [this, i] { onEdited(i); });
        m_fields[i] = f;
    }
    setFocusProxy(m_fields[0]);
}

QString Ipv4Edit::text() const
{
    bool blank = true;
    QStringList parts;
    for (QLineEdit *f : m_fields) {
        blank = blank && f->text().isEmpty();
        parts << QString::number(f->text().toInt());
    }
    return blank ? QString() : parts.join(u'.');
}

void Ipv4Edit::setText(const QString &dotted)
{
    const std::optional<std::uint32_t> a = InputRules::parseAddress(dotted);
    for (int i = 0; i < 4; ++i)
        m_fields[i]->setText(a ? QString::number((*a >> (24 - 8 * i)) & 0xFF) : QString());
}

void Ipv4Edit::setFieldToolTip(const QString &tip)
{
    for (QLineEdit *f : m_fields)
        f->setToolTip(tip);
}

bool Ipv4Edit::holdsFocus() const
{
    const QWidget *w = QApplication::focusWidget();
    return w && (w == this || isAncestorOf(w));
}

void Ipv4Edit::focusField(int i, bool atStart)
{
    QLineEdit *f = m_fields[i];
    f->setFocus(Qt::OtherFocusReason);
    if (atStart)
        f->selectAll();
    else
        f->setCursorPosition(int(f->text().size()));
}

void Ipv4Edit::onEdited(int i)
{
    QLineEdit *f = m_fields[i];
    if (f->text().toInt() > 255)
        f->setText(QStringLiteral("255"));
    if (f->text().size() == 3 && i < 3)
        focusField(i + 1, true);
}

bool Ipv4Edit::eventFilter(QObject *watched, QEvent *event)
{
    const auto it = std::find(m_fields.begin(), m_fields.end(), watched);
    if (it == m_fields.end())
        return QWidget::eventFilter(watched, event);
    const int i = int(it - m_fields.begin());
    QLineEdit *f = m_fields[i];
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Period:
        case Qt::Key_Space:
            if (i < 3 && !f->text().isEmpty() && !f->hasSelectedText())
                focusField(i + 1, true);
            return true;
        case Qt::Key_Backspace:
            if (i > 0 && f->cursorPosition() == 0 && !f->hasSelectedText()) {
                focusField(i - 1, false);
                return true;
            }
            break;
        case Qt::Key_Left:
            if (i > 0 && f->cursorPosition() == 0) {
                focusField(i - 1, false);
                return true;
            }
            break;
        case Qt::Key_Right:
            if (i < 3 && f->cursorPosition() == f->text().size()) {
                focusField(i + 1, true);
                return true;
            }
            break;
        default:
            break;
        }
    } else if (event->type() == QEvent::FocusIn) {
        update();
    } else if (event->type() == QEvent::FocusOut) {
        update();
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // A context menu or another window taking the focus is no leaving.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            !holdsFocus())
            emit left();
    }
    return QWidget::eventFilter(watched, event);
}

void Ipv4Edit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int inner = width() - 4;
    const int fieldWidth = (inner - 3 * DotWidth) / 4;
    for (int i = 0; i < 4; ++i)
        m_fields[i]->setGeometry(2 + i * (fieldWidth + DotWidth), 2, fieldWidth, height() - 4);
}

void Ipv4Edit::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}

// The frame of an edit around the four fields, and the dots between them.
void Ipv4Edit::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    if (holdsFocus())
        frame.state |= QStyle::State_HasFocus;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, this);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    for (int i = 0; i < 3; ++i) {
        const QRect f = m_fields[i]->geometry();
        p.drawText(QRect(f.right() + 1, f.top(), DotWidth, f.height()), Qt::AlignCenter,
                   QStringLiteral("."));
    }
}
