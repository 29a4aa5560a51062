// Descriptions are read in the encoding their declaration names: the same
// description saved as UTF-8, UTF-16 or Shift_JIS gives the same model.
#include "EditorTestSupport.h"

#include "common/Cp932.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace EditorTest;

namespace
{

// Everything the form shows, one line per item.
QString dump(const SettingsDescription &d)
{
    QStringList out;
    for (const DescSection &s : d.sections)
        out << s.key + u'|' + s.name;
    for (const DescEntry &e : d.entries) {
        out << QStringList{e.key, e.name, e.defaultValue, e.explain, e.tooltip, e.groupParent}.join(
            u'|');
        for (const ComboOption &o : e.options)
            out << o.text + u'=' + o.value + u'/' + o.groupId;
        for (const ChildDetail &c : e.childDetails)
            for (const ComboOption &o : c.options)
                out << c.id + u':' + o.text + u'=' + o.value;
    }
    return out.join(u'\n');
}

QByteArray redeclared(const QString &xml, const char *encoding)
{
    QString text = xml;
    text.replace(QStringLiteral("encoding=\"UTF-8\""),
                 QStringLiteral("encoding=\"%1\"").arg(encoding));
    return text.toUtf8();
}

QByteArray encoded(const QByteArray &utf8, const char *encoding, const QByteArray &bom = {})
{
    QStringEncoder enc(encoding);
    return bom + QByteArray(enc.encode(QString::fromUtf8(utf8)));
}

} // namespace

TEST(DescriptionEncoding, SameModelFromEveryEncoding)
{
    const QByteArray utf8 = repoFile("samples/Config/Sys/sysconfig_KT-100_1.xml");
    const QString xml = QString::fromUtf8(utf8);
    ASSERT_TRUE(xml.contains(u"encoding=\"UTF-8\""));
    SettingsDescription reference;
    ASSERT_TRUE(LoadDescriptionBytes(utf8, true, &reference));
    ASSERT_EQ(reference.entries[1].name, QStringLiteral(u"SIPアドレス（電話番号）"));

    struct Case {
        const char *what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8},
        {"UTF-16LE with BOM", encoded(redeclared(xml, "UTF-16"), "UTF-16LE", "\xFF\xFE")},
        {"UTF-16BE with BOM", encoded(redeclared(xml, "UTF-16"), "UTF-16BE", "\xFE\xFF")},
        {"Shift_JIS", Cp932::encode(QString::fromUtf8(redeclared(xml, "Shift_JIS")))},
        {"shift_jis spelled lower case",
         Cp932::encode(QString::fromUtf8(redeclared(xml, "shift_jis")))},
        {"windows-31j", Cp932::encode(QString::fromUtf8(redeclared(xml, "windows-31j")))},
        {"EUC-JP", encoded(redeclared(xml, "EUC-JP"), "EUC-JP")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SettingsDescription d;
        QString message;
        EXPECT_TRUE(LoadDescriptionBytes(c.bytes, true, &d, &message)) << message.toStdString();
        EXPECT_EQ(dump(d), dump(reference));
    }
}

TEST(DescriptionEncoding, ShiftJisIsReadAsWindowsCodePage932)
{
    // Characters that only the Windows code page has (circled digit, the
    // IBM kanji extension) and its own mapping of the wave dash.
    const QString label = QStringLiteral(u"①髙～－");
    const QString body = data(1, QStringLiteral("<inputtype>1</inputtype><inputrule>0</inputrule>"
                                                "<combooption><o v=\"%1\">%1</o></combooption>")
                                     .arg(label));
    const QByteArray bytes =
        Cp932::encode(QString::fromUtf8(withVersion(body))
                          .replace(QStringLiteral("UTF-8"), QStringLiteral("Shift_JIS")));
    ASSERT_TRUE(bytes.contains("\x87\x40\xFB\xFC\x81\x60\x81\x7C"));
    SettingsDescription d;
    ASSERT_TRUE(LoadDescriptionBytes(bytes, true, &d));
    EXPECT_EQ(d.entries[1].options[0].text, label);
    EXPECT_EQ(d.entries[1].options[0].value, label);
}

TEST(DescriptionEncoding, UnreadableEncodingsEndInTheLoadMessage)
{
    const QString load =
        QStringLiteral(u"SECTION[0] DATA[0] Configファイルのロードに失敗しました。");
    const QString xml =
        QString::fromUtf8(withVersion(data(1, "<inputtype>2</inputtype><inputrule>0</inputrule>"
                                              "<explain>説明</explain>")));
    struct Case {
        const char *what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"unknown encoding", redeclared(xml, "x-no-such-encoding")},
        {"UTF-16 named, 8-bit bytes", redeclared(xml, "UTF-16")},
        {"Shift_JIS bytes declared UTF-8", Cp932::encode(xml)},
        {"invalid Shift_JIS sequence",
         redeclared(xml, "Shift_JIS").replace("<explain>", "<explain>\x81\x20")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QString message;
        EXPECT_FALSE(LoadDescriptionBytes(c.bytes, true, nullptr, &message));
        EXPECT_EQ(message, load);
    }
}
