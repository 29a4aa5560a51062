#pragma once
// The language of the user interface. Japanese is the program's own
// language (its texts are written in it); English comes from the catalogue
// built into the program. Files the program writes (log, List.txt, schedule
// and result files, settings files) stay Japanese whatever the interface says.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

enum class UiLanguage { Japanese, English };

// Whether a text goes into a file (always the Japanese source text) or into
// a window (its translation).
enum class TextFor { File, Window };

namespace UiLanguages
{

// "ja" / "en".
QString code(UiLanguage language);
std::optional<UiLanguage> fromCode(const QString &code);

// The desktop's language from LANGUAGE, LC_ALL, LC_MESSAGES and LANG, the
// way gettext reads them: the locale is the first of LC_ALL, LC_MESSAGES,
// LANG that is set; "C", "POSIX" or none means the program's own language
// (LANGUAGE is then ignored); otherwise LANGUAGE's first entry, if any,
// names the language, else the locale does. Japanese for "ja", English for
// every other language.
UiLanguage fromEnvironment(const std::function<QString(const char *)> &variable);

// "--lang=ja" or "--lang=en" among the arguments; nothing for another value.
std::optional<UiLanguage> fromArguments(const QStringList &args);

// The user's choice of the View menu, kept per user for the next start.
std::optional<UiLanguage> saved();
void save(UiLanguage language);

// The option wins over the user's choice, which wins over the desktop.
UiLanguage choose(const QStringList &args);

// Installs the program's catalogue and Qt's own one for the language and
// makes it the language of the process. Answers false when a catalogue the
// language needs could not be loaded (the texts then stay Japanese).
bool install(UiLanguage language);
// The language installed last (Japanese before any).
UiLanguage current();

} // namespace UiLanguages
