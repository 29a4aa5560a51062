#pragma once
// The five commands that open the settings editor: a terminal's system or
// user settings file (read from the terminal first if the user wants, written
// to it after a save with "端末書込み"), a common system or user settings
// file, and the firmware auto-update registration. Without widgets: the list
// window, the request road and the dialog are reached through IEditHost.
// While a flow runs, the main window takes no input and the operator-busy
// flag stays set; both are given back on every way out.

#include "editor/DescriptionLoader.h"
#include "register/RegisterTypes.h"
#include "termlist/ViewHooks.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class IPrompter;

enum class EditKind {
    TerminalSystem = 0,
    TerminalUser = 1,
    CommonSystem = 2,
    CommonUser = 3,
    FirmRegistration = 4
};

// How the editor dialog ended.
struct EditorOutcome {
    bool saved = false;
    bool writeToTerminal = false; // saved, a terminal's file written, "端末書込み" checked
};

// What a flow needs from the list window and the platform.
class IEditHost
{
public:
    virtual ~IEditHost() = default;
    // The entries of the selected rows in display order.
    virtual std::vector<TermEntry> selectedEntries() const = 0;
    virtual void setMainEnabled(bool enabled) = 0;
    // Redraws the list when a refresh is pending.
    virtual void refreshIfPending() = 0;
    // The request road of the maintenance commands for one terminal: target
    // check, main window off, progress window, the request posted. The
    // waiter, when given, gets the completion. False when the check refused
    // (nothing posted; the main window as it was).
    virtual bool postRequest(int requestKind, int progressOp, const TermEntry &row,
                             const QString &file, ITerminalFileWaiter *waiter) = 0;
    // The text editor of the system settings (the default one when they
    // can't be read).
    virtual QString editorPath() = 0;
    // Starts a program without waiting for it, in the program folder.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
    // The editor dialog, modal, over a prepared loader.
    virtual EditorOutcome runEditor(DescriptionLoader &loader) = 0;
};

class EditFlow : public ITerminalFileWaiter
{
public:
    explicit EditFlow(IEditHost &host, IPrompter *prompter = nullptr);
    ~EditFlow() override;

    // A menu command. Does nothing while another flow waits for its file.
    void run(EditKind kind);
    // A read request for editing is on its way.
    bool waiting() const { return m_waiting; }

    // The read request completed (from the list window's notification handling).
    void terminalFileDone(bool anySucceeded, std::unique_ptr<TaskMessage> message) override;

    // Window titles of the kinds.
    static QString title(EditKind kind);
    // The model passed for a common file: the description's file name cut at
    // its last "_", without "sysconfig_".
    static QString modelFromDescriptionFile(const QString &path);

private:
    void runTerminalFile(EditKind kind);
    void runCommonFile(EditKind kind);
    void runRegistration();
    // Prepares and runs the editor; then, for a terminal's file saved with
    // "端末書込み", the write to the terminal. Ends the flow.
    void editAndFinish();
    void finish(bool requestPosted);
    void openInTextEditor(const QString &path);
    IPrompter &ask() const;

    IEditHost &m_host;
    IPrompter *m_prompter;
    bool m_running = false;
    bool m_waiting = false;
    EditKind m_kind = EditKind::TerminalSystem;
    TermEntry m_row;
    std::unique_ptr<DescriptionLoader> m_loader;
};
