#include "termlist/ExternalProgram.h"

#include "common/ProcessValues.h"
#include "common/Prompter.h"

#include <QCoreApplication>
#include <QProcess>

namespace ExternalProgram
{

QString failureText(const QString &program)
{
    return QCoreApplication::translate("ExternalProgram",
                                       "「%1」を起動できませんでした。\n"
                                       "システム設定の「設定ファイル編集ツールパス名」を確認"
                                       "してください。")
        .arg(program);
}

QString failureCaption()
{
    return QCoreApplication::translate("ExternalProgram", "プログラム起動エラー");
}

bool start(const QString &program, const QStringList &arguments, IPrompter &prompter)
{
    if (!program.isEmpty() &&
        QProcess::startDetached(program, arguments, ProcessValues::programFolder()))
        return true;
    prompter.appMessageBox(2, 2, failureText(program), failureCaption(), MsgType::IconWarning);
    return false;
}

} // namespace ExternalProgram
