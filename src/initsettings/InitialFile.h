#pragma once
// The minimal system settings file of a terminal that has just received its
// terminal ID: the version of the model's system settings description, an
// empty line, and the SIP address (the terminal ID). Written to
// "Data/TmpData.ini" and moved over "Data/Sys/kel_sys<ID>.ini", so a reader
// sees the old file or the whole new one, never a part.

#include <QByteArray>
#include <QString>

#include <functional>

// Shows a message box on the main thread (the generation runs on the
// communication thread and never touches a window): text, caption, type.
using BoxPoster = std::function<void(const QString &, const QString &, unsigned)>;

namespace InitialFile
{

enum class Outcome {
    Written,
    NoDescription,       // no "Config/Sys/sysconfig_<model>_*.xml"
    SeveralDescriptions, // more than one
    DescriptionFaulty,   // could not be read as XML
    NoVersion,           // its first entry is not "Version"
    WriteFailed,         // the temporary file or the move failed
};

struct Result {
    Outcome outcome = Outcome::WriteFailed;
    QString path; // absolute path of the settings file when written
};

// The file's exact bytes: "Version=<v>" CR LF, CR LF, "[SIP]" CR LF,
// "SipAddress=<ID>" CR LF, in CP932.
QByteArray content(const QString &version, const QString &termId);

// Generates the file of termId for a terminal of the model below the program
// folder; the version is that of the model's system settings description
// (ReadDescriptionVersion). Failures of the description write their
// error-log line (number 12) and post their message box; the caller logs the
// failure for the terminal.
Result generate(const QString &termId, const QString &model, const BoxPoster &box);

// The result code a terminal's request ends with for an outcome
// (0 for Written, 12 for the description, 10 for the file).
int resultCodeOf(Outcome outcome);

} // namespace InitialFile
