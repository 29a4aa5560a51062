#include "ScriptedPrompter.h"

namespace
{

void expectTranslatable(const QString &text, const QString &caption)
{
    if (ScriptedPrompter::textCheck) {
        ScriptedPrompter::textCheck(text);
        ScriptedPrompter::textCheck(caption);
    }
}

} // namespace

int ScriptedPrompter::nextAnswer(unsigned type)
{
    if (!m_answers.empty()) {
        const int a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    if ((type & 0x0F) == MsgType::YesNo)
        return (type & 0xF00) == MsgType::DefaultSecond ? MsgResult::No : MsgResult::Yes;
    return MsgResult::Ok;
}

int ScriptedPrompter::appMessageBox(int widthCode, int lineCount, const QString &text,
                                    const QString &caption, unsigned type)
{
    expectTranslatable(text, caption);
    records.append({PromptRecord::AppBox, widthCode, lineCount, text, caption, type});
    return nextAnswer(type);
}

int ScriptedPrompter::closableMessageBox(int widthCode, int lineCount, const QString &text,
                                         const QString &caption, unsigned type, BoxCloser &closer)
{
    expectTranslatable(text, caption);
    records.append({PromptRecord::AppBox, widthCode, lineCount, text, caption, type});
    const qsizetype index = records.size() - 1;
    bool closed = false;
    closer.attach([&closed] { closed = true; });
    if (whileClosableOpen)
        whileClosableOpen();
    closer.detach();
    const int answer = nextAnswer(type);
    if (!closed)
        return answer;
    records[index].closedFromOutside = true;
    return MsgResult::No;
}

int ScriptedPrompter::systemMessageBox(const QString &text, const QString &caption, unsigned type)
{
    expectTranslatable(text, caption);
    records.append({PromptRecord::SystemBox, 0, 0, text, caption, type});
    return nextAnswer(type);
}

QString ScriptedPrompter::openFileName(const QString &caption, const QString &dir,
                                       const QString &filter)
{
    expectTranslatable(filter, caption);
    records.append({PromptRecord::OpenFile, 0, 0, dir, caption, 0, false, filter});
    if (m_files.empty())
        return {};
    QString f = m_files.front();
    m_files.pop_front();
    return f;
}

QString ScriptedPrompter::saveFileName(const QString &caption, const QString &dir,
                                       const QString &filter)
{
    expectTranslatable(filter, caption);
    records.append({PromptRecord::SaveFile, 0, 0, dir, caption, 0, false, filter});
    if (m_files.empty())
        return {};
    QString f = m_files.front();
    m_files.pop_front();
    return f;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const auto &r : records)
        out << r.text;
    return out;
}
