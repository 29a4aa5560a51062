#pragma once
// What the window "設定履歴" shows of one terminal and does, without
// widgets: the versions of each of its files (the current one first, then
// the kept ones, newest first) with their texts, the comparison of two
// versions (CP932 text, INI sections for the settings files) and "この版に
// 戻す", which asks through the prompter and makes a kept version current.

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
        int number = 0; // 0: the current file
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
    // Two versions by number (0: the current file), the older on the left.
    Comparison compare(int first, int second) const;
    // What the window compares for a selection of version numbers: one kept
    // version against the current file, the current file against the
    // newest kept one, two versions with each other. Empty pair: nothing.
    static std::pair<int, int> pairFor(const std::vector<int> &selected,
                                       const std::vector<Line> &lines);

    // "この版に戻す": asks, restores and tells a failure. True when restored.
    bool restore(int number, IPrompter &prompter);

    // Texts of the window.
    static QString kindText(SettingsHistory::Kind kind);
    static QString originText(SettingsHistory::Origin origin);
    static QString versionText(int number);

private:
    SettingsHistory::Store &m_store;
    QString m_termId;
    SettingsHistory::Kind m_kind = SettingsHistory::Kind::System;
    std::vector<Line> m_lines;
};
