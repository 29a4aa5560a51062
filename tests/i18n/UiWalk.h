#pragma once
// Collects what a user sees of the running program: every visible text of
// its windows (all tab pages), menus and message boxes, one line per window
// kind and text; and finds what a user can't read: texts cut by their
// widget, windows larger than the screen, inputs without a label.

#include "support/Catalogue.h"
#include "support/ScriptedPrompter.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

class QMenu;
class QMenuBar;
class QWidget;

class TextCollector
{
public:
    // Every visible text of a window (all its tab pages), under `where`
    // (the class name when empty), and the window's readability problems.
    void window(QWidget *w, QString where = QString());
    // The titles and items of every menu and sub-menu of a menu bar.
    void menus(QMenuBar *bar);
    // Message boxes and file dialogs a prompter saw.
    void prompts(const QList<PromptRecord> &records);
    void add(const QString &where, const QString &text);

    // "where<TAB>text" lines, sorted, each once; newlines as "\n".
    QStringList lines() const;
    // Windows larger than the screen, cut texts, inputs nobody names.
    QStringList problems() const { return QStringList(m_problems.begin(), m_problems.end()); }
    // Window kinds that were seen.
    QSet<QString> windowKinds() const { return m_kinds; }

private:
    void collectOnce(QWidget *w, const QString &where);
    void checkReadable(QWidget *w, const QString &where);
    void menu(QMenu *m, const QString &where);

    std::set<std::pair<QString, QString>> m_items;
    std::set<QString> m_problems;
    QSet<QString> m_kinds;
};

// Harvests every modal window the moment it is the active one, then runs
// the steps planned for its class, one per turn of the event loop, and
// closes it (reject) after the last, unless it is to be left open (windows
// the program closes itself, such as progress). Those are harvested also as
// they are shown: one may come and go between two polls.
class ModalWalker
{
public:
    using Step = std::function<void(QWidget *)>;
    explicit ModalWalker(TextCollector &texts);

    void plan(const char *className, std::vector<Step> steps, bool leaveOpen = false);
    // Windows the walker harvested (modal or not) by class name.
    int seen(const char *className) const { return m_seen.value(QString::fromLatin1(className)); }

private:
    void poll();
    void shown(QWidget *w);
    TextCollector &m_texts;
    QTimer m_timer;
    std::unique_ptr<QObject> m_showFilter;
    struct Plan {
        std::vector<Step> steps;
        bool leaveOpen = false;
    };
    std::map<QString, Plan> m_plans;
    QHash<QString, int> m_seen;
};

// With KEL_SHOTS=DIR, saves a picture of the whole screen as
// DIR/<nn>-<name>.png (the windows as a user sees them); nothing otherwise.
void Shot(const QString &name);

// A walk line with what varies from run to run (dates, times, progress
// counts) replaced by placeholders.
QString NormalisedLine(QString line);

// Lines of a text file (a walk list), without the empty ones.
QStringList ReadLines(const QString &path);
void WriteLines(const QString &path, const QStringList &lines);
