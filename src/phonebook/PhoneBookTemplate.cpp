#include "phonebook/PhoneBookTemplate.h"

#include "comm/OpLog.h"
#include "comm/ResultCodes.h"
#include "common/FindSingleFile.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "common/TerminalPaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(PhoneBookTemplate)
};
} // namespace

QString PhoneBookTemplatePattern(const QString &model)
{
    if (!TerminalPaths::isSafeModel(model))
        return {};
    return ProcessValues::programPath(QStringLiteral(u"Config/電話帳_") + model +
                                      QStringLiteral("_*.xlt"));
}

PhoneBookOpen OpenPhoneBookTemplate(const QString &termId, const QString &model,
                                    IDesktopOpener &opener, IPrompter &prompter)
{
    const QString pattern = PhoneBookTemplatePattern(model);
    const FindSingleFileResult found =
        pattern.isEmpty() ? FindSingleFileResult{} : FindSingleFile(pattern);
    PhoneBookOpen outcome = PhoneBookOpen::NoTemplate;
    if (found.single) {
        QFile file(found.path);
        if (!file.open(QIODevice::ReadOnly))
            outcome = PhoneBookOpen::OpenFailed;
        else
            outcome =
                opener.open(found.path) ? PhoneBookOpen::Opened : PhoneBookOpen::NoApplication;
    } else if (found.count > 1)
        outcome = PhoneBookOpen::SeveralTemplates;
    if (outcome == PhoneBookOpen::Opened)
        return outcome;

    OpLog::writeError(ErrLog::PhoneBook, termId,
                      pattern.isEmpty()
                          ? QStringLiteral(u"Config/電話帳_") + model + QStringLiteral("_*.xlt")
                          : pattern);
    if (outcome == PhoneBookOpen::NoApplication)
        prompter.appMessageBox(
            2, 2,
            QCoreApplication::translate(
                "PhoneBook", "電話帳テンプレート（%1）を開くアプリケーションがありません。\n"
                             "表計算アプリケーションをインストールし、テンプレートを開ける"
                             "ように設定してください。")
                .arg(QFileInfo(found.path).fileName()),
            QCoreApplication::translate("PhoneBook", "電話帳テンプレート起動エラー"),
            MsgType::IconError);
    else if (outcome == PhoneBookOpen::SeveralTemplates)
        prompter.appMessageBox(1, 2,
                               Tr::tr("電話帳テンプレートが複数存在します。\n"
                                      "不要なファイルを削除してから再度実行してください。"),
                               Tr::tr("電話帳テンプレート複数エラー"), MsgType::IconError);
    else
        prompter.appMessageBox(1, 2,
                               Tr::tr("電話帳テンプレートに異常があります。\n"
                                      "お手数ですが、購入元にお問い合わせ願います。"),
                               Tr::tr("電話帳テンプレートファイルエラー"), MsgType::IconError);
    return outcome;
}
