// KelMngPC: the administrator's tool of an IP telephone site.
#include "app/KelMngPCApp.h"
#include "setup/FirstStart.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

namespace
{

const char kUsage[] =
    "usage: kelmngpc [--program-folder=DIR] [--lang=ja|en] [/wait=MS]\n"
    "       kelmngpc --init-program-folder=DIR [--ftp-account=MODEL,USER,PASSWORD]\n"
    "See kelmngpc(1).\n";

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("kelmngpc " KEL_VERSION);
            return 0;
        }
        // The lay-out of a program folder needs no window system.
        if (std::strncmp(argv[i], FirstStart::InitOption, std::strlen(FirstStart::InitOption)) ==
            0) {
            QCoreApplication core(argc, argv);
            return FirstStart::initCommand(core.arguments().mid(1),
                                           QCoreApplication::applicationDirPath(), stderr);
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KelMngPC"));
    QApplication::setApplicationVersion(QStringLiteral(KEL_VERSION));
    // The desktop entry and the icon share this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(KEL_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(KEL_APP_ID)));

    CKelMngPCApp kel;
    if (!kel.initInstance(app.arguments().mid(1)))
        return kel.shutDown() ? 0 : 1;
    // A signal during start-up has ended the program already.
    const int rc = kel.shutDown() ? 0 : app.exec();
    kel.exitInstance();
    return rc;
}
