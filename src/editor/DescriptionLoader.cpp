#include "editor/DescriptionLoader.h"

#include "comm/ResultCodes.h"
#include "common/Prompter.h"
#include "editor/DescriptionXml.h"
#include "editor/InputRules.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <vector>

using DescriptionXml::baseName;
using DescriptionXml::hasBaseName;
using DescriptionXml::text;

QString DescriptionLoader::DescriptionErrorText()
{
    return QCoreApplication::translate("DescriptionLoader",
                                       "設定編集用のConfigファイルに異常があります。\nお手数ですが"
                                       "、購入元にお問い合わせ願います。");
}

QString DescriptionLoader::DescriptionErrorCaption()
{
    return QCoreApplication::translate("DescriptionLoader", "Configファイルエラー");
}

QString DescriptionLoader::SettingsFileErrorText()
{
    return QCoreApplication::translate("DescriptionLoader",
                                       "設定ファイル(iniファイル)"
                                       "の情報の取得に失敗しました。\n設定ファイルを更新して再度実"
                                       "行してください。");
}

QString DescriptionLoader::SettingsFileErrorCaption()
{
    return QCoreApplication::translate("DescriptionLoader", "設定ファイルエラー");
}

namespace
{

// A check failed with this message (empty: no message of its own).
struct CheckFailure {
    QString message;
};

// What the C library's atoi reads: blanks, a sign, digits; the rest is ignored.
int leadingNumber(const QString &t)
{
    qsizetype i = 0;
    while (i < t.size() && (t[i] == u' ' || (t[i] >= u'\t' && t[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        negative = t[i++] == u'-';
    long long v = 0;
    for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i)
        v = std::min<long long>(v * 10 + (t[i].unicode() - u'0'), 1LL << 40);
    v = negative ? -v : v;
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Non-empty and decimal digits only; the value saturates far above any limit.
bool digitsOnly(const QString &t, std::int64_t *value)
{
    if (t.isEmpty())
        return false;
    std::int64_t v = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return false;
        v = std::min<std::int64_t>(v * 10 + (c.unicode() - u'0'), std::int64_t(1) << 40);
    }
    *value = v;
    return true;
}

void normaliseText(TextSettings &t)
{
    const std::int64_t top = t.textType == 1 ? 255 : 65535;
    std::int64_t v = 0;
    t.upper = digitsOnly(t.inputMax, &v) ? std::min(v, top) : top;
    t.lower = digitsOnly(t.inputMin, &v) ? v : 0;
    if (t.lower > t.upper) {
        t.upper = top;
        t.lower = 0;
    }
}

void normaliseAddress(AddressSettings &a)
{
    // An octet above 255 names no address and counts as not matching.
    a.upper = InputRules::parseAddress(a.inputMax).value_or(0xFFFFFFFFu);
    a.lower = InputRules::parseAddress(a.inputMin).value_or(0);
    if (a.lower > a.upper) {
        a.upper = 0xFFFFFFFFu;
        a.lower = 0;
    }
}

// An element name compared with == against literals, without copies.
struct Name {
    const char *text;
    bool operator==(const char *other) const { return std::strcmp(text, other) == 0; }
};

bool isElement(const pugi::xml_node &n)
{
    return n.type() == pugi::node_element;
}

// The elements of the whole document named "section" (qualified name, in
// document order) and the number named "data", as the DOM's
// getElementsByTagName finds them.
QList<pugi::xml_node> sectionsAndData(const pugi::xml_document &doc, qsizetype *dataCount)
{
    QList<pugi::xml_node> sections;
    *dataCount = 0;
    pugi::xml_node n = doc.first_child();
    while (n) {
        if (isElement(n)) {
            const char *name = n.name();
            if (std::strcmp(name, "section") == 0)
                sections.append(n);
            else if (std::strcmp(name, "data") == 0)
                ++*dataCount;
        }
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && !n.next_sibling())
            n = n.parent();
        if (n)
            n = n.next_sibling();
    }
    return sections;
}

QString attributeValue(const pugi::xml_node &element, const char *name)
{
    return QString::fromUtf8(element.attribute(name).value());
}

const QString kVersion = QStringLiteral("Version");

} // namespace

// ---------------------------------------------------------------------------
// The walk: the XML tree level by level into sections and entries.

class DescriptionLoader::Walk
{
public:
    Walk(SettingsDescription &desc, bool settingsFile) : m_desc(desc), m_settingsFile(settingsFile)
    {
    }

    // The message of the first failure; empty when the walk passed.
    QString run(const QByteArray &bytes)
    {
        try {
            pugi::xml_document doc;
            if (!DescriptionXml::parse(bytes, doc))
                fail(QStringLiteral(u"Configファイルのロードに失敗しました。"));
            walkRoot(doc);
        } catch (const CheckFailure &f) {
            return f.message;
        } catch (const std::exception &) {
            return prefix() + QStringLiteral(u"例外処理が発生しました。");
        }
        return {};
    }

private:
    QString prefix() const { return QString::asprintf("SECTION[%d] DATA[%d] ", m_s, m_d); }
    [[noreturn]] void fail(const QString &text) const { throw CheckFailure{prefix() + text}; }

    void walkRoot(const pugi::xml_document &doc)
    {
        const pugi::xml_node root = doc.document_element();
        if (!root)
            fail(QStringLiteral(u"第１階層のノード情報がありません"));
        if (!hasBaseName(root, "DISP"))
            fail(QStringLiteral(u"タグ名[DISP]がありません"));

        qsizetype dataCount = 0;
        const QList<pugi::xml_node> sectionElements = sectionsAndData(doc, &dataCount);
        if (sectionElements.isEmpty() || dataCount == 0)
            fail(QStringLiteral(u"セクションまたはデータがありません。"));
        m_desc.sections.reserve(sectionElements.size());
        m_desc.entries.reserve(dataCount);

        const QString sectionTag =
            QStringLiteral(u"タグ名[<section key= name =>タグ名称</section>]がありません。");
        for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
            m_d = 0;
            if (isElement(node)) {
                const pugi::xml_attribute first = node.first_attribute();
                if (!first || !first.next_attribute())
                    fail(QStringLiteral(u"第２階層のノード情報がありません"));
                if (!hasBaseName(first, "key") || !hasBaseName(first.next_attribute(), "name"))
                    fail(sectionTag);
            }
            if (!isElement(node) || !hasBaseName(node, "section"))
                fail(sectionTag);
            if (m_s >= sectionElements.size())
                fail(QStringLiteral(u"第２階層の要素情報がありません"));
            const pugi::xml_node element = sectionElements[m_s];
            DescSection section;
            section.name = attributeValue(element, "name");
            section.key = attributeValue(element, "key");
            if (section.name.isEmpty() || section.key.isEmpty())
                fail(sectionTag);
            m_desc.sections.append(section);
            walkSection(node);
            ++m_s;
        }
    }

    void walkSection(const pugi::xml_node &section)
    {
        for (pugi::xml_node node = section.first_child(); node; node = node.next_sibling()) {
            if (!isElement(node) || !hasBaseName(node, "data"))
                fail(QStringLiteral(u"タグ名[<data>タグ名称</data>]がありません。"));
            int key = 0, name = 0, type = 0, rule = 0;
            for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
                if (!isElement(c))
                    continue;
                const char *n = DescriptionXml::rawBaseName(c);
                key += std::strcmp(n, "key") == 0;
                name += std::strcmp(n, "name") == 0;
                type += std::strcmp(n, "inputtype") == 0;
                rule += std::strcmp(n, "inputrule") == 0;
            }
            if (key != 1 || name != 1 || type != 1 || rule != 1)
                fail(QStringLiteral(u"[key], [name], [inputtype], [inputrule], のタグがない または "
                                    u"重複してます。"));

            DescEntry entry;
            entry.section = m_s;
            entry.dataIndex = m_d;
            for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
                if (isElement(c))
                    readElement(entry, c);
            finishEntry(entry);
            ++m_d;
        }
    }

