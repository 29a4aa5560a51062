#pragma once
// "スケジュール設定詳細（スケジュール%d）": one schedule's targets, timing and
// operation. "設定" checks the fields, writes the settings and targets and
// marks the result as not run since the change.

#include "schedule/ScheduleForm.h"
#include "schedule/ScheduleRunner.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

class CScheduleDetailDialog : public QDialog
{
    Q_OBJECT
public:
    CScheduleDetailDialog(ScheduleBook &book, int number, ITerminalLookup &lookup,
                          QWidget *parent = nullptr);

    // The fields as plain values, and back.
    ScheduleForm form() const;
    void setForm(const ScheduleForm &f);
    QList<ScheduleTarget> targetRows() const;

    // Widgets (public for tests and screenshots).
    QTableWidget *targetList;
    QPushButton *addTarget, *removeTarget;
    std::array<QRadioButton *, 4> timingButtons;
    QLineEdit *yearEdit, *monthEdit, *dayEdit, *hourEdit, *minuteEdit;
    std::array<QCheckBox *, 7> weekdayBoxes; // Sunday first
    QLineEdit *weekHourEdit, *weekMinuteEdit;
    QLineEdit *monthDayEdit, *monthHourEdit, *monthMinuteEdit;
    QComboBox *otherCombo;
    std::array<QRadioButton *, 3> afterOtherButtons;
    QLineEdit *waitEdit;
    QComboBox *beginCombo;
    QLineEdit *permEdit;
    std::array<QRadioButton *, 4> processButtons;
    QTabWidget *tabs;
    QCheckBox *firmBoot, *firmAppl, *firmOther;
    QLineEdit *firmBootFile, *firmApplFile, *firmOtherFile;
    QCheckBox *sysWrite, *userWrite, *dialWrite, *otherWrite;
    QLineEdit *otherFile1, *otherFile2, *otherFile3;
    QCheckBox *sysRead, *userRead, *dialRead;
    QCheckBox *rebootBox;
    QPushButton *saveButton, *cancelButton;

public slots:
    void onAddTarget();
    void onRemoveTargets();
    void onSave();

private:
    void appendRow(const ScheduleTarget &t);
    // The field an input error points at.
    QWidget *fieldOf(int code) const;
    void updateEnabled();
    void chooseFile(QLineEdit *edit, const QString &start, const QString &filter);

    ScheduleBook &m_book;
    int m_number;
    ITerminalLookup &m_lookup;
    QButtonGroup *m_timing;
    QButtonGroup *m_process;
    QButtonGroup *m_afterOther;
};
