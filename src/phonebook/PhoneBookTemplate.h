#pragma once
// Editing a phone book: the program has no phone-book editor of its own. For
// each terminal model a spreadsheet template "Config/電話帳_<model>_*.xlt" is
// installed; the command opens the selected terminal's template in the
// application the desktop associates with it. A missing template, more than
// one, one that can't be read, or no application to open it is logged
// (error 13, the search pattern) and reported; the last with a message of its
// own, since the template is then not at fault.

#include <QString>

class IPrompter;

// Opens a file with the desktop's association; tests stand in for it.
class IDesktopOpener
{
public:
    virtual ~IDesktopOpener() = default;
    // True when an application was started for the file.
    virtual bool open(const QString &path) = 0;
};

// OpenFailed: the template can't be read; NoApplication: nothing opened it.
enum class PhoneBookOpen { Opened, NoTemplate, SeveralTemplates, OpenFailed, NoApplication };

// The search pattern of a model's templates below the program folder; empty
// when the model can't name a file.
QString PhoneBookTemplatePattern(const QString &model);

// The command for one terminal (the first selected row).
PhoneBookOpen OpenPhoneBookTemplate(const QString &termId, const QString &model,
                                    IDesktopOpener &opener, IPrompter &prompter);
