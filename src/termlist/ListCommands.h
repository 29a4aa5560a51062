#pragma once
// The list window's own commands without their windows: the questions, the
// register work, the files and the reports of clear-all, text export, add,
// delete, clearing results, system settings, log display and exit. The view
// runs the dialogs that collect input, hands their answers here and enables
// and redraws the list when a command ends.

#include "common/UiLanguage.h"
#include "register/ListCond.h"
#include "register/RegisterTypes.h"
#include "termlist/ListColumns.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

struct CommandContext;

class ListCommands
{
public:
    // Opens the progress window of a register operation (ProgressOp); it is
    // shown while the answer lives.
    using ProgressFactory = std::function<std::unique_ptr<IRegisterProgress>(int operation)>;

    ListCommands(CommandContext &context, ProgressFactory progress);

    // The stored list condition; after a failure (reported) the standard one.
    void readCondition(ListCondInfo &cond);
    // Gives the notice applier the stored rate of new terminals and the
    // firmware checks their wait, then ends the checks that ran out.
    void applyStoredSettings();
    // Reads the list under `cond`; a failure is reported and answers false.
    bool readList(const ListCondInfo &cond, std::vector<TermEntry> &entries);
    // The count of silent terminals for the status bar; empty when unknown.
    QString silentLine();
    // The status line under a list of `shown` terminals, with the new
    // terminals refused by the per-sender limit.
    QString statusLine(qint64 shown) const;

    // "フィルタ・ソート全解除": true when the user agreed.
    bool confirmClearAll();
    // Writes the list condition; a failure is reported and answers false.
    bool saveCondition(const ListCondInfo &cond);
    // Asks, then writes the shown list to its text file and reports how it went.
    void exportList(const std::vector<ViewColumn> &columns, const std::vector<TermEntry> &entries);
    // Registers `count` terminals numbered on from `firstId`.
    void addTerminals(const QString &firstId, int count);
    // Ask first; false when the user declined (nothing changed).
    bool deleteTerminals(const std::vector<TermEntry> &selected);
    bool clearResults(const std::vector<TermEntry> &selected);
    // Reads the system settings; a failure is reported and answers false.
    bool readSettings(SystemSettings &settings);
    // Stores the settings the user changed and hands them on: settings
    // history, new-terminal rate, firmware checks and the manager (even when
    // the register kept the old ones). A new interval marks the list for redraw.
    void applySettings(const SystemSettings &before, const SystemSettings &changed);
    // Asks for a log file and opens it in the configured editor.
    void showLog();
    // Keeps the interface language for the next start and says so.
    void chooseLanguage(UiLanguage language);
    // False (and told why) while terminals are being updated remotely.
    bool exitAllowed();

private:
    CommandContext &m_ctx;
    ProgressFactory m_progress;
};
