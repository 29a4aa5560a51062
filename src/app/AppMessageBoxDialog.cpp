#include "app/AppMessageBoxDialog.h"

#include "common/Prompter.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace
{
constexpr int kBoxHeight = 100; // below the caption
constexpr int kButtonW = 80;
constexpr int kButtonH = 20;
constexpr int kButtonY = 65;
} // namespace

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
    const int w = boxWidth(widthCode);
    setFixedSize(w, kBoxHeight);

    int textY = 15, textH = 44;
    if (lineCount == 1) {
        textY = 25;
        textH = 20;
    } else if (lineCount == 2) {
        textY = 20;
        textH = 32;
    }
    m_text = new QLabel(text, this);
    m_text->setGeometry(60, textY, w - 80, textH);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

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
        m_yes = new QPushButton(QStringLiteral("はい"), this);
        m_no = new QPushButton(QStringLiteral("いいえ"), this);
        m_yes->setGeometry(centre - 90, kButtonY, kButtonW, kButtonH);
        m_no->setGeometry(centre + 10, kButtonY, kButtonW, kButtonH);
        connect(m_yes, &QPushButton::clicked, this, [this] { done(MsgResult::Yes); });
        connect(m_no, &QPushButton::clicked, this, [this] { done(MsgResult::No); });
        QPushButton *def = (type & 0xF00) == MsgType::DefaultSecond ? m_no : m_yes;
        def->setDefault(true);
        def->setFocus();
    } else {
        m_ok = new QPushButton(QStringLiteral("OK"), this);
        m_ok->setGeometry(centre - 40, kButtonY, kButtonW, kButtonH);
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
