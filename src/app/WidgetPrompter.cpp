#include "app/WidgetPrompter.h"

#include "app/AppMessageBoxDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace
{

int defaultAnswer(unsigned type)
{
    if ((type & 0x0F) == MsgType::YesNo)
        return (type & 0xF00) == MsgType::DefaultSecond ? MsgResult::No : MsgResult::Yes;
    return MsgResult::Ok;
}

void toStderr(const QString &text, const QString &caption)
{
    std::fprintf(stderr, "%s\n%s\n", caption.toUtf8().constData(), text.toUtf8().constData());
    std::fflush(stderr);
}

bool g_closing = false;

// A box nobody can answer: on the offscreen platform the default, while the
// program ends "closed".
bool answeredUnseen(const QString &text, const QString &caption, unsigned type, int &answer)
{
    if (!g_closing && !WidgetPrompter::headless())
        return false;
    toStderr(text, caption);
    answer = g_closing ? MsgResult::No : defaultAnswer(type);
    return true;
}

} // namespace

void WidgetPrompter::setClosing(bool closing)
{
    g_closing = closing;
}

bool WidgetPrompter::closing()
{
    return g_closing;
}

bool WidgetPrompter::headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

int WidgetPrompter::appMessageBox(int widthCode, int lineCount, const QString &text,
                                  const QString &caption, unsigned type)
{
    if (int answer = 0; answeredUnseen(text, caption, type, answer))
        return answer;
    AppMessageBoxDialog box(widthCode, lineCount, text, caption, type,
                            QApplication::activeWindow());
    return box.run();
}

int WidgetPrompter::closableMessageBox(int widthCode, int lineCount, const QString &text,
                                       const QString &caption, unsigned type, BoxCloser &closer)
{
    if (int answer = 0; answeredUnseen(text, caption, type, answer))
        return answer;
    QPointer<AppMessageBoxDialog> handle;
    AppMessageBoxDialog box(widthCode, lineCount, text, caption, type,
                            QApplication::activeWindow(), &handle);
    closer.attach([&handle] {
        if (handle)
            handle->closeFromOutside();
    });
    const int answer = box.run();
    closer.detach();
    return answer;
}

int WidgetPrompter::systemMessageBox(const QString &text, const QString &caption, unsigned type)
{
    if (int answer = 0; answeredUnseen(text, caption, type, answer))
        return answer;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & 0xF0) {
    case MsgType::IconError:
        icon = QMessageBox::Critical;
        break;
    case MsgType::IconQuestion:
        icon = QMessageBox::Question;
        break;
    case MsgType::IconWarning:
        icon = QMessageBox::Warning;
        break;
    case MsgType::IconInformation:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, QApplication::activeWindow());
    if ((type & 0x0F) == MsgType::YesNo) {
        QPushButton *yes = box.addButton(AppMessageBoxDialog::tr("はい"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(AppMessageBoxDialog::tr("いいえ"), QMessageBox::NoRole);
        box.setDefaultButton((type & 0xF00) == MsgType::DefaultSecond ? no : yes);
        box.exec();
        return box.clickedButton() == static_cast<QAbstractButton *>(yes) ? MsgResult::Yes
                                                                          : MsgResult::No;
    }
    box.addButton(AppMessageBoxDialog::tr("OK"), QMessageBox::AcceptRole);
    box.exec();
    return MsgResult::Ok;
}

QString WidgetPrompter::openFileName(const QString &caption, const QString &dir,
                                     const QString &filter)
{
    if (headless() || g_closing)
        return {};
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, dir, filter);
}

QString WidgetPrompter::saveFileName(const QString &caption, const QString &dir,
                                     const QString &filter)
{
    if (headless() || g_closing)
        return {};
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, dir, filter);
}

void WidgetPrompter::beep()
{
    QApplication::beep();
}
