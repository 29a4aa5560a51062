// KelMngPC: the administrator's tool of an IP telephone site.
#include "app/KelMngPCApp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KelMngPC"));
    QApplication::setApplicationVersion(QStringLiteral("3.2.0.0"));

    CKelMngPCApp kel;
    if (!kel.initInstance(app.arguments().mid(1)))
        return kel.shutDown() ? 0 : 1;
    // A signal during start-up has ended the program already.
    const int rc = kel.shutDown() ? 0 : app.exec();
    kel.exitInstance();
    return rc;
}
