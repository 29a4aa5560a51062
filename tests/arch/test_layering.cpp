// Widget code lives only in ui/ folders and src/app; everything else must
// build without QtWidgets.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(Layering, NoWidgetHeadersOutsideUiFolders)
{
    const QString src = QStringLiteral(KEL_SOURCE_DIR "/src");
    const QRegularExpression widgetInclude(
        QStringLiteral(
            R"(^\s*#\s*include\s*[<"](QtWidgets/|Q(Application|Widget|Dialog|MainWindow|MessageBox|)"
            R"(PushButton|LineEdit|Label|TableView|HeaderView|ComboBox|CheckBox|RadioButton|)"
            R"(SpinBox|TabWidget|StatusBar|MenuBar|Menu|Action|ProgressBar|FileDialog|)"
            R"(GroupBox|BoxLayout|GridLayout|FormLayout|ListWidget|TreeWidget|ScrollArea|)"
            R"(ToolTip|Splitter|AbstractButton|AbstractItemView|TextEdit|PlainTextEdit|Frame)[>"]))"),
        QRegularExpression::MultilineOption);
    QStringList offenders;
    QDirIterator it(src, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    int scanned = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(src.size() + 1);
        if (rel.startsWith(QLatin1String("app/")) || rel.contains(QLatin1String("/ui/")))
            continue;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        ++scanned;
        if (widgetInclude.match(QString::fromUtf8(f.readAll())).hasMatch())
            offenders << rel;
    }
    EXPECT_GT(scanned, 0);
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(QLatin1Char(' ')).toStdString();
}
