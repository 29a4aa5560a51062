#include "editor/DescriptionXml.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cstring>

namespace DescriptionXml
{

namespace
{

bool startsWith(const QByteArray &bytes, std::initializer_list<unsigned char> prefix)
{
    if (bytes.size() < qsizetype(prefix.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char c : prefix)
        if (static_cast<unsigned char>(bytes[i++]) != c)
            return false;
    return true;
}

// Unicode that pugixml recognises by itself: a byte-order mark, or the
// first character '<' in UTF-16 or UTF-32 without one.
bool isSelfDescribing(const QByteArray &b)
{
    return startsWith(b, {0xEF, 0xBB, 0xBF}) || startsWith(b, {0xFF, 0xFE}) ||
           startsWith(b, {0xFE, 0xFF}) || startsWith(b, {0x00, 0x00, 0xFE, 0xFF}) ||
           startsWith(b, {0x3C, 0x00}) || startsWith(b, {0x00, 0x3C});
}

// The encoding named by the declaration at the start of 8-bit bytes; empty
// when there is no declaration or it names none.
QByteArray declaredEncoding(const QByteArray &bytes, qsizetype *declEnd)
{
    *declEnd = -1;
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    *declEnd = end;
    static const QRegularExpression re(
        QStringLiteral(R"(\sencoding\s*=\s*(["'])([A-Za-z][A-Za-z0-9._-]*)\1)"));
    const auto m = re.match(QString::fromLatin1(bytes.left(end)));
    return m.hasMatch() ? m.captured(2).toLatin1() : QByteArray();
}

bool isUtf8Name(const QByteArray &lower)
{
    return lower == "utf-8" || lower == "utf8";
}

// Names under which Japanese Windows files declare their code page 932.
bool isShiftJisName(const QByteArray &lower)
{
    static const char *const names[] = {"shift_jis",   "shift-jis",  "sjis",       "x-sjis",
                                        "ms_kanji",    "csshiftjis", "cp932",      "ms932",
                                        "windows-31j", "x-ms-cp932", "windows-932"};
    for (const char *n : names)
        if (lower == n)
            return true;
    return false;
}

// Decodes all of the bytes; false on a byte sequence the encoding doesn't have.
bool decodeStrict(const char *encoding, const QByteArray &bytes, QString *out)
{
    QStringDecoder dec(encoding, QStringConverter::Flag::Stateless);
    if (!dec.isValid())
        return false;
    *out = dec.decode(bytes);
    return !dec.hasError();
}

} // namespace

QByteArray toUtf8(const QByteArray &bytes, bool *ok)
{
    *ok = false;
    qsizetype declEnd = -1;
    const QByteArray name = declaredEncoding(bytes, &declEnd).toLower();
    QString text;
    if (name.isEmpty() || isUtf8Name(name)) {
        if (!decodeStrict("UTF-8", bytes, &text))
            return {};
        *ok = true;
        return bytes;
    }
    if (name.startsWith("utf-16") || name.startsWith("utf-32") || name == "unicode")
        return {}; // 8-bit bytes can't be what the declaration says
    if (!decodeStrict(isShiftJisName(name) ? "windows-31j" : name.constData(), bytes, &text))
        return {};
    // The declaration must agree with the bytes handed on.
    static const QRegularExpression encodingAttr(
        QStringLiteral(R"((\sencoding\s*=\s*["'])[A-Za-z][A-Za-z0-9._-]*(["']))"));
    const qsizetype end = text.indexOf(QLatin1String("?>"));
    if (end >= 0) {
        QString decl = text.left(end);
        decl.replace(encodingAttr, QStringLiteral("\\1UTF-8\\2"));
        text = decl + text.mid(end);
    }
    *ok = true;
    return text.toUtf8();
}

bool parse(const QByteArray &bytes, pugi::xml_document &doc)
{
    doc.reset();
    if (bytes.isEmpty() || bytes.size() > MaxFileBytes)
        return false;
    const unsigned options = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                             pugi::parse_declaration | pugi::parse_doctype;
    pugi::xml_parse_result result;
    if (isSelfDescribing(bytes)) {
        result =
            doc.load_buffer(bytes.constData(), size_t(bytes.size()), options, pugi::encoding_auto);
    } else {
        bool ok = false;
        const QByteArray utf8 = toUtf8(bytes, &ok);
        if (!ok)
            return false;
        result =
            doc.load_buffer(utf8.constData(), size_t(utf8.size()), options, pugi::encoding_utf8);
    }
    if (!result || !doc.document_element())
        return false;
    // Depth of the element tree, walked without recursion.
    int depth = 0;
    pugi::xml_node n = doc.first_child();
    while (n) {
        if (n.first_child()) {
            n = n.first_child();
            if (++depth > MaxDepth) {
                doc.reset();
                return false;
            }
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n)
            n = n.next_sibling();
    }
    return true;
}

const char *rawBaseName(const pugi::xml_node &node)
{
    if (node.type() != pugi::node_element && node.type() != pugi::node_pi)
        return "";
    const char *name = node.name();
    const char *colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

const char *rawBaseName(const pugi::xml_attribute &attr)
{
    const char *name = attr.name();
    const char *colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

QString baseName(const pugi::xml_node &node)
{
    return QString::fromUtf8(rawBaseName(node));
}

QString text(const pugi::xml_node &node)
{
    switch (node.type()) {
    case pugi::node_pcdata:
    case pugi::node_cdata:
    case pugi::node_comment:
    case pugi::node_pi:
        return QString::fromUtf8(node.value());
    case pugi::node_element:
        break;
    default:
        return {};
    }
    // The common case: one text child.
    const pugi::xml_node first = node.first_child();
    if (!first)
        return {};
    if (!first.next_sibling() &&
        (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata))
        return QString::fromUtf8(first.value());
    QByteArray out;
    pugi::xml_node n = first;
    while (n && n != node) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            out += n.value();
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != node && !n.next_sibling())
            n = n.parent();
        if (n != node)
            n = n.next_sibling();
    }
    return QString::fromUtf8(out);
}

} // namespace DescriptionXml
