#include "register/RegisterTypes.h"

#include <QCoreApplication>

void IRegisterProgress::yieldOnce()
{
    QCoreApplication::processEvents();
}

int ProgressStep(int total)
{
    int step = total / 100;
    if (step < 1)
        step = 1;
    if (step > 250)
        step = 250;
    return step;
}

QString StoredTermId(const QString &termId)
{
    constexpr qsizetype Width = 64;
    if (termId.size() >= Width)
        return termId.right(Width);
    return QString(Width - termId.size(), QLatin1Char(' ')) + termId;
}

QString TrimmedTermId(const QString &stored)
{
    qsizetype i = 0;
    while (i < stored.size() && stored.at(i) == QLatin1Char(' '))
        ++i;
    return stored.mid(i);
}

QString StoredIpAddr(std::uint32_t ipAddr)
{
    return QString::asprintf("%03u.%03u.%03u.%03u", ipAddr & 0xffu, (ipAddr >> 8) & 0xffu,
                             (ipAddr >> 16) & 0xffu, (ipAddr >> 24) & 0xffu);
}

QString DottedIpAddr(std::uint32_t ipAddr)
{
    return QString::asprintf("%u.%u.%u.%u", ipAddr & 0xffu, (ipAddr >> 8) & 0xffu,
                             (ipAddr >> 16) & 0xffu, (ipAddr >> 24) & 0xffu);
}

QString QuoteText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}