    // One level-4 element. The input type read so far decides how the
    // type-specific elements are read.
    void readElement(DescEntry &e, const pugi::xml_node &node)
    {
        const Name n{DescriptionXml::rawBaseName(node)};
        const QString t = text(node);
        if (n == "key") {
            e.key = t;
        } else if (n == "name") {
            e.name = t;
        } else if (n == "default") {
            e.defaultValue = t;
        } else if (n == "inputtype") {
            const int v = leadingNumber(t);
            if (v < InputType::Combo || v > InputType::ReadOnly)
                fail(QStringLiteral(u"[inputtype]が範囲外の値を設定しています。"));
            e.inputType = v;
        } else if (n == "inputrule") {
            if (t != QLatin1String("0") && t != QLatin1String("1"))
                fail(QStringLiteral(u"[inputrule]が範囲外の値を設定しています。"));
            e.inputRule = t == QLatin1String("1");
        } else if (n == "dispflg") {
            e.dispFlg = leadingNumber(t);
        } else if (n == "commonflg") {
            e.commonFlg = leadingNumber(t);
        } else if (n == "inputneed") {
            e.inputNeed = leadingNumber(t);
        }

        switch (e.inputType) {
        case InputType::Combo:
            if (n == "groupparent")
                e.groupParent = t;
            else if (n == "combooption")
                readOptions(e, node, t);
            break;
        case InputType::Text:
        case InputType::Password:
            if (!readTextSetting(e.text, n, t) && n == "groupparent") {
                e.text.groupParent = t;
                e.groupParent = t;
            }
            break;
        case InputType::Address:
            if (!readAddressSetting(e.address, n, t) && n == "groupparent") {
                e.address.groupParent = t;
                e.groupParent = t;
            }
            break;
        default: // 5..7, or not read yet
            if (n == "groupparent" && !t.isEmpty())
                fail(QStringLiteral(u"[inputtype]５～７の場合に[groupparent]は設定できません。"));
            if (n == "groupchild" && !t.isEmpty())
                fail(QStringLiteral(u"[inputtype]５～７の場合に[groupchild]は設定できません。"));
            if (e.inputType == InputType::NoControl || e.inputType == InputType::ReadOnly)
                e.kept = true;
            break;
        }

        if (n == "explain")
            e.explain = t;
        else if (n == "tooltip")
            e.tooltip = t;
        else if (n == "childdetail")
            readChildDetails(e, node, t);
        else if (n == "groupchild")
            e.groupChild = t;
    }

