#pragma once
// The terminals and the files the program shares with them speak CP932
// (Shift-JIS with the Windows extensions).

#include <QByteArray>
#include <QString>

namespace Cp932
{
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);
// Length of the text in CP932 bytes (half-width katakana 1, kanji 2).
qsizetype byteLength(const QString &text);
// Whether the text survives CP932 unchanged (no character outside it).
bool representable(const QString &text);
} // namespace Cp932
