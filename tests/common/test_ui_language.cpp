// The interface's language: the desktop's locale variables the way gettext
// reads them, the --lang option, the user's saved choice, and which wins.
#include "common/UiLanguage.h"

#include <QCoreApplication>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

using L = UiLanguage;

L fromVariables(const QMap<QByteArray, QString> &vars)
{
    return UiLanguages::fromEnvironment([&](const char *name) { return vars.value(name); });
}

} // namespace

TEST(UiLanguage, DesktopLocale)
{
    const struct {
        QMap<QByteArray, QString> vars;
        L expected;
    } cases[] = {
        {{}, L::Japanese},
        {{{"LANG", "C.UTF-8"}}, L::Japanese},
        {{{"LANG", "POSIX"}}, L::Japanese},
        {{{"LANG", "ja_JP.UTF-8"}}, L::Japanese},
        {{{"LANG", "en_US.UTF-8"}}, L::English},
        {{{"LANG", "de_DE@euro"}}, L::English},
        {{{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}, L::English},
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "ja_JP.UTF-8"}}, L::Japanese},
        {{{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "fr_FR.UTF-8"}}, L::English},
        // LANGUAGE names the language of a non-C locale, first entry first.
        {{{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "en:ja"}}, L::English},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja:en"}}, L::Japanese},
        // ... and is ignored under the C locale, as gettext does.
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "en"}}, L::Japanese},
        // An empty variable counts as unset.
        {{{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}}, L::English},
    };
    for (const auto &c : cases) {
        QStringList shown;
        for (auto it = c.vars.begin(); it != c.vars.end(); ++it)
            shown << QString::fromLatin1(it.key()) + QLatin1Char('=') + it.value();
        EXPECT_EQ(fromVariables(c.vars), c.expected) << shown.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(UiLanguage, OptionThenSavedChoiceThenDesktop)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("LANG", "ja_JP.UTF-8");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qunsetenv("LANGUAGE");
    EXPECT_EQ(UiLanguages::fromArguments({QStringLiteral("--lang=fr")}), std::nullopt);
    EXPECT_EQ(UiLanguages::choose({}), L::Japanese);
    EXPECT_EQ(UiLanguages::choose({QStringLiteral("--lang=en")}), L::English);
    UiLanguages::save(L::English);
    EXPECT_EQ(UiLanguages::saved(), L::English);
    EXPECT_EQ(UiLanguages::choose({}), L::English);
    EXPECT_EQ(UiLanguages::choose({QStringLiteral("x"), QStringLiteral("--lang=ja")}), L::Japanese);
    UiLanguages::save(L::Japanese);
    qputenv("LANG", "en_US.UTF-8");
    EXPECT_EQ(UiLanguages::choose({}), L::Japanese);
}

TEST(UiLanguage, QtsOwnCatalogueFollows)
{
    // The file dialog's own texts: Japanese in a Japanese interface.
    ASSERT_TRUE(UiLanguages::install(L::Japanese));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("アドレス:"));
    UiLanguages::install(L::English);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}
