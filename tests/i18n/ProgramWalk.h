#pragma once
// Runs the whole program in this process on a prepared program folder and
// walks every window, dialog, menu and message box through its road.

#include "UiWalk.h"

#include "support/TempDir.h"

#include <QStringList>

class ProgramWalk
{
public:
    // Extra start-up arguments (say "--lang=en").
    explicit ProgramWalk(QStringList args = {});
    ~ProgramWalk();

    // False when the program refused to start.
    bool run();

    TextCollector texts;
    // Texts of the program folder that are data, not the program's words:
    // the settings descriptions the editor shows.
    QStringList dataTexts() const;
    QString folder() const { return m_dir.path(); }

private:
    void prepareFolder();
    TempDir m_dir;
    QStringList m_args;
};
