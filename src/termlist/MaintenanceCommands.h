#pragma once
// The maintenance commands of the list: what each asks before it runs, the
// request it posts, the progress window it opens and where each target's
// local file comes from.

#include <QString>

#include <vector>

enum class MaintCommand {
    TermInfo,
    ReadSys,
    ReadUser,
    ReadDial,
    WriteSys,
    WriteUser,
    WriteDial,
    WriteCommonSys,
    WriteCommonUser,
    WriteBoot,
    WriteApli,
    Restart,
    ForceClose,
};

// Where a target's local file comes from.
enum class TargetFile {
    None,
    TerminalSys,  // Data/Sys/kel_sys<ID>.ini
    TerminalUser, // Data/User/kel_user<ID>.ini
    TerminalDial, // Data/Dial/kel_dial<ID>.csv
    Chosen,       // the file chosen in the command's file dialog, the same for all
};

struct CommandInfo {
    MaintCommand command;
    const char *actionName; // object name of its menu action
    int requestKind;
    int progressOp;
    int widthCode; // of the confirmation
    const char *captionSource;
    const char *textSource;
    TargetFile file;
    // File dialog (Chosen only): initial name relative to the program folder
    // and the filter.
    QString dialogInitial;
    const char *filterSource;
    bool secondQuestion; // the common file is confirmed twice
    bool withMac;        // the firmware commands leave the targets' MAC empty

    // The confirmation's caption and text and the file dialog's filter, in
    // the interface's language.
    QString caption() const;
    QString text() const;
    QString dialogFilter() const;
};

const CommandInfo &commandInfo(MaintCommand command);
const std::vector<MaintCommand> &allCommands();

// The second question of the common-file commands.
QString commonFileSecondText();
