#pragma once
// Every message box and file dialog of the program goes through one
// injectable interface, so that code without widgets can report to the user
// and tests can answer the questions.

#include <QString>
#include <QStringList>

#include <functional>

// A message box that another part of the program may close while it is open
// (the discard question of stored terminal requests ends when the updates
// it asks about have ended). The prompter attaches its way of closing while
// the box is shown.
class BoxCloser
{
public:
    bool isOpen() const { return static_cast<bool>(m_close); }
    // Ends the open box as if "いいえ" (7) was chosen; nothing when none is open.
    void close()
    {
        if (m_close) {
            auto close = m_close;
            close();
        }
    }
    // Prompter side.
    void attach(std::function<void()> close) { m_close = std::move(close); }
    void detach() { m_close = nullptr; }

private:
    std::function<void()> m_close;
};

class IPrompter
{
public:
    virtual ~IPrompter() = default;

    // The program's own message box (AppMessageBox): width code, line count,
    // text, caption and type bits (icon 0x10/0x20/0x30/0x40, buttons 0x4,
    // second button default 0x100). Answers 1 (OK), 6 (Yes) or 7 (No).
    virtual int appMessageBox(int widthCode, int lineCount, const QString &text,
                              const QString &caption, unsigned type) = 0;

    // The program's message box, closable through `closer` while it is open;
    // a box closed that way answers 7.
    virtual int closableMessageBox(int widthCode, int lineCount, const QString &text,
                                   const QString &caption, unsigned type, BoxCloser &closer)
    {
        (void)closer;
        return appMessageBox(widthCode, lineCount, text, caption, type);
    }

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
