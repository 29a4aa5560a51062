#pragma once
// Reading a settings description into a pugixml document the way the DOM
// parser the descriptions were written for reads them: in the encoding that
// the XML declaration names (UTF-8 when it names none; a byte-order mark or
// UTF-16 bytes win), comments and processing instructions kept as nodes,
// blank-only text between elements dropped. pugixml reads only the Unicode
// encodings, so Shift_JIS (read as CP932, as Japanese Windows writes it) and
// the other 8-bit encodings are decoded to UTF-8 first.

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <cstring>

namespace DescriptionXml
{

// Larger files and deeper nesting are refused: no description comes near
// them, and they bound the memory and time a broken file can take.
constexpr qsizetype MaxFileBytes = 32 * 1024 * 1024;
constexpr int MaxDepth = 64;

// Parses the bytes; false for an empty, oversized, too deeply nested or
// malformed document, an encoding that can't be read, or bytes that are
// invalid in the declared encoding.
bool parse(const QByteArray &bytes, pugi::xml_document &doc);

// The bytes re-coded as UTF-8 with a declaration that says so; empty when the
// encoding can't be read (exposed for tests).
QByteArray toUtf8(const QByteArray &bytes, bool *ok);

// Name without namespace prefix ("x:section" -> "section"); empty for nodes
// other than elements and processing instructions. The raw forms point into
// the document.
const char *rawBaseName(const pugi::xml_node &node);
const char *rawBaseName(const pugi::xml_attribute &attr);
QString baseName(const pugi::xml_node &node);
inline bool hasBaseName(const pugi::xml_node &node, const char *name)
{
    return std::strcmp(rawBaseName(node), name) == 0;
}
inline bool hasBaseName(const pugi::xml_attribute &attr, const char *name)
{
    return std::strcmp(rawBaseName(attr), name) == 0;
}
// The whole text content: every text and CDATA node below, in order. A
// comment or processing instruction answers its own value.
QString text(const pugi::xml_node &node);

} // namespace DescriptionXml
