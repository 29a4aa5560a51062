// Widget code lives only in ui/ folders and src/app; everything else must
// build without QtWidgets: no header of it is included.
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(Layering, NoWidgetHeadersOutsideUiFolders)
{
    const QString src = QStringLiteral(KEL_SOURCE_DIR "/src");
    const QDir widgets(QLibraryInfo::path(QLibraryInfo::HeadersPath) +
                       QStringLiteral("/QtWidgets"));
    ASSERT_TRUE(widgets.exists(QStringLiteral("QWidget"))) << widgets.path().toStdString();
    const QRegularExpression include(
        QStringLiteral(R"(^\s*#\s*include\s*[<"](?:QtWidgets/)?(\w+)[>"])"),
        QRegularExpression::MultilineOption);
    QStringList offenders;
    QDirIterator it(src, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(src.size() + 1);
        if (rel.startsWith(QLatin1String("app/")) || rel.contains(QLatin1String("/ui/")))
            continue;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        for (auto m = include.globalMatch(QString::fromUtf8(f.readAll())); m.hasNext();)
            if (const QString name = m.next().captured(1); widgets.exists(name))
                offenders << rel + QLatin1Char(':') + name;
    }
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(QLatin1Char(' ')).toStdString();
}
