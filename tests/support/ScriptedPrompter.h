#pragma once
// A prompter for tests: records every message box and file dialog and
// answers them from a script (or with the default when the script is empty).

#include "common/Prompter.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>

struct PromptRecord {
    enum Kind { AppBox, SystemBox, OpenFile, SaveFile } kind;
    int widthCode = 0;
    int lineCount = 0;
    QString text;
    QString caption;
    unsigned type = 0;
    bool closedFromOutside = false; // a closable box closed by the program
    QString filter = {};            // a file dialog's filter
};

class ScriptedPrompter : public IPrompter
{
public:
    ScriptedPrompter() { setPrompter(this); }
    ~ScriptedPrompter() override { setPrompter(nullptr); }

    // Answers for the next message boxes, in order.
    void answer(int result) { m_answers.push_back(result); }
    // Answers for the next file dialogs, in order ("" = cancelled).
    void answerFile(const QString &path) { m_files.push_back(path); }

    QList<PromptRecord> records;
    // Sees every text a box or file dialog shows (the test main checks that
    // the English catalogue holds it).
    static inline std::function<void(const QString &)> textCheck;
    // Runs while a closable box is "open" (say, to let messages arrive that
    // close it); a box closed meanwhile answers 7 whatever was scripted.
    std::function<void()> whileClosableOpen;
    int beeps = 0;

    int appMessageBox(int widthCode, int lineCount, const QString &text, const QString &caption,
                      unsigned type) override;
    int closableMessageBox(int widthCode, int lineCount, const QString &text,
                           const QString &caption, unsigned type, BoxCloser &closer) override;
    int systemMessageBox(const QString &text, const QString &caption, unsigned type) override;
    QString openFileName(const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir,
                         const QString &filter) override;
    void beep() override { ++beeps; }

    // Texts of all boxes shown so far.
    QStringList texts() const;

private:
    int nextAnswer(unsigned type);
    std::deque<int> m_answers;
    std::deque<QString> m_files;
};
