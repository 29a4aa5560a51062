#include "common/Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Cp932
{

QByteArray encode(const QString &text)
{
    // Converters keep state; one per thread.
    thread_local QStringEncoder enc("windows-31j");
    QByteArray out = enc.encode(text);
    enc.resetState();
    return out;
}

QString decode(const char *data, qsizetype size)
{
    thread_local QStringDecoder dec("windows-31j");
    QString out = dec.decode(QByteArrayView(data, size));
    dec.resetState();
    return out;
}

QString decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), bytes.size());
}

qsizetype byteLength(const QString &text)
{
    return encode(text).size();
}

} // namespace Cp932
