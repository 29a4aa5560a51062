// Opening a model's phone-book template: exactly one template opens; none,
// several or one that can't be opened are reported and logged (error 13).
#include "comm/OpLog.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "phonebook/PhoneBookTemplate.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
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
    struct Case {
        const char *what;
        QStringList files;
        QString model;
        bool opens;
        PhoneBookOpen outcome;
        QString text; // the box's text starts with it; empty: no box
    };
    const QString kt100 = u"電話帳_KT-100_1.xlt"_s, faulty = u"電話帳テンプレートに異常があります。\n"_s;
    // clang-format off
    const Case cases[] = {
        {"one template", {kt100, u"電話帳_KT-200_1.xlt"_s}, "KT-100", true, PhoneBookOpen::Opened, {}},
        {"two templates", {kt100, u"電話帳_KT-100_2.xlt"_s}, "KT-100", true, PhoneBookOpen::SeveralTemplates, u"電話帳テンプレートが複数存在します。\n"_s},
        {"a name without the model part", {u"電話帳_1.xlt"_s}, "KT-100", true, PhoneBookOpen::NoTemplate, faulty},
        {"no application for it", {kt100}, "KT-100", false, PhoneBookOpen::NoApplication, u"電話帳テンプレート（"_s + kt100 + u"）を開くアプリケーションがありません。"_s},
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
        const bool tried =
            c.outcome == PhoneBookOpen::Opened || c.outcome == PhoneBookOpen::NoApplication;
        EXPECT_EQ(opener.opened, tried ? QStringList{dir.file("Config/" + c.files[0])} : QStringList{});
        const QString log = Cp932::decode(dir.read("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()));
        ASSERT_EQ(prompter.records.size(), c.text.isEmpty() ? 0 : 1);
        if (c.text.isEmpty()) {
            EXPECT_TRUE(log.isEmpty());
            continue;
        }
        EXPECT_EQ(prompter.records[0].type, 0x10u);
        EXPECT_TRUE(prompter.records[0].text.startsWith(c.text)) << prompter.records[0].text.toStdString();
        // One error line 13 with the search pattern in place of the terminal ID.
        EXPECT_EQ(log.count(u"\r\n"_s), 1);
        EXPECT_TRUE(log.contains(u"Err13:電話帳ファイル異常"_s) && log.contains(u"電話帳_"_s + c.model + u"_*.xlt\r\n"_s))
            << log.toStdString();
    }
}
