#pragma once
// The prompter of the running program: real message boxes and file dialogs.
// On the offscreen platform nobody can answer a box, so each one is written
// to stderr and answered with its default button instead.

#include "common/Prompter.h"

class WidgetPrompter : public IPrompter
{
public:
    int appMessageBox(int widthCode, int lineCount, const QString &text, const QString &caption,
                      unsigned type) override;
    int closableMessageBox(int widthCode, int lineCount, const QString &text,
                           const QString &caption, unsigned type, BoxCloser &closer) override;
    int systemMessageBox(const QString &text, const QString &caption, unsigned type) override;
    QString openFileName(const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir,
                         const QString &filter) override;
    void beep() override;

    // Whether boxes are answered without showing them.
    static bool headless();
    // While the program ends, no box or file dialog is shown: a box answers
    // as if closed (7), a file dialog as cancelled.
    static void setClosing(bool closing);
    static bool closing();
};
