#include "phonebook/ui/DesktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopOpener::open(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
