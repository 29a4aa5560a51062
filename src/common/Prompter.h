#pragma once
// Every message box and file dialog of the program goes through one
// injectable interface, so that code without widgets can report to the user
// and tests can answer the questions.

#include <QString>
#include <QStringList>

class IPrompter
{
public:
    virtual ~IPrompter() = default;

    // The program's own message box (AppMessageBox): width code, line count,
    // text, caption and type bits (icon 0x10/0x20/0x30/0x40, buttons 0x4,
    // second button default 0x100). Answers 1 (OK), 6 (Yes) or 7 (No).
    virtual int appMessageBox(int widthCode, int lineCount, const QString &text,
                              const QString &caption, unsigned type) = 0;

    // A plain system message box (start-up refusals, compaction failure).
    // Same type bits; answers 1, 6 or 7.
    virtual int systemMessageBox(const QString &text, const QString &caption, unsigned type) = 0;

    // File dialogs; an empty answer means cancelled.
    virtual QString openFileName(const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &dir,
                                 const QString &filter) = 0;

    // A warning beep (closing refused while remote updates run).
    virtual void beep() {}
};

// The process-wide prompter. Without one installed, a prompter that answers
// every question with its default (OK, or the default button) and writes the
// text to stderr is used.
IPrompter &prompter();
void setPrompter(IPrompter *p); // nullptr restores the fallback

// Short forms for the common case.
inline int AppMessageBox(int widthCode, int lineCount, const QString &text, const QString &caption,
                         unsigned type)
{
    return prompter().appMessageBox(widthCode, lineCount, text, caption, type);
}

namespace MsgType
{
constexpr unsigned IconError = 0x10;
constexpr unsigned IconQuestion = 0x20;
constexpr unsigned IconWarning = 0x30;
constexpr unsigned IconInformation = 0x40;
constexpr unsigned YesNo = 0x4;
constexpr unsigned DefaultSecond = 0x100;
} // namespace MsgType

namespace MsgResult
{
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgResult
