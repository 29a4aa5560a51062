#pragma once
// What the dialog "初期設定実行" does, without its widgets: the two fields
// with their checks on leaving, the list of the range's terminal IDs that
// the register holds, and starting and ending the wait for new terminals.
// The dialog shows state() after every call. Main thread only.

#include "initsettings/InitRange.h"
#include "initsettings/NumberTable.h"

#include <QString>
#include <QStringList>

class CTermDatabase;

class InitSettingsController
{
public:
    enum class Focus { None, StartNo, Range, Execute, End, Close };

    struct State {
        QString startNo = QStringLiteral("0");
        QString range = QStringLiteral("0");
        QStringList ids; // the list, blanks removed, at most 1000
        bool executeEnabled = false;
        bool endEnabled = false;
        bool closeEnabled = true;
        bool fieldsEnabled = true;
        Focus focus = Focus::None; // where the last call moves the focus
    };

    static constexpr int MaxListed = 1000;

    InitSettingsController(CTermDatabase &db, CInitialSettingsTable &table);

    // Reads the stored range and fills the list.
    void open();
    // The start number field lost the focus with this text; false when the
    // text was refused and the field keeps the focus.
    bool leaveStartNo(const QString &text);
    // The same for the range field.
    bool leaveRange(const QString &text);
    // "実行": starts waiting when a number is free.
    void execute();
    // "終了": ends waiting.
    void end();
    // Fills the list again; while waiting, a full range ends the wait.
    void refresh();

    bool waiting() const { return m_table.running(); }
    // The window may close only while not waiting.
    bool canClose() const { return !waiting(); }
    const State &state() const { return m_state; }
    QString countText() const;
    InitRange range() const;

private:
    int rangeValue() const;
    void store();
    void showWaiting(bool waiting);
    void refuseRange(unsigned icon);

    CTermDatabase &m_db;
    CInitialSettingsTable &m_table;
    State m_state;
};
