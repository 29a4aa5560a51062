// The version of a firmware file: the header line of an S-record file,
// whatever the file holds.
#include "FuzzSupport.h"

#include "comm/UpdateDecider.h"

#include <QBuffer>

#include <cctype>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    const QString version = CAutoUpdateDecider::firmwareVersion(file);

    // The first line as the reader sees it: at most 4095 bytes, without its end.
    QByteArray line = bytes.left(4095);
    const qsizetype nl = line.indexOf('\n');
    if (nl >= 0)
        line.truncate(nl);
    while (line.endsWith('\r'))
        line.chop(1);
    const auto detail = [&] { return QString::fromLatin1(line.left(80).toHex()); };
    FUZZ_CHECK(version.isEmpty() || line.size() >= 58, detail());
    // Ten bytes at most, and the version is a text: it ends at a NUL.
    FUZZ_CHECK(version.size() <= 10 && !version.contains(QChar(0)), detail());
    // A header whose 20 characters are all hex digits gives exactly those bytes.
    const QByteArray field = line.mid(38, 20);
    bool allHex = field.size() == 20;
    for (char c : field)
        allHex = allHex && std::isxdigit(static_cast<unsigned char>(c));
    if (allHex) {
        QByteArray expected = QByteArray::fromHex(field);
        if (expected.contains('\0'))
            expected.truncate(expected.indexOf('\0'));
        bool ascii = true;
        for (char c : expected)
            ascii = ascii && c > 0 && c < 0x7f;
        if (ascii)
            FUZZ_CHECK(version == QString::fromLatin1(expected), detail());
    }
    return 0;
}
