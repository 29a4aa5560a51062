#pragma once
// The logic of the settings editor form, without widgets: which entries get
// a row on which page, what each input shows, the check when the user leaves
// an input (store or revert), the enabling groups and the alternative input
// settings that a parent's value switches, the common file's check boxes,
// the required-value check and the save. The dialog (ui/) draws what this
// class holds and hands it the user's input; tests drive it directly.

#include "editor/DescriptionLoader.h"
#include "editor/InputRules.h"
#include "editor/SettingsDescription.h"

#include <QList>
#include <QString>

class IPrompter;

// What the form tells the widgets that show it.
class IFormView
{
public:
    virtual ~IFormView() = default;
    // The entry's shown state changed (enabled, label, options, text,
    // limit, tooltip): read it again.
    virtual void entryChanged(int entry) = 0;
    // Invalid input was put back: show the entry's page and focus its input.
    virtual void bringForward(int entry) = 0;
    // The message area's text.
    virtual void setMessage(const QString &text) = 0;
};

// One tab of the form: a section with the tab flag and the rows of its
// visible entries.
struct FormPage {
    int section = 0;
    bool modelLabel = false; // "機種名 : " + model on the first row
    QList<int> entries;      // entries with a row, in order
    int contentHeight = 0;   // rows * RowHeight
};

// The form's state of one entry beside the model.
struct FormEntry {
    bool hasRow = false;      // visible and not of type 6
    int page = -1;            // index into pages()
    int top = 0;              // row top within its page
    bool hasCheckBox = false; // common files, except the version entry
    bool checked = false;     // the check box
    bool enabled = true;      // switched by an enabling group
    QString ownGroupId;       // a parent's current group ID
    QString givenGroupId;     // the group ID last applied by its parent
    QString shown;            // what a text, address or read-only input shows
    int comboIndex = -1;      // the selected option; -1 none
    QString tooltip;          // with line breaks
};

class SettingsForm
{
public:
    static constexpr int RowHeight = 40;
    // Refusal codes of the dialog (added up).
    static constexpr int NoDescription = 2, BadWidth = 4, BadHeight = 8, NoFilePath = 16;

    // Why a dialog over this description and these inputs can't open; 0 when it can.
    static int refusal(const SettingsDescription *description, const LoaderInputs &inputs);

    SettingsForm(SettingsDescription &description, const LoaderInputs &inputs);

    void setView(IFormView *view) { m_view = view; }
    void setPrompter(IPrompter *prompter) { m_prompter = prompter; }
    void setErrorLog(EditorErrorLog log) { m_log = std::move(log); }

    // Cuts the texts, works out the parents' group IDs, lays out the pages
    // and rows, sets the check boxes and applies every parent's group ID to
    // its children. False when a parent's group ID can't be had (logged; the
    // dialog shows the description error box and closes).
    bool build();

    const SettingsDescription &description() const { return m_desc; }
    const LoaderInputs &inputs() const { return m_in; }
    const QList<FormPage> &pages() const { return m_pages; }
    const FormEntry &entry(int index) const { return m_entries[index]; }
    QString label(int index) const;
    // Text limit in bytes of a text or file-path input.
    int textLimit(int index) const;
    // The shown texts of a combo box's options, cut to 50 characters.
    QStringList optionTexts(int index) const;

    // The user left an input or chose an option.
    enum class Commit { Stored, Reverted, Failed };
    Commit commitText(int index, const QString &text); // types 2, 3, 5
    Commit commitAddress(int index, const QString &text);
    Commit commitCombo(int index, int option);
    // The "..." button of a file-path entry: the open-file dialog; true when
    // a file was chosen (value and shown text are its full path).
    bool chooseFile(int index);
    void setChecked(int index, bool checked);

    // OK. Saved: the file was written or its write failed (fileWritten()
    // tells); the dialog closes. Blocked: required values are missing (the
    // message area says which). Cancelled: no name was chosen for a common
    // file. Both keep the dialog open.
    enum class Save { Saved, Blocked, Cancelled };
    Save save(bool writeToTerminalChecked);
    // The lines of the required-value check ("" when none is missing).
    QString missingValues() const;
    bool fileWritten() const { return m_written; }
    QString savedPath() const { return m_savedPath; }
    // Saved, not a common file, and "端末書込み" checked.
    bool writeToTerminal() const { return m_writeToTerminal; }

    // Logs an error of the form (number 12) and shows the description error box.
    void fail(const QString &message);

    // The error box shown for a broken description.
    static QString FailureText();
    static QString FailureCaption();

private:
    bool isParent(int index) const { return !m_desc.entries[index].children.isEmpty(); }
    bool currentGroupId(int index, QString *out) const;
    void applyGroup(int parent, const QString &groupId);
    void applyAlternative(int child, const ChildDetail &detail);
    bool enabledBy(int parent, const QString &groupId, int child) const;
    void setShownFromValue(int index);
    void changed(int index);
    Commit revert(int index);
    // A checked input: stored (and, with a group ID, applied to the
    // children) or reverted.
    Commit store(int index, const QString &typed, const InputRules::Checked &checked,
                 const QString *groupId);
    IPrompter &ask() const;

    SettingsDescription &m_desc;
    LoaderInputs m_in;
    IFormView *m_view = nullptr;
    IPrompter *m_prompter = nullptr;
    EditorErrorLog m_log;
    QList<FormPage> m_pages;
    QList<FormEntry> m_entries;
    bool m_written = false;
    bool m_writeToTerminal = false;
    QString m_savedPath;
};

// Naming a common file on saving: the save dialog in "Data/Sys/" or
// "Data/User/", repeated until the name begins with "kel_sys" or "kel_user"
// (exact case). Empty when the dialog was cancelled.
QString AskCommonFileName(IPrompter &prompter, bool system);
bool CommonFileNameAccepted(const QString &path, bool system);
