#pragma once
// Titles and texts of the progress window per operation index (0..14) and
// the texts it shows while it runs.

#include <QString>

namespace ProgressOp
{
constexpr int TermInfo = 0;
constexpr int Restart = 1;
constexpr int ForceClose = 2;
constexpr int ReadSys = 3;
constexpr int WriteSys = 4;
constexpr int ReadUser = 5;
constexpr int WriteUser = 6;
constexpr int WriteBoot = 7;
constexpr int WriteApli = 8;
constexpr int ReadDial = 9;
constexpr int WriteDial = 10;
constexpr int AddTerminals = 11;
constexpr int DeleteTerminals = 12;
constexpr int DeleteFiles = 13;
constexpr int WriteCommon = 14;
constexpr int Count = 15;
} // namespace ProgressOp

struct ProgressTexts {
    QString title;
    QString text;
    bool stopEnabled = true; // the operations the view runs itself can't be stopped
};

// Texts of an operation index; an unknown index gives those of index 4,
// the window's own resource.
ProgressTexts progressTexts(int op);
// "%ld / %ld  処理済み"
QString progressCounter(int done, int total);
// The text once "中止" was pressed.
QString progressStoppingText();
