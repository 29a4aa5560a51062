// The description loader's checks, encodings, fields and limits; the settings file writer.
#include "EditorTestSupport.h"

#include "comm/OpLog.h"
#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/ProcessValues.h"
#include "editor/DescriptionXml.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace EditorTest;
using namespace Qt::StringLiterals;

namespace
{

QString combo(int n, const QString &options, const QString &groupParent = {})
{
    return data(n, "<inputtype>1</inputtype><inputrule>0</inputrule><combooption>" + options +
                       "</combooption>" + (groupParent.isEmpty() ? QString() : "<groupparent>" + groupParent + "</groupparent>"));
}
QString text(int n, const QString &extra = {})
{
    return data(n, QStringLiteral("<inputtype>2</inputtype><inputrule>0</inputrule>") + extra);
}
const QString kAB = QStringLiteral(R"(<o v="a">A</o><o v="b">B</o>)");
const QString kSection =
    QStringLiteral(u"タグ名[<section key= name =>タグ名称</section>]がありません。");

const QString kLoad = u"SECTION[0] DATA[0] Configファイルのロードに失敗しました。"_s;

QByteArray redeclared(QString xml, const char *encoding)
{
    return xml.replace("encoding=\"UTF-8\"", u"encoding=\"%1\""_s.arg(encoding)).toUtf8();
}

struct Case {
    const char *what;
    QByteArray xml;
    QString message; // empty: accepted, or refused without a message of its own
    bool accepted = false;
};

SettingsDescription writeDescription()
{
    SettingsDescription d;
    EXPECT_TRUE(LoadDescriptionBytes(repoFile("tests/editor/data/write_desc.xml"), true, &d));
    return d;
}

QByteArray crlf(const char *text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

} // namespace

TEST(DescriptionChecks, EachBrokenDescriptionLogsItsMessageAndVariantsPass)
{
    TempDir dir;
    dir.mkdir("Log");
    ProcessValues::setProgramFolder(dir.path());
    OpLog::setClock([] { return QDateTime(QDate(2024, 3, 5), QTime(9, 7)); });
    // An error-12 line: the number's text padded to 32 bytes, then the message.
    const QByteArray head =
        Cp932::encode(u"2024/03/05 09:07  Err12:設定Configファイル異常            "_s);

    const QString dep = QStringLiteral("<inputtype>2</inputtype><inputrule>1</inputrule>");
    const QByteArray deep = withVersion(text(1, "<x/>")).replace("<x/>", QByteArray("<y>").repeated(100000) + QByteArray("</y>").repeated(100000));
    const QString xml = QString::fromUtf8(withVersion(text(1, "<explain>説明</explain>")));
    // clang-format off
    const Case cases[] = {
        // The root and the sections.
        {"not well-formed", "<DISP><section key=\"Version\" name=\"x\">", kLoad},
        {"nested deeply", deep, kLoad},
        {"huge", withVersion(text(1)) + QByteArray(DescriptionXml::MaxFileBytes, ' '), kLoad},
        {"invalid Shift_JIS sequence", redeclared(xml, "Shift_JIS").replace("<explain>", "<explain>\x81\x20"), kLoad},
        {"root not DISP", "<ROOT><section key=\"Version\" name=\"v\"/></ROOT>", u"SECTION[0] DATA[0] タグ名[DISP]がありません"_s},
        {"no data", "<DISP><section key=\"Version\" name=\"v\"/></DISP>", u"SECTION[0] DATA[0] セクションまたはデータがありません。"_s},
        {"comment under the root", "<DISP><!-- note --><section key=\"Version\" name=\"v\"><data/></section></DISP>", u"SECTION[0] DATA[0] "_s + kSection},
        {"one section attribute", withVersion(text(1)).replace(" name=\"設定\"", ""), u"SECTION[1] DATA[0] 第２階層のノード情報がありません"_s},
        {"attribute between key and name", withVersion(text(1)).replace("key=\"S\" name", "key=\"S\" x=\"1\" name"), u"SECTION[1] DATA[0] "_s + kSection},
        {"not a section", withVersion(text(1)).replace("<section key=\"S\"", "<part key=\"S\"").replace("</section></DISP>", "</part></DISP>"), u"SECTION[1] DATA[0] "_s + kSection},
        // The entries.
        {"no inputrule", withVersion(data(1, "<inputtype>2</inputtype>")), u"SECTION[1] DATA[0] [key], [name], [inputtype], [inputrule], のタグがない または 重複してます。"_s},
        {"inputtype 0", withVersion(text(1) + data(2, "<inputtype>0</inputtype><inputrule>0</inputrule>")), u"SECTION[1] DATA[1] [inputtype]が範囲外の値を設定しています。"_s},
        {"option with empty value", withVersion(combo(1, "<o v=\"\">A</o>")), u"SECTION[1] DATA[0] [combooption]の[no] または値がありません。"_s},
        {"combo without options", withVersion(combo(1, "")), u"SECTION[1] DATA[0] [inputtype]がコンボボックスを指定している状態で[combooption]が存在していません。"_s},
        {"type 6 with groupparent", withVersion(data(1, "<inputtype>6</inputtype><inputrule>0</inputrule><groupparent>G</groupparent>")), u"SECTION[1] DATA[0] [inputtype]５～７の場合に[groupparent]は設定できません。"_s},
        {"first entry not Version", QStringLiteral(u"<DISP><section key=\"S\" name=\"設定\">%1</section></DISP>").arg(text(1)).toUtf8(), u"SECTION[0] DATA[0] [section], [data]の１個目に[Version]がありません。"_s},
        {"child option without attribute", withVersion(combo(1, kAB, "A|B") + data(2, "<inputtype>1</inputtype><inputrule>1</inputrule><childdetail><A><childcombooption><i>x</i></childcombooption></A></childdetail>")), u"SECTION[1] DATA[1] 第７階層のノード情報がありません。"_s},
        // The dependencies (entries count from 0 over the whole file; the
        // version entry is DATA[0]).
        {"groupchild without parent", withVersion(text(1, "<groupchild>G</groupchild>")), u"DATA[1] 親子関係で[groupparent]が存在しない または 複数存在します。"_s},
        {"duplicate child IDs", withVersion(combo(1, kAB, "A|B") + data(2, dep + "<childdetail><A>1</A><B>1</B><A>1</A></childdetail>")), u"DATA[2] [childdetail]内に同じIDが複数存在します。"_s},
        {"inputrule 1 without child details", withVersion(data(1, dep)), u"DATA[1] [inputrule]に依存関係を設定していますが、[childdetail]の情報がありません。"_s},
        {"inputrule 1 with groupparent", withVersion(data(1, dep + "<groupparent>X</groupparent><childdetail><A>1</A></childdetail>")), u"DATA[1] [inputrule]に依存関係を設定しているため、[groupparent]は設定できません。"_s},
        {"child ID nobody lists", withVersion(data(1, dep + "<childdetail><A>1</A></childdetail>")), u"DATA[1] 子IDと一致する[groupparent]がありません。"_s},
        {"child ID listed by a text entry", withVersion(text(1, "<groupparent>A</groupparent>") + data(2, dep + "<childdetail><A>1</A></childdetail>")), u"DATA[2] [inputtype]がコンボボックス以外を指定 または [groupparent]が複数存在します。"_s},
        {"combo option without text", withVersion(combo(1, kAB, "A|B") + data(2, "<inputtype>1</inputtype><inputrule>1</inputrule><childdetail><A><childcombooption><i v=\"1\"></i><i v=\"0\">0</i></childcombooption></A><B><childcombooption><i v=\"2\">2</i></childcombooption></B></childdetail>")), u"SECTION[1] DATA[1] [combooption]の[no]がありません。"_s},
        {"combo group without child", withVersion(combo(1, kAB, "A|B")), u"DATA[1] [inputtype]でコンボボックスを指定の場合に[groupchild]が存在していません。"_s},
        {"child combo detail without options", withVersion(combo(1, kAB, "A|B") + data(2, "<inputtype>1</inputtype><inputrule>1</inputrule><childdetail><A><childcombooption><i v=\"1\">1</i></childcombooption></A><B></B></childdetail>")), u"DATA[2] [inputtype]でコンボボックスを指定、[inputrule]で依存関係の場合に[childcombooption]が存在していません。"_s},
        {"parent group missing in the child", withVersion(combo(1, kAB, "A|B") + data(2, dep + "<childdetail><A>1</A></childdetail>")), u"DATA(親)[1] DATA(子)[2] [inputrule]で依存関係を指定、親データの[groupparent]のIDと子データの[childdetail]のIDが一致していません。"_s},
        // Accepted variants. Names compare without their prefix; the count of
        // "data" elements still needs one without.
        {"prefixed names", QByteArray(withVersion(text(1))).replace("<DISP>", "<p:DISP xmlns:p=\"urn:x\">").replace("</DISP>", "</p:DISP>").replace("<data><key>K1", "<p:data><key>K1").replace("</data></section></p:DISP>", "</p:data></section></p:DISP>"), {}, true},
        {"comment inside an entry", withVersion(text(1, "<!-- note -->")), {}, true},
        {"groupparent before combooption", withVersion(data(1, "<inputtype>1</inputtype><inputrule>0</inputrule><groupparent>A|B</groupparent><combooption>" + kAB + "</combooption>") + text(2, "<groupchild>B</groupchild>")), {}, true},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(OpLog::todayFilePath());
        LoaderInputs in;
        in.settingsFile = true;
        in.termId = QStringLiteral("3001");
        DescriptionLoader loader(in);
        EXPECT_EQ(loader.loadBytes(c.xml) && loader.checkDependencies(), c.accepted);
        EXPECT_EQ(loader.message(), c.message);
        QFile log(OpLog::todayFilePath());
        const QByteArray expected =
            c.message.isEmpty() ? QByteArray() : head + Cp932::encode(c.message) + "\r\n";
        EXPECT_EQ(log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray(), expected);
    }
    OpLog::setClock({});
}

TEST(DescriptionChecks, FieldsAndLimitsAsRead)
{
    const auto load = [](const QString &body) {
        SettingsDescription d;
        EXPECT_TRUE(LoadDescriptionBytes(withVersion(body), true, &d));
        return d.entries.value(d.entries.size() - 1);
    };
    // "3abc" reads 3; only texttype 1 selects free text; numbers read up to the
    // first non-digit; types 6 and 7 are always kept.
    const DescEntry f = load(data(1, "<inputtype>3abc</inputtype><inputrule>0</inputrule><texttype>2</texttype>"
                                     "<commonflg>1x</commonflg><inputneed>3</inputneed><textaction>yes</textaction>"));
    EXPECT_EQ(std::tuple(f.inputType, f.text.textType, f.text.textAction, f.commonFlg, f.inputNeed, f.kept,
                         load(data(2, "<inputtype>6</inputtype><inputrule>0</inputrule>")).kept),
              std::tuple(InputType::Password, 0, 0, 1, 3, false, true));
    // The registration form's description has no version entry.
    SettingsDescription reg;
    EXPECT_TRUE(LoadDescriptionBytes("<DISP><section key=\"S\" name=\"s\">" + text(1).toUtf8() + "</section></DISP>", false, &reg));

    // Type 2 with a text type, or an address (type 4); limits min..max.
    const struct {
        const char *type, *min, *max;
        std::int64_t lower, upper;
    } cases[] = {
        {"0", "200", "100", 0, 65535}, {"0", "1", "70000", 1, 65535}, {"2", "5", "10", 5, 10},
        {"0", " 5", "10", 0, 10},      {"1", "0", "300", 0, 255},     {"1", "1", "20", 1, 20},
        {"a", "", "", 0, 0xFFFFFFFF},  {"a", "256.0.0.1", "192.168.1.1", 0, 0xC0A80101},
    };
    for (const auto &c : cases) {
        const bool address = *c.type == 'a';
        const QString limits = QStringLiteral("<inputmin>%1</inputmin><inputmax>%2</inputmax>").arg(c.min, c.max);
        const DescEntry e = load(address ? data(1, "<inputtype>4</inputtype><inputrule>0</inputrule>" + limits)
                                         : text(1, "<texttype>" + QString(c.type) + "</texttype>" + limits));
        using P = std::pair<std::int64_t, std::int64_t>;
        EXPECT_EQ(address ? P(e.address.lower, e.address.upper) : P(e.text.lower, e.text.upper),
                  std::pair(c.lower, c.upper))
            << c.type << " " << c.min << ".." << c.max;
    }

    // Child details are normalised with their own text type.
    const QList<ChildDetail> details =
        load(combo(1, kAB, "A|B") +
             data(2, "<inputtype>2</inputtype><inputrule>1</inputrule><childdetail>"
                     "<A><childinputmin>200</childinputmin><childinputmax>100</childinputmax></A>"
                     "<B><childtexttype>1</childtexttype><childinputmax>999</childinputmax>"
                     "<childinputneed>1</childinputneed></B></childdetail>"))
            .childDetails;
    ASSERT_EQ(details.size(), 2);
    EXPECT_EQ(std::tuple(details[0].text.lower, details[0].text.upper, details[1].text.textType,
                         details[1].text.upper, details[1].inputNeed, details[1].tooltip),
              std::tuple(std::int64_t(0), std::int64_t(65535), 1, std::int64_t(255), 1, QString("1")));
}

TEST(DescriptionEncoding, SameModelFromEveryEncoding)
{
    const QByteArray utf8 = repoFile("samples/Config/Sys/sysconfig_KT-100_1.xml");
    const QString xml = QString::fromUtf8(utf8);
    SettingsDescription reference;
    ASSERT_TRUE(LoadDescriptionBytes(utf8, true, &reference));
    ASSERT_EQ(reference.entries[1].name, QStringLiteral(u"SIPアドレス（電話番号）"));
    const QByteArray bytes[] = {
        "\xEF\xBB\xBF" + utf8,
        "\xFF\xFE" + QByteArray(QStringEncoder("UTF-16LE").encode(QString::fromUtf8(redeclared(xml, "UTF-16")))),
        "\xFE\xFF" + QByteArray(QStringEncoder("UTF-16BE").encode(QString::fromUtf8(redeclared(xml, "UTF-16")))),
        Cp932::encode(QString::fromUtf8(redeclared(xml, "windows-31j"))),
        QStringEncoder("EUC-JP").encode(QString::fromUtf8(redeclared(xml, "EUC-JP"))),
    };
    for (const QByteArray &b : bytes) {
        SCOPED_TRACE(b.left(60).toStdString());
        SettingsDescription d;
        QString message;
        EXPECT_TRUE(LoadDescriptionBytes(b, true, &d, &message)) << message.toStdString();
        EXPECT_EQ(std::pair(d.entries.size(), d.entries.value(1).name),
                  std::pair(reference.entries.size(), reference.entries[1].name));
    }
}

TEST(SettingsFileWriter, EntriesWrittenInEachMode)
{
    struct Case {
        const char *what;
        FileMode mode;
        QByteArray file;
        QStringList included;
        QByteArray expected;
    };
    // clang-format off
    const Case cases[] = {
        {"common file: included entries, the version and type 6", {true, true},
         crlf("Version=1\n[Line]\nNumber=5\n"), {"Name", "Addr", "Shown"},
         crlf("Version=2.10\n\n\n[Line]\nName=既定\nFixed=F6\nShown=RO\n\n[Net]\nAddr=\n")},
        {"common file: commonflg 1 only when the file had it", {true, true}, crlf("[Line]\nName=x\n"),
         {"Number", "Name"}, crlf("Version=2.10\n\n\n[Line]\nName=x\nFixed=F6\n")},
        {"common file: commonflg 1 that the file had", {true, true}, crlf("[Line]\nNumber=\v 7\f\n"),
         {"Number"}, crlf("Version=2.10\n\n\n[Line]\nNumber=7\nFixed=F6\n")},
        {"terminal file: only the keys it had", {true, false}, crlf("[Net]\nPath=p\n"), {},
         crlf("Version=2.10\n\n\n[Line]\nFixed=F6\nShown=RO\n\n[Net]\nPath=p\n")},
        {"registration: everything but dispflg 1", {false, false}, QByteArray(), {},
         crlf("Version=2.10\n\n\n[Line]\nNumber=\nName=既定\nMode=1\nFixed=F6\nShown=RO\n\n"
              "[Empty]\nUnused=u\n\n[Net]\nAddr=\nPath=\n")},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SettingsDescription d = writeDescription();
        MergeSettings(ReadSettingsBytes(Cp932::encode(QString::fromUtf8(c.file))), d);
        for (DescEntry &e : d.entries)
            e.included = c.included.contains(e.key);
        EXPECT_EQ(Cp932::decode(FormatSettingsFile(d, c.mode)), QString::fromUtf8(c.expected));
    }
}

// The exact bytes of a terminal file, or, when a save fails, the old file.
TEST(SettingsFileWriter, TerminalFileIsWrittenWholeOrNotAtAll)
{
    TempDir dir;
    RecordingLog log;
    SettingsDescription d = writeDescription();
    // The first of two values counts; "[line]" and "mode" are other names.
    MergeSettings(ReadSettingsBytes(repoFile("tests/editor/data/write_input.ini") +
                                    crlf("[line]\nMode=1\n[Line]\nmode=1\n")),
                  d);
    ASSERT_TRUE(WriteSettingsFile(dir.file("kel_sys3001.ini"), d, FileMode{true, false}));
    EXPECT_EQ(dir.read("kel_sys3001.ini"), repoFile("tests/editor/data/write_expected.ini"));
    EXPECT_EQ(d.entries[1].value, QStringLiteral("12")); // the trimmed value is kept
    // It holds SIP accounts: the owner's alone.
    EXPECT_EQ(QFileInfo(dir.file("kel_sys3001.ini")).permissions() & QFile::Permissions(0x7077),
              QFile::ReadOwner | QFile::WriteOwner);

    // No folder, or a read-only file: nothing written, nothing logged.
    EXPECT_FALSE(WriteSettingsFile(dir.file("missing/kel_sys1.ini"), d, {}, log.sink()));
    ASSERT_TRUE(AddFileAttributes(dir.file("kel_sys3001.ini"), FileAttr::ReadOnly));
    EXPECT_FALSE(WriteSettingsFile(dir.file("kel_sys3001.ini"), d, {}, log.sink()));
    EXPECT_TRUE(log.lines.isEmpty());
    // The rename fails (a folder is in the way): logged, no temporary file left.
    dir.mkdir("busy.ini");
    EXPECT_FALSE(WriteSettingsFile(dir.file("busy.ini"), d, {}, log.sink()));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_EQ(log.lines[0],
              std::pair(12, QStringLiteral(u"DATA[9] iniファイル書き込みにて例外処理が発生しました。")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"busy.ini", "kel_sys3001.ini"}));
    EXPECT_EQ(dir.read("kel_sys3001.ini"), repoFile("tests/editor/data/write_expected.ini"));
}
