#include "common/UiLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

#include <memory>

namespace
{

const QString LangOption = QStringLiteral("--lang=");
const QString SettingsKey = QStringLiteral("ui/language");

UiLanguage g_current = UiLanguage::Japanese;
std::unique_ptr<QTranslator> g_program;
std::unique_ptr<QTranslator> g_qt;

bool isPlainLocale(const QString &locale)
{
    const QString base = locale.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    return base.isEmpty() || base == QLatin1String("C") || base == QLatin1String("POSIX");
}

UiLanguage fromLocaleName(const QString &name)
{
    return name.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('.'), 0, 0) ==
                   QLatin1String("ja")
               ? UiLanguage::Japanese
               : UiLanguage::English;
}

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KelMngPC"),
                     QStringLiteral("KelMngPC"));
}

} // namespace

namespace UiLanguages
{

QString code(UiLanguage language)
{
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("ja");
}

std::optional<UiLanguage> fromCode(const QString &code)
{
    if (code == QLatin1String("ja"))
        return UiLanguage::Japanese;
    if (code == QLatin1String("en"))
        return UiLanguage::English;
    return std::nullopt;
}

UiLanguage fromEnvironment(const std::function<QString(const char *)> &variable)
{
    QString locale;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = variable(name);
        if (!locale.isEmpty())
            break;
    }
    if (isPlainLocale(locale))
        return UiLanguage::Japanese;
    const QString first = variable("LANGUAGE").section(QLatin1Char(':'), 0, 0);
    return fromLocaleName(first.isEmpty() ? locale : first);
}

std::optional<UiLanguage> fromArguments(const QStringList &args)
{
    for (const QString &a : args)
        if (a.startsWith(LangOption))
            return fromCode(a.mid(LangOption.size()));
    return std::nullopt;
}

std::optional<UiLanguage> saved()
{
    return fromCode(userSettings().value(SettingsKey).toString());
}

void save(UiLanguage language)
{
    QSettings s = userSettings();
    s.setValue(SettingsKey, code(language));
    s.sync();
}

UiLanguage choose(const QStringList &args)
{
    if (const auto option = fromArguments(args))
        return *option;
    if (const auto choice = saved())
        return *choice;
    return fromEnvironment([](const char *name) { return qEnvironmentVariable(name); });
}

bool install(UiLanguage language)
{
    for (auto *t : {&g_program, &g_qt}) {
        if (*t)
            QCoreApplication::removeTranslator(t->get());
        t->reset();
    }
    g_current = language;
    QLocale::setDefault(language == UiLanguage::English
                            ? QLocale(QLocale::English)
                            : QLocale(QLocale::Japanese, QLocale::Japan));
    bool ok = true;
    // The program's texts are Japanese; English comes from its catalogue.
    if (language == UiLanguage::English) {
        g_program = std::make_unique<QTranslator>();
        ok = g_program->load(QStringLiteral(":/i18n/kelmngpc_en.qm"));
        if (ok)
            QCoreApplication::installTranslator(g_program.get());
        else
            g_program.reset();
    }
    // Qt's own windows (file dialogs, context menus) in the same language.
    g_qt = std::make_unique<QTranslator>();
    if (g_qt->load(QStringLiteral("qt_") + code(language),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(g_qt.get());
    else
        g_qt.reset();
    return ok;
}

UiLanguage current()
{
    return g_current;
}

} // namespace UiLanguages