    void readOptions(DescEntry &e, const pugi::xml_node &node, const QString &t)
    {
        if (t.isEmpty())
            return;
        e.options.clear();
        for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
            const pugi::xml_attribute attr = c.first_attribute();
            if (!attr)
                throw std::runtime_error("option without attribute");
            ComboOption o;
            o.text = text(c);
            o.value = QString::fromUtf8(attr.value());
            if (o.text.isEmpty() || o.value.isEmpty())
                fail(QStringLiteral(u"[combooption]の[no] または値がありません。"));
            e.options.append(o);
        }
    }

    void readChildDetails(DescEntry &e, const pugi::xml_node &node, const QString &t)
    {
        if (t.isEmpty())
            return;
        const int type = e.inputType;
        if ((type < InputType::Combo || type > InputType::Address) && node.first_child())
            fail(QStringLiteral(u"[inputtype]５～７の場合に[groupchild]は設定できません。"));
        if (e.inputRule != 1)
            return;
        e.childDetails.clear();
        for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
            ChildDetail d;
            d.id = baseName(c);
            if (!text(c).isEmpty())
                for (pugi::xml_node g = c.first_child(); g; g = g.next_sibling())
                    if (isElement(g))
                        readChildElement(type, d, g);
            e.childDetails.append(d);
        }
    }

    // The limits of a text entry or of a child detail ("child" removed).
    static bool readTextSetting(TextSettings &s, const Name &n, const QString &t)
    {
        if (n == "texttype") {
            if (leadingNumber(t) == 1)
                s.textType = 1;
        } else if (n == "inputmin") {
            s.inputMin = t;
        } else if (n == "inputmax") {
            s.inputMax = t;
        } else if (n == "regexpression") {
            s.regExpression = t;
        } else if (n == "textaction") {
            s.textAction = t == QLatin1String("1");
        } else {
            return false;
        }
        return true;
    }

    static bool readAddressSetting(AddressSettings &s, const Name &n, const QString &t)
    {
        if (n == "inputmin")
            s.inputMin = t;
        else if (n == "inputmax")
            s.inputMax = t;
        else if (n == "textaction")
            s.textAction = t == QLatin1String("1");
        else
            return false;
        return true;
    }

    // A level-6 element of a child detail, read by the entry's own type: each
    // mirrors the entry's element of the name without "child".
    void readChildElement(int type, ChildDetail &d, const pugi::xml_node &g)
    {
        const char *raw = DescriptionXml::rawBaseName(g);
        const QString t = text(g);
        d.tooltip = t;
        if (std::strncmp(raw, "child", 5) != 0)
            return;
        const Name n{raw + 5};
        if (type == InputType::Combo) {
            if (!(n == "combooption"))
                return;
            d.options.clear();
            for (pugi::xml_node h = g.first_child(); h; h = h.next_sibling()) {
                const pugi::xml_attribute attr = h.first_attribute();
                if (!attr)
                    fail(QStringLiteral(u"第７階層のノード情報がありません。"));
                d.options.append(ComboOption{text(h), QString::fromUtf8(attr.value()), {}});
            }
        } else if (type == InputType::Text || type == InputType::Password) {
            if (n == "inputneed") {
                if (!t.isEmpty())
                    d.inputNeed = leadingNumber(t);
            } else {
                readTextSetting(d.text, n, t);
            }
        } else if (type == InputType::Address) {
            readAddressSetting(d.address, n, t);
        }
    }

    void finishEntry(DescEntry &e)
    {
        // The combo box's groupparent list gives each option its group ID; a
        // list written before the options is applied here all the same.
        if (e.inputType == InputType::Combo) {
            const QStringList pieces = SettingsDescription::groupParentPieces(e);
            for (qsizetype i = 0; i < e.options.size() && i < pieces.size(); ++i)
                e.options[i].groupId = pieces[i];
        }
        e.value = e.defaultValue;
        m_desc.entries.append(e);

        if (m_settingsFile && m_s == 0 &&
            (m_desc.sections[0].key != kVersion || m_desc.entries[0].key != kVersion))
            fail(QStringLiteral(u"[section], [data]の１個目に[Version]がありません。"));
        if (e.key.isEmpty() || e.name.isEmpty())
            fail(QStringLiteral(u"[key] または [name]の値がありません。"));
        if (e.inputType == InputType::Combo && e.inputRule == 0 && e.options.isEmpty())
            fail(QStringLiteral(u"[inputtype]がコンボボックスを指定している状態で[combooption]"
                                u"が存在していません。"));
    }

    SettingsDescription &m_desc;
    bool m_settingsFile;
    int m_s = 0; // section number
    int m_d = 0; // data number within the section
};

