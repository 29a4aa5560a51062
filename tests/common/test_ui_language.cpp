// The interface's language from the desktop's locale variables, read the way
// gettext reads them (the option and the saved choice are run end to end).
#include "common/UiLanguage.h"

#include <QMap>
#include <gtest/gtest.h>

TEST(UiLanguage, DesktopLocale)
{
    using L = UiLanguage;
    const struct {
        QMap<QByteArray, QString> vars;
        L expected;
    } cases[] = {
        {{}, L::Japanese},
        {{{"LANG", "POSIX"}}, L::Japanese},
        {{{"LANG", "de_DE@euro"}}, L::English},
        {{{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}, L::English},
        {{{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "fr_FR.UTF-8"}}, L::English},
        // LANGUAGE names the language of a non-C locale, first entry first...
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja:en"}}, L::Japanese},
        // ... and is ignored under the C locale, as gettext does.
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "en"}}, L::Japanese},
        {{{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}}, L::English}, // empty counts as unset
    };
    for (const auto &c : cases)
        EXPECT_EQ(UiLanguages::fromEnvironment([&](const char *n) { return c.vars.value(n); }),
                  c.expected)
            << c.vars.keys().join(' ').toStdString();
}
