#pragma once
// "設定履歴": the versions of one terminal's settings files and phone book,
// the side-by-side difference of the selected ones and "この版に戻す". The
// logic is HistoryBrowser's; this window draws it.

#include "history/HistoryBrowser.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class IPrompter;

class CHistoryDialog : public QDialog
{
    Q_OBJECT
public:
    CHistoryDialog(SettingsHistory::Store &store, const QString &termId,
                   IPrompter *prompter = nullptr, QWidget *parent = nullptr);

    HistoryBrowser &browser() { return m_browser; }
    // Selects the version lines with these numbers (0: the current file).
    void selectVersions(const std::vector<int> &numbers);

    QComboBox *fileCombo;
    QTableWidget *versionTable;
    QLabel *compareLabel;
    QCheckBox *changedOnlyBox;
    QTableWidget *diffTable;
    QPushButton *restoreButton;
    QPushButton *closeButton;

private slots:
    void onKindChanged(int index);
    void onSelectionChanged();
    void onRestore();

private:
    std::vector<int> selectedNumbers() const;
    void fillVersions();
    void showComparison();

    HistoryBrowser m_browser;
    IPrompter *m_prompter;
    HistoryBrowser::Comparison m_shown;
};