// ---------------------------------------------------------------------------
// The dependency check: limits, groups and alternative settings.

class DescriptionLoader::Check
{
public:
    explicit Check(SettingsDescription &desc) : m_entries(desc.entries) {}

    // The message of the first failure (empty for a failure without one);
    // nullopt-like: ok set when everything passed.
    QString run(bool *ok)
    {
        *ok = false;
        try {
            index();
            for (m_n = 0; m_n < int(m_entries.size()); ++m_n)
                checkEntry(m_n);
            checkParents();
        } catch (const CheckFailure &f) {
            return f.message;
        } catch (const std::exception &) {
            return data(m_n) + QStringLiteral(u"例外処理が発生しました。");
        }
        *ok = true;
        return {};
    }

private:
    static QString data(int n) { return QString::asprintf("DATA[%d] ", n); }
    [[noreturn]] static void fail(const QString &message) { throw CheckFailure{message}; }

    // Which entries list each group ID in their groupparent. Empty pieces are
    // options without a group and name no group.
    void index()
    {
        m_pieces.resize(m_entries.size());
        for (int i = 0; i < int(m_entries.size()); ++i) {
            m_pieces[i] = SettingsDescription::groupParentPieces(m_entries[i]);
            for (const QString &p : std::as_const(m_pieces[i])) {
                if (p.isEmpty())
                    continue;
                std::vector<int> &holders = m_holders[p];
                if (holders.empty() || holders.back() != i)
                    holders.push_back(i);
            }
        }
    }

    // The other entries whose groupparent list holds the group ID.
    QList<int> holdersOf(const QString &id, int self) const
    {
        QList<int> out;
        if (id.isEmpty())
            return out;
        const auto found = m_holders.find(id);
        if (found == m_holders.end())
            return out;
        for (int h : found->second)
            if (h != self)
                out.append(h);
        return out;
    }

    void checkOptions(const DescEntry &e, const QList<ComboOption> &options)
    {
        const QString where = QString::asprintf("SECTION[%d] DATA[%d] ", e.section, e.dataIndex);
        for (const ComboOption &o : options) {
            if (o.text.isEmpty())
                fail(where + QStringLiteral(u"[combooption]の[no]がありません。"));
            if (o.value.isEmpty())
                fail(where + QStringLiteral(u"[combooption]の値がありません。"));
        }
    }

