#pragma once
// Programs the administrator names (the editor of the system settings)
// started on their own, in the program folder; one that can't be started is
// named in a message box instead of failing without a word.

#include <QString>
#include <QStringList>

class IPrompter;

namespace ExternalProgram
{

// Starts the program without waiting for it. False, after telling the user,
// when it could not be started (missing, not executable).
bool start(const QString &program, const QStringList &arguments, IPrompter &prompter);

// The message that names a program that could not be started.
QString failureText(const QString &program);
QString failureCaption();

} // namespace ExternalProgram
