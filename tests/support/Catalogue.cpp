#include "Catalogue.h"

#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>

namespace
{

// The text of the current element, <byte value="xd"/> and all.
QString elementText(QXmlStreamReader &xml)
{
    QString out;
    const QString name = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters())
            out += xml.text();
        else if (xml.isStartElement() && xml.name() == QLatin1String("byte"))
            out +=
                QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUShort(nullptr, 16));
        else if (xml.isEndElement() && xml.name() == name)
            break;
    }
    return out;
}

const QRegularExpression &placeholder()
{
    static const QRegularExpression re(QStringLiteral("%(L?n|[1-9][0-9]?)"));
    return re;
}

} // namespace

bool HasJapanese(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x4DBF) ||
            (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
            (u >= 0xFF01 && u <= 0xFF9F))
            return true;
    }
    return false;
}

QStringList Placeholders(const QString &text)
{
    QStringList out;
    for (auto it = placeholder().globalMatch(text); it.hasNext();)
        out << it.next().captured(0);
    out.sort();
    return out;
}

Catalogue Catalogue::read(const QString &tsPath)
{
    Catalogue c;
    QFile f(tsPath);
    if (!f.open(QIODevice::ReadOnly))
        return c;
    QXmlStreamReader xml(&f);
    QString context;
    CatalogueEntry *e = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = elementText(xml);
        } else if (name == QLatin1String("message")) {
            c.entries.append(CatalogueEntry{});
            e = &c.entries.last();
            e->context = context;
            e->numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        } else if (e && name == QLatin1String("source")) {
            e->source = elementText(xml);
        } else if (e && name == QLatin1String("comment")) {
            e->comment = elementText(xml);
        } else if (e && name == QLatin1String("translation")) {
            e->state = xml.attributes().value(QLatin1String("type")).toString();
            if (!e->numerus)
                e->translations << elementText(xml);
        } else if (e && name == QLatin1String("numerusform")) {
            e->translations << elementText(xml);
        }
    }
    return c;
}

const Catalogue &Catalogue::english()
{
    static const Catalogue c = read(QStringLiteral(KEL_SOURCE_DIR "/translations/kelmngpc_en.ts"));
    return c;
}

std::optional<QString> Catalogue::render(const QString &text) const
{
    if (m_patterns.isEmpty()) {
        for (const CatalogueEntry &e : entries) {
            Pattern p;
            p.entry = &e;
            QString re = QStringLiteral("^");
            qsizetype at = 0;
            for (auto it = placeholder().globalMatch(e.source); it.hasNext();) {
                const auto m = it.next();
                re += QRegularExpression::escape(e.source.mid(at, m.capturedStart() - at));
                re += m.captured(1).endsWith(QLatin1Char('n')) ? QStringLiteral("(\\d+)")
                                                               : QStringLiteral("(.*?)");
                p.markers << m.captured(0);
                at = m.capturedEnd();
            }
            re += QRegularExpression::escape(e.source.mid(at)) + QStringLiteral("$");
            p.re = QRegularExpression(re, QRegularExpression::DotMatchesEverythingOption);
            p.literal = int(QString(e.source).remove(placeholder()).size());
            m_patterns.append(p);
        }
        // The most specific first: "%1 %2が入力されていません。" before "%1 %2".
        std::stable_sort(m_patterns.begin(), m_patterns.end(),
                         [](const Pattern &a, const Pattern &b) { return a.literal > b.literal; });
    }
    for (const Pattern &p : m_patterns) {
        const auto m = p.re.match(text);
        if (!p.literal)
            continue; // placeholders alone would match any text
        if (!m.hasMatch() || p.entry->translations.isEmpty())
            continue;
        QString out = p.entry->translations.first();
        for (int i = 0; i < p.markers.size(); ++i)
            if (p.markers[i].endsWith(QLatin1Char('n')) && m.captured(i + 1).toInt() != 1)
                out = p.entry->translations.value(1, out);
        for (int i = 0; i < p.markers.size(); ++i)
            out.replace(p.markers[i], m.captured(i + 1));
        return out;
    }
    return std::nullopt;
}