    void checkEntry(int n)
    {
        DescEntry &e = m_entries[n];
        if (e.inputRule == 1) {
            if (e.childDetails.isEmpty())
                fail(data(n) + QStringLiteral(u"[inputrule]に依存関係を設定していますが、["
                                              u"childdetail]の情報がありません。"));
            if (!e.groupParent.isEmpty())
                fail(data(n) + QStringLiteral(u"[inputrule]に依存関係を設定しているため、["
                                              u"groupparent]は設定できません。"));
        }
        if (e.inputType == InputType::Combo) {
            if (e.inputRule == 1)
                for (const ChildDetail &d : std::as_const(e.childDetails))
                    checkOptions(e, d.options);
            else
                checkOptions(e, e.options);
        }
        if (e.inputType == InputType::Text || e.inputType == InputType::Password) {
            normaliseText(e.text);
            for (ChildDetail &d : e.childDetails)
                normaliseText(d.text);
        } else if (e.inputType == InputType::Address) {
            normaliseAddress(e.address);
            for (ChildDetail &d : e.childDetails)
                normaliseAddress(d.address);
        }

        if (e.inputRule == 0) {
            // A group is controlled by one entry only.
            for (const QString &p : std::as_const(m_pieces[n]))
                if (!holdersOf(p, n).isEmpty())
                    fail(QString());
            if (!e.groupChild.isEmpty()) {
                const QList<int> parents = holdersOf(e.groupChild, n);
                for (int p : parents)
                    m_entries[p].children.append(n);
                if (parents.size() != 1)
                    fail(data(n) +
                         QStringLiteral(
                             u"親子関係で[groupparent]が存在しない または 複数存在します。"));
            }
        } else {
            QSet<QString> ids;
            for (const ChildDetail &d : std::as_const(e.childDetails)) {
                if (ids.contains(d.id))
                    fail(data(n) + QStringLiteral(u"[childdetail]内に同じIDが複数存在します。"));
                ids.insert(d.id);
            }
            for (const ChildDetail &d : std::as_const(e.childDetails)) {
                const QList<int> parents = holdersOf(d.id, n);
                if (parents.isEmpty())
                    fail(data(n) + QStringLiteral(u"子IDと一致する[groupparent]がありません。"));
                for (int p : parents)
                    if (p != parents.first() || m_entries[p].inputType != InputType::Combo)
                        fail(data(n) + QStringLiteral(u"[inputtype]がコンボボックス以外を指定 "
                                                      u"または [groupparent]が複数存在します。"));
                m_entries[parents.first()].children.append(n);
            }
        }
    }

    void checkParents()
    {
        for (m_n = 0; m_n < int(m_entries.size()); ++m_n) {
            const DescEntry &p = m_entries[m_n];
            if (p.inputType != InputType::Combo || p.groupParent.isEmpty())
                continue;
            if (p.children.isEmpty())
                fail(data(m_n) + QStringLiteral(u"[inputtype]でコンボボックスを指定の場合に["
                                                u"groupchild]が存在していません。"));
            for (int c : p.children) {
                const DescEntry &child = m_entries[c];
                if (child.inputType != InputType::Combo || child.inputRule != 1)
                    continue;
                if (child.childDetails.isEmpty())
                    fail(data(c) +
                         QStringLiteral(
                             u"[inputtype]"
                             u"がコンボボックスを指定している状態で子IDが存在していません。"));
                for (const ChildDetail &d : child.childDetails)
                    if (d.options.isEmpty())
                        fail(data(c) +
                             QStringLiteral(
                                 u"[inputtype]でコンボボックスを指定、[inputrule]"
                                 u"で依存関係の場合に[childcombooption]が存在していません。"));
            }
        }
        for (m_n = 0; m_n < int(m_entries.size()); ++m_n) {
            const DescEntry &p = m_entries[m_n];
            for (int c : p.children) {
                const DescEntry &child = m_entries[c];
                if (child.inputRule != 1)
                    continue;
                if (p.options.isEmpty() || child.childDetails.isEmpty())
                    fail(QString());
                for (const ComboOption &o : p.options) {
                    if (o.groupId.isEmpty())
                        continue;
                    int matches = 0;
                    for (const ChildDetail &d : child.childDetails)
                        matches += d.id == o.groupId;
                    if (matches != 1)
                        fail(QString::asprintf("DATA(親)[%d] DATA(子)[%d] ", m_n, c) +
                             QStringLiteral(
                                 u"[inputrule]で依存関係を指定、親データの[groupparent]"
                                 u"のIDと子データの[childdetail]のIDが一致していません。"));
                }
            }
        }
    }

