// Opening a model's phone-book template: exactly one template opens; none,
// several or one that can't be opened are reported and logged (error 13).
#include "comm/OpLog.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "phonebook/PhoneBookTemplate.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

struct RecordingOpener : IDesktopOpener {
    bool succeed = true;
    QStringList opened;
    bool open(const QString &path) override
    {
        opened << path;
        return succeed;
    }
};

} // namespace

TEST(PhoneBookTemplate, OpensTheOneTemplateOfTheModelOrSaysWhy)
{
    const QString several = u"電話帳テンプレート複数エラー"_s;
    const QString faulty = u"電話帳テンプレートファイルエラー"_s;
    const QString noApplication = u"電話帳テンプレート起動エラー"_s;
    struct Case {
        const char *what;
        QStringList files;
        QString model;
        bool opens;
        PhoneBookOpen outcome;
        QString caption; // empty: no message
    };
    const QString kt100 = u"電話帳_KT-100_1.xlt"_s, kt200 = u"電話帳_KT-200_1.xlt"_s;
    // clang-format off
    const Case cases[] = {
        {"one template", {kt100, kt200}, "KT-100", true, PhoneBookOpen::Opened, {}},
        {"two templates", {kt100, u"電話帳_KT-100_2.xlt"_s}, "KT-100", true, PhoneBookOpen::SeveralTemplates, several},
        {"none", {kt200}, "KT-100", true, PhoneBookOpen::NoTemplate, faulty},
        {"a name without the model part", {u"電話帳_1.xlt"_s}, "KT-100", true, PhoneBookOpen::NoTemplate, faulty},
        {"no application for it", {kt100}, "KT-100", false, PhoneBookOpen::NoApplication, noApplication},
        {"a template that can't be read", {kt100}, "KT-100", true, PhoneBookOpen::OpenFailed, faulty},
        {"a model that is a wildcard", {kt100}, "*", true, PhoneBookOpen::NoTemplate, faulty},
        {"a model that leaves the folder", {kt100}, "../x", true, PhoneBookOpen::NoTemplate, faulty},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ProcessValues::setProgramFolder(dir.path());
        dir.mkdir("Log");
        dir.mkdir("Config");
        for (const QString &f : c.files) {
            // Unreadable: a link whose file is gone (root reads any file).
            if (c.outcome == PhoneBookOpen::OpenFailed)
                QFile::link(dir.file("gone.xlt"), dir.file("Config/" + f));
            else
                dir.write("Config/" + f, "xlt");
        }
        ScriptedPrompter prompter;
        RecordingOpener opener;
        opener.succeed = c.opens;
        EXPECT_EQ(OpenPhoneBookTemplate("1001", c.model, opener, prompter), c.outcome);
        if (c.outcome == PhoneBookOpen::Opened || c.outcome == PhoneBookOpen::NoApplication)
            EXPECT_EQ(opener.opened, QStringList{dir.file("Config/" + c.files[0])});
        else
            EXPECT_TRUE(opener.opened.isEmpty());
        const QString log = Cp932::decode(
            dir.read("Log/Log_" + QDate::currentDate().toString("yyyyMMdd") + ".txt"));
        if (c.caption.isEmpty()) {
            EXPECT_TRUE(prompter.records.isEmpty());
            EXPECT_TRUE(log.isEmpty());
            continue;
        }
        ASSERT_EQ(prompter.records.size(), 1);
        EXPECT_EQ(prompter.records[0].caption, c.caption);
        EXPECT_EQ(prompter.records[0].type, 0x10u);
        const QString text = c.caption == noApplication
                                 ? u"電話帳テンプレート（"_s + c.files[0] + u"）を開くアプリケーションがありません。"_s
                             : c.caption == several ? u"電話帳テンプレートが複数存在します。\n"_s
                                                    : u"電話帳テンプレートに異常があります。\n"_s;
        EXPECT_TRUE(prompter.records[0].text.startsWith(text)) << prompter.records[0].text.toStdString();
        // One error line 13 with the search pattern in place of the terminal ID.
        EXPECT_EQ(log.count(u"\r\n"_s), 1);
        EXPECT_TRUE(log.contains(u"Err13:電話帳ファイル異常"_s)) << log.toStdString();
        EXPECT_TRUE(log.contains(u"電話帳_"_s + c.model + u"_*.xlt\r\n"_s)) << log.toStdString();
    }
}
