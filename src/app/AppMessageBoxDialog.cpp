#include "app/AppMessageBoxDialog.h"

#include "common/Prompter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace
{
constexpr int kBoxHeight = 100; // below the caption
constexpr int kButtonW = 80;
constexpr int kButtonH = 20;
constexpr int kButtonY = 65;
// Longer lines than this wrap.
constexpr int kReadableWidth = 560;
} // namespace

QSize AppMessageBoxDialog::textArea(const QString &text, int width) const
{
    const QFontMetrics fm(font());
    const int flags = Qt::AlignLeft | Qt::TextExpandTabs;
    QRect r = fm.boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), flags, text);
    if (r.width() > width) {
        // Wider than the box: wrap at the box's width or at the readable
        // measure, whichever is wider, unless the screen is narrower.
        int measure = std::max(width, kReadableWidth);
        if (const QScreen *s = screen())
            measure = std::min(measure, s->availableGeometry().width() - 120);
        r = fm.boundingRect(QRect(0, 0, std::max(measure, width), QWIDGETSIZE_MAX),
                            flags | Qt::TextWordWrap, text);
    }
    return r.size();
}

int AppMessageBoxDialog::boxWidth(int widthCode)
{
    switch (widthCode) {
    case 0:
        return 360;
    case 1:
        return 500;
    case 2:
        return 700;
    default:
        return widthCode < 280 ? 280 : widthCode;
    }
}

AppMessageBoxDialog::AppMessageBoxDialog(int widthCode, int lineCount, const QString &text,
                                         const QString &caption, unsigned type, QWidget *parent,
                                         QPointer<AppMessageBoxDialog> *handleSlot)
    : QDialog(parent), m_type(type), m_handleSlot(handleSlot)
{
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    int w = boxWidth(widthCode);
    int textY = 15, textH = 44;
    if (lineCount == 1) {
        textY = 25;
        textH = 20;
    } else if (lineCount == 2) {
        textY = 20;
        textH = 32;
    }
    m_text = new QLabel(text, this);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The box grows to its text when the text needs more room than the width
    // code and line count give it (long lines, more lines, another
    // language); lines wider than a readable measure wrap at blanks.
    const QSize area = textArea(text, w - 80);
    int buttonY = kButtonY;
    int height = kBoxHeight;
    if (area.width() > w - 80 || area.height() > textH) {
        w = std::max(w, area.width() + 80);
        textY = 15;
        textH = std::max(textH, area.height());
        buttonY = textY + textH + 16;
        height = buttonY + kButtonH + 15;
        m_text->setWordWrap(true);
    }
    setFixedSize(w, height);
    m_text->setGeometry(60, textY, w - 80, textH);

    QStyle::StandardPixmap icon = QStyle::SP_MessageBoxInformation;
    switch (type & 0xF0) {
    case MsgType::IconError:
        icon = QStyle::SP_MessageBoxCritical;
        break;
    case MsgType::IconQuestion:
        icon = QStyle::SP_MessageBoxQuestion;
        break;
    case MsgType::IconWarning:
        icon = QStyle::SP_MessageBoxWarning;
        break;
    default:
        break;
    }
    m_icon = new QLabel(this);
    m_icon->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
    m_icon->setGeometry(16, 18, 32, 32);

    const int centre = w / 2;
    if ((type & 0x0F) == MsgType::YesNo) {
        m_yes = new QPushButton(tr("はい"), this);
        m_no = new QPushButton(tr("いいえ"), this);
        m_yes->setGeometry(centre - 90, buttonY, kButtonW, kButtonH);
        m_no->setGeometry(centre + 10, buttonY, kButtonW, kButtonH);
        connect(m_yes, &QPushButton::clicked, this, [this] { done(MsgResult::Yes); });
        connect(m_no, &QPushButton::clicked, this, [this] { done(MsgResult::No); });
        QPushButton *def = (type & 0xF00) == MsgType::DefaultSecond ? m_no : m_yes;
        def->setDefault(true);
        def->setFocus();
    } else {
        m_ok = new QPushButton(tr("OK"), this);
        m_ok->setGeometry(centre - 40, buttonY, kButtonW, kButtonH);
        m_ok->setDefault(true);
        m_ok->setFocus();
        connect(m_ok, &QPushButton::clicked, this, [this] { done(MsgResult::Ok); });
    }
    if (m_handleSlot)
        *m_handleSlot = this;
}

AppMessageBoxDialog::~AppMessageBoxDialog()
{
    if (m_handleSlot && *m_handleSlot == this)
        *m_handleSlot = nullptr;
}

void AppMessageBoxDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (QWidget *p = parentWidget()) {
        const QRect r = p->window()->frameGeometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
    QApplication::beep();
}

void AppMessageBoxDialog::closeFromOutside()
{
    m_closedFromOutside = true;
    done(MsgResult::No);
}

int AppMessageBoxDialog::run()
{
    const int r = exec();
    // Closing through the window's close button ends the box with 7.
    return r == MsgResult::Ok || r == MsgResult::Yes ? r : MsgResult::No;
}
