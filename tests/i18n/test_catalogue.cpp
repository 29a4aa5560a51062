// The English catalogue: it holds every source text of the code (lupdate
// run into a temporary file finds nothing it lacks), every entry is finished
// and English, and every program text fits the program's message box in
// both languages.
#include "app/AppMessageBoxDialog.h"
#include "common/Prompter.h"

#include "support/Catalogue.h"
#include "support/TempDir.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <gtest/gtest.h>

namespace
{

QSet<QString> keys(const Catalogue &c)
{
    QSet<QString> out;
    for (const CatalogueEntry &e : c.entries)
        out.insert(QStringList{e.context, e.source, e.comment, e.numerus ? "n" : ""}.join('|'));
    return out;
}

// Values as long as the program puts into its texts: ports, IDs, counts.
QString filled(QString text)
{
    text.replace(QStringLiteral("%n"), QStringLiteral("65535"));
    for (int i = 9; i >= 1; --i)
        text.replace(QStringLiteral("%%1").arg(i), QStringLiteral("00000000000000000000"));
    return text;
}

} // namespace

TEST(Catalogue, HoldsEverySourceTextOfTheCode)
{
    TempDir dir;
    QStringList files;
    QDirIterator it(KEL_SOURCE_DIR "/src", {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    dir.write(QStringLiteral("files.lst"), files.join(QLatin1Char('\n')).toUtf8());
    const QString fresh = dir.file(QStringLiteral("fresh.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(KEL_LUPDATE),
                  QStringList{"-no-obsolete", "-locations", "none", "-target-language", "en", "-I",
                              KEL_SOURCE_DIR "/src", '@' + dir.file("files.lst"), "-ts", fresh});
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    const QSet<QString> code = keys(Catalogue::read(fresh));
    const QSet<QString> catalogue = keys(Catalogue::english());
    ASSERT_GT(code.size(), 500);
    EXPECT_EQ(QSet(code).subtract(catalogue).values(), QStringList()) << "not in the catalogue";
    EXPECT_EQ(QSet(catalogue).subtract(code).values(), QStringList()) << "no longer in the code";
}

TEST(Catalogue, EveryEntryIsFinishedAndEnglish)
{
    QStringList faults;
    for (const CatalogueEntry &e : Catalogue::english().entries) {
        const QString where = e.context + QStringLiteral(": ") + e.source;
        if (!e.state.isEmpty())
            faults << where + QStringLiteral(" is ") + e.state;
        if (e.translations.size() != (e.numerus ? 2 : 1))
            faults << where + QStringLiteral(" has %1 forms").arg(e.translations.size());
        for (const QString &t : e.translations) {
            if (t.isEmpty() || HasJapanese(t))
                faults << where + QStringLiteral(" -> \"") + t + QLatin1Char('"');
            // Every value the code puts in, in each form ("%n" may read "one").
            if (Placeholders(t) != Placeholders(e.source) &&
                !(e.numerus && t == e.translations.first()))
                faults << where + QStringLiteral(" -> \"") + t + QStringLiteral("\" loses a value");
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

// Every text of the program in the program's message box, in both
// languages, at the narrowest width and the lowest text area: the label
// shows all of it, and the buttons stand below it inside the box.
TEST(Catalogue, EveryTextFitsTheMessageBox)
{
    QStringList cut;
    const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
    for (const CatalogueEntry &e : Catalogue::english().entries) {
        for (const QString &raw : QStringList{e.source} + e.translations) {
            const QString text = filled(raw);
            AppMessageBoxDialog box(100, 1, text, QStringLiteral("caption"),
                                    MsgType::IconQuestion | MsgType::YesNo);
            const QLabel *label = box.textLabel();
            const int flags = Qt::AlignLeft | Qt::TextExpandTabs |
                              (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
            const QRect need = label->fontMetrics().boundingRect(
                QRect(0, 0, label->width(), QWIDGETSIZE_MAX), flags, text);
            const bool fits = need.width() <= label->width() && need.height() <= label->height() &&
                              box.rect().contains(label->geometry()) &&
                              box.rect().contains(box.noButton()->geometry()) &&
                              box.yesButton()->geometry().top() > label->geometry().bottom() &&
                              box.width() <= screenWidth;
            if (!fits)
                cut << text;
        }
    }
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QLatin1Char('\n')).toStdString();
}
