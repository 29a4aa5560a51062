#include "register/RegisterTypes.h"

#include "common/Ipv4.h"

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
    const std::uint32_t h = Ipv4::registerToHost(ipAddr);
    return QString::asprintf("%03u.%03u.%03u.%03u", h >> 24, (h >> 16) & 0xffu, (h >> 8) & 0xffu,
                             h & 0xffu);
}

QString DottedIpAddr(std::uint32_t ipAddr)
{
    return Ipv4::dotted(Ipv4::registerToHost(ipAddr));
}

QString QuoteText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

std::int32_t FirmCheckVerdict(std::int32_t kind, const QString &written, const QString &verBoot,
                              const QString &verApli)
{
    const QString &reported = kind == FirmKind::Boot ? verBoot : verApli;
    return reported.trimmed() == written.trimmed() ? FirmCheckState::Verified
                                                   : FirmCheckState::Mismatch;
}

QString FirmCheckLogDetail(const QString &written)
{
    return QStringLiteral("書込版数:") + written.trimmed();
}

QString FirmCheckLogDetail(const QString &written, const QString &reported)
{
    return FirmCheckLogDetail(written) + QStringLiteral(" 報告版数:") + reported.trimmed();
}
