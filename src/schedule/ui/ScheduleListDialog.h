#pragma once
// "スケジュール設定": the ten schedules with their texts; enable, add or edit,
// delete, look at and clear results. Closing (by "閉じる" or the window's
// close button) writes every "有効" box as SchEnabled.

#include "schedule/ScheduleRunner.h"
#include "schedule/ui/ScheduleLines.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QPushButton;

class CScheduleListDialog : public QDialog
{
    Q_OBJECT
public:
    CScheduleListDialog(ScheduleBook &book, ITerminalLookup &lookup, QWidget *parent = nullptr);

    struct Group : ScheduleLines {
        QGroupBox *box;
        QCheckBox *enabled;
        QPushButton *edit, *remove, *result, *clear;
    };
    std::array<Group, Schedule::Count> groups;
    QPushButton *clearAllButton;
    QPushButton *closeButton;

public slots:
    void onEdit(int number);
    void onDelete(int number);
    void onResult(int number);
    void onClear(int number);
    void onClearAll();
    void done(int r) override;

private:
    // Reads the schedule's files again and shows its group.
    void reload(int number);
    void showGroup(int number);
    void updateClearAll();

    ScheduleBook &m_book;
    ITerminalLookup &m_lookup;
    bool m_saved = false;
};
