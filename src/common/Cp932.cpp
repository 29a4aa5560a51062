#include "common/Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace
{

// The converter behind "windows-31j" follows IBM's PC convention for three
// control codes (0x1A, 0x1C and 0x7F are swapped around U+001A, U+001C and
// U+007F); the Windows code page maps them to themselves. None of them can
// be part of a double-byte character, so they are taken out of the
// converter's hands.
bool isSwappedControl(char16_t c)
{
    return c == 0x1A || c == 0x1C || c == 0x7F;
}

QByteArray encodeRun(QStringView text)
{
    // Converters keep state; one per thread.
    thread_local QStringEncoder enc("windows-31j");
    QByteArray out = enc.encode(text);
    enc.resetState();
    return out;
}

QString decodeRun(const char *data, qsizetype size)
{
    thread_local QStringDecoder dec("windows-31j");
    QString out = dec.decode(QByteArrayView(data, size));
    dec.resetState();
    return out;
}

} // namespace

namespace Cp932
{

QByteArray encode(const QString &text)
{
    QByteArray out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isSwappedControl(c))
            continue;
        out += encodeRun(QStringView(text).mid(start, i - start));
        out += char(c);
        start = i + 1;
    }
    if (start == 0)
        return encodeRun(text);
    out += encodeRun(QStringView(text).mid(start));
    return out;
}

QString decode(const char *data, qsizetype size)
{
    QString out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (!isSwappedControl(char16_t(static_cast<unsigned char>(c))))
            continue;
        out += decodeRun(data + start, i - start);
        out += QChar(char16_t(c));
        start = i + 1;
    }
    if (start == 0)
        return decodeRun(data, size);
    out += decodeRun(data + start, size - start);
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

bool representable(const QString &text)
{
    return decode(encode(text)) == text;
}

} // namespace Cp932
