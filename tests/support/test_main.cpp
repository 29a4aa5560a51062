// One main for every test executable: a QApplication on the offscreen
// platform, so widget tests and thread-message tests both have an event loop.
// KEL_TEST_SCREEN=WxH gives the offscreen platform a screen of that size.
#include "Catalogue.h"
#include "ScriptedPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    const QByteArray screen = qgetenv("KEL_TEST_SCREEN");
    if (!screen.isEmpty()) {
        const QString config = QDir::temp().filePath(
            QStringLiteral("kel-screen-%1.json").arg(QString::fromLatin1(screen)));
        QFile f(config);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write("{\"screens\": [{\"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": " +
                    screen.split('x').value(0) + ", \"height\": " + screen.split('x').value(1) +
                    ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}");
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Every text a message box of a test shows is one of the English
    // catalogue's, so that the English interface shows it in English.
    ScriptedPrompter::textCheck = [](const QString &text) {
        if (HasJapanese(text) && !Catalogue::english().render(text))
            ADD_FAILURE() << "a message box text the English catalogue lacks: "
                          << text.toStdString();
    };
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
