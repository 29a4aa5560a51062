#pragma once
// What the window "設定履歴" shows of one terminal and does, without
// widgets: the versions of each of its files, newest first (the file in
// place on top as a line of its own when the history lacks it), the
// comparison of two versions (CP932 text, INI sections for the settings
// files) and "この版に戻す", which asks through the prompter and makes an
// earlier version the terminal's file again.

#include "history/LineDiff.h"
#include "history/SettingsHistory.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

class IPrompter;

class HistoryBrowser
{
    Q_DECLARE_TR_FUNCTIONS(HistoryBrowser)

public:
    HistoryBrowser(SettingsHistory::Store &store, const QString &termId);

    const QString &termId() const { return m_termId; }
    // The file shown; re-reads its versions.
    void setKind(SettingsHistory::Kind kind);
    SettingsHistory::Kind kind() const { return m_kind; }
    void reload();

    // One line of the version list.
    struct Line {
        int number = 0;       // 0: the file in place, not kept yet
        bool current = false; // what the terminal's file holds now
        QString version;
        QString time;
        QString origin;
        QString sent;
    };
    const std::vector<Line> &lines() const { return m_lines; }

    struct Comparison {
        bool ok = false; // both versions could be read
        QString leftTitle;
        QString rightTitle;
        std::vector<LineDiff::Row> rows;
    };
    // Two versions by number (0: the file in place), the older on the left.
    Comparison compare(int first, int second) const;
    // What the window compares for a selection of version numbers: an
    // earlier version against the current one, the current one against the
    // one before it, two versions with each other. (-1, -1): nothing.
    static std::pair<int, int> pairFor(const std::vector<int> &selected,
                                       const std::vector<Line> &lines);

    // Whether a version can be made the terminal's file again.
    bool restorable(int number) const;
    // "この版に戻す": asks, restores and tells a failure. True when restored.
    bool restore(int number, IPrompter &prompter);

    // Texts of the window.
    static QString kindText(SettingsHistory::Kind kind);
    static QString originText(SettingsHistory::Origin origin);
    static QString versionText(int number, bool current = false);

private:
    SettingsHistory::Store &m_store;
    QString m_termId;
    SettingsHistory::Kind m_kind = SettingsHistory::Kind::System;
    std::vector<Line> m_lines;
};