    QList<DescEntry> &m_entries;
    QList<QStringList> m_pieces;
    std::unordered_map<QString, std::vector<int>, QStringStdHash> m_holders;
    int m_n = 0;
};

// ---------------------------------------------------------------------------

DescriptionLoader::DescriptionLoader(LoaderInputs inputs)
    : m_inputs(std::move(inputs)), m_log(DailyEditorLog()),
      m_desc(std::make_unique<SettingsDescription>())
{
}

DescriptionLoader::~DescriptionLoader() = default;

void DescriptionLoader::fail(const QString &message)
{
    m_message = message;
    if (!message.isEmpty() && m_log)
        m_log(ErrLog::ConfigXml, m_inputs.termId, message);
}

bool DescriptionLoader::load()
{
    QByteArray bytes;
    QFile f(m_inputs.descriptionPath);
    if (QFileInfo(f).isFile() && f.open(QIODevice::ReadOnly) &&
        f.size() <= DescriptionXml::MaxFileBytes)
        bytes = f.read(DescriptionXml::MaxFileBytes + 1);
    return loadBytes(bytes); // empty bytes fail to load
}

bool DescriptionLoader::loadBytes(const QByteArray &bytes)
{
    *m_desc = SettingsDescription();
    m_message.clear();
    const QString message = Walk(*m_desc, m_inputs.settingsFile).run(bytes);
    if (message.isEmpty())
        return true;
    fail(message);
    return false;
}

bool DescriptionLoader::checkDependencies()
{
    m_message.clear();
    bool ok = false;
    const QString message = Check(*m_desc).run(&ok);
    if (!ok)
        fail(message);
    return ok;
}

bool DescriptionLoader::readSettingsFile()
{
    m_message.clear();
    switch (SettingsFileImage::read(m_inputs.iniPath, &m_image)) {
    case SettingsFileImage::ReadStatus::Ok:
        MergeSettings(m_image, *m_desc);
        return true;
    case SettingsFileImage::ReadStatus::OpenFailed:
        fail(QStringLiteral(u"SECTION[0] DATA[0] ファイルのオープンに失敗しました。"));
        return false;
    case SettingsFileImage::ReadStatus::ReadFailed:
        fail(QStringLiteral(u"SECTION[0] DATA[0] ファイル読み込みに失敗しました。"));
        return false;
    }
    return false;
}

DescriptionLoader::Prepared DescriptionLoader::prepare()
{
    if (!load() || !checkDependencies()) {
        if (m_log)
            m_log(ErrLog::ConfigXml, m_inputs.termId, m_inputs.descriptionPath);
        AppMessageBox(1, 2, DescriptionErrorText(), DescriptionErrorCaption(), MsgType::IconError);
        return Prepared::DescriptionError;
    }
    if (!readSettingsFile()) {
        if (m_log)
            m_log(ErrLog::FileOpen, m_inputs.termId, QString());
        AppMessageBox(1, 2, SettingsFileErrorText(), SettingsFileErrorCaption(),
                      MsgType::IconError);
        return Prepared::SettingsFileError;
    }
    return Prepared::Ready;
}

// ---------------------------------------------------------------------------

bool LoadDescriptionBytes(const QByteArray &bytes, bool settingsFile, SettingsDescription *out,
                          QString *message)
{
    LoaderInputs in;
    in.settingsFile = settingsFile;
    DescriptionLoader loader(in);
    loader.setErrorLog({});
    const bool ok = loader.loadBytes(bytes) && loader.checkDependencies();
    if (message)
        *message = loader.message();
    if (out)
        *out = loader.description();
    return ok;
}

SettingsFileImage ReadSettingsBytes(const QByteArray &bytes)
{
    return SettingsFileImage::fromBytes(bytes);
}

DescriptionVersion ReadDescriptionVersion(const QString &path)
{
    DescriptionVersion out;
    QFile f(path);
    if (!QFileInfo(f).isFile() || !f.open(QIODevice::ReadOnly) ||
        f.size() > DescriptionXml::MaxFileBytes)
        return out;
    pugi::xml_document doc;
    if (!DescriptionXml::parse(f.readAll(), doc))
        return out;
    out.status = DescriptionVersion::NoVersion;
    const pugi::xml_node data = doc.find_node(
        [](const pugi::xml_node &n) { return isElement(n) && std::strcmp(n.name(), "data") == 0; });
    if (!data || text(data.child("key")) != kVersion)
        return out;
    out.status = DescriptionVersion::Ok;
    out.version = text(data.child("default"));
    return out;
}
