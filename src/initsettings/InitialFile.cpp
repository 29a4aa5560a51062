#include "initsettings/InitialFile.h"

#include "comm/OpLog.h"
#include "comm/ResultCodes.h"
#include "common/Cp932.h"
#include "common/FindSingleFile.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "common/SafeFile.h"
#include "common/TerminalPaths.h"
#include "editor/DescriptionLoader.h"
#include "history/SettingsHistory.h"

#include <QCoreApplication>
#include <QFile>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(InitialFile)
};

const char *const TmpName = "Data/TmpData.ini";

// A model name arrives over the network and becomes part of a file pattern:
// it may name no folder and carry no wildcard of its own.
bool usableModel(const QString &model)
{
    return TerminalPaths::isSafeId(model) && !model.contains(QLatin1Char('*')) &&
           !model.contains(QLatin1Char('?'));
}

// Writes the temporary file and puts it in place of target; false leaves
// target as it was. The temporary file is itself written beside and renamed
// into place, so a link put at its name is replaced, never followed.
bool writeAndMove(const QByteArray &bytes, const QString &target)
{
    const QString tmp = ProcessValues::programPath(QLatin1String(TmpName));
    if (!SafeFile::write(tmp, bytes, nullptr, SafeFile::PrivateWhenNew))
        return false;
    // Synced, renamed over the target, the folder synced; tmp goes on failure.
    return SafeFile::replace(tmp, target);
}

} // namespace

namespace InitialFile
{

QByteArray content(const QString &version, const QString &termId)
{
    return Cp932::encode(QStringLiteral("Version=") + version +
                         QStringLiteral("\r\n\r\n[SIP]\r\n") + QStringLiteral("SipAddress=") +
                         termId + QStringLiteral("\r\n"));
}

int resultCodeOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Written:
        return ResultCode::Success;
    case Outcome::WriteFailed:
        return ResultCode::FileCreate;
    default:
        return ResultCode::ConfigXml;
    }
}

Result generate(const QString &termId, const QString &model, const BoxPoster &box)
{
    Result r;
    const QString target = TerminalPaths::absolute(TerminalPaths::Kind::System, termId);
    if (target.isEmpty())
        return r;

    // 1. The model's one system settings description.
    const FindSingleFileResult found =
        usableModel(model) ? FindSingleFile(ProcessValues::programPath(
                                 QStringLiteral("Config/Sys/sysconfig_%1_*.xml").arg(model)))
                           : FindSingleFileResult{};
    if (!found.single) {
        r.outcome = found.count == 0 ? Outcome::NoDescription : Outcome::SeveralDescriptions;
        if (box)
            box(found.count == 0 ? Tr::tr("設定編集用のConfigファイルが存在しません。")
                                 : Tr::tr("設定編集用のConfigファイルが複数存在します。\n"
                                          "不要なファイルを削除してから再度実行してください。"),
                Tr::tr("編集エラー"), MsgType::IconError);
        OpLog::writeError(ErrLog::ConfigXml, termId,
                          QStringLiteral("設定Configファイルを取得できません。"));
        return r;
    }

    // 2. The version: the default of its first entry, which must be "Version".
    const DescriptionVersion v = ReadDescriptionVersion(found.path);
    if (v.status == DescriptionVersion::LoadFailed) {
        r.outcome = Outcome::DescriptionFaulty;
        OpLog::writeError(
            ErrLog::ConfigXml, termId,
            QStringLiteral("SECTION[0] DATA[0] Configファイルのロードに失敗しました。"));
        return r;
    }
    if (v.status != DescriptionVersion::Ok) {
        r.outcome = Outcome::NoVersion;
        OpLog::writeError(ErrLog::ConfigXml, termId,
                          QStringLiteral("1件目にsection=Version key=Versionが存在しません。"));
        return r;
    }

    // 3-4. The file, whole or not at all; a file it replaces stays in the history.
    const QByteArray bytes = content(v.version, termId);
    if (!SettingsHistory::Store().replace(termId, TerminalPaths::Kind::System,
                                          SettingsHistory::Origin::Initial,
                                          [&] { return writeAndMove(bytes, target); }))
        return r;
    r.outcome = Outcome::Written;
    r.path = target;
    return r;
}

} // namespace InitialFile
