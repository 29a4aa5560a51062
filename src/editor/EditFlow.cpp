#include "editor/EditFlow.h"

#include "comm/OpLog.h"
#include "comm/ResultCodes.h"
#include "common/CommandScope.h"
#include "common/FindSingleFile.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "common/TerminalPaths.h"
#include "termlist/ProgressTexts.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(EditFlow)
};

bool isSystem(EditKind kind)
{
    return kind == EditKind::TerminalSystem || kind == EditKind::CommonSystem;
}

void logOperation(int number, const QString &termId, const QString &path)
{
    OpLog::writeOperation(LogRecord{termId, number, -1, 0, path});
}

} // namespace

EditFlow::EditFlow(IEditHost &host, IPrompter *prompter) : m_host(host), m_prompter(prompter) {}

EditFlow::~EditFlow() = default;

IPrompter &EditFlow::ask() const
{
    return m_prompter ? *m_prompter : prompter();
}

QString EditFlow::title(EditKind kind)
{
    switch (kind) {
    case EditKind::TerminalSystem:
        return Tr::tr("システム設定ファイル編集");
    case EditKind::TerminalUser:
        return Tr::tr("ユーザ設定ファイル編集");
    case EditKind::CommonSystem:
        return Tr::tr("共通システム設定ファイル編集");
    case EditKind::CommonUser:
        return Tr::tr("共通ユーザ設定ファイル編集");
    case EditKind::FirmRegistration:
        return Tr::tr("自動更新ファームウェア登録");
    }
    return {};
}

QString EditFlow::modelFromDescriptionFile(const QString &path)
{
    QString name = QFileInfo(path).fileName();
    const qsizetype cut = name.lastIndexOf(u'_');
    if (cut >= 0)
        name.truncate(cut);
    return name.remove(QStringLiteral("sysconfig_"));
}

void EditFlow::run(EditKind kind)
{
    if (m_running || m_waiting)
        return;
    m_running = true;
    m_kind = kind;
    // The busy flag stays set until the flow ends, which may be after a
    // read from the terminal.
    BusyTimer::stop();
    m_host.setMainEnabled(false);
    switch (kind) {
    case EditKind::TerminalSystem:
    case EditKind::TerminalUser:
        return runTerminalFile(kind);
    case EditKind::CommonSystem:
    case EditKind::CommonUser:
        return runCommonFile(kind);
    case EditKind::FirmRegistration:
        return runRegistration();
    }
}

void EditFlow::finish(bool requestPosted)
{
    m_loader.reset();
    m_running = false;
    // A posted write gives the main window back with its completion.
    if (!requestPosted) {
        m_host.setMainEnabled(true);
        m_host.refreshIfPending();
    }
    BusyTimer::start();
}

// ---- a terminal's own file ----------------------------------------------

void EditFlow::openInTextEditor(const QString &path)
{
    if (!path.isEmpty() && QFileInfo(path).isFile())
        m_host.startDetached(m_host.editorPath(), {path});
}

void EditFlow::runTerminalFile(EditKind kind)
{
    const std::vector<TermEntry> rows = m_host.selectedEntries();
    if (rows.empty())
        return finish(false);
    m_row = rows.front();
    const bool system = isSystem(kind);
    const QString file = TerminalPaths::absolute(
        system ? TerminalPaths::Kind::System : TerminalPaths::Kind::User, m_row.TermID);
    if (file.isEmpty())
        return finish(false); // the terminal ID names no file

    const QString model = m_row.MachineName;
    const FindSingleFileResult description =
        TerminalPaths::isSafeModel(model)
            ? FindSingleFile(
                  ProcessValues::programPath((system ? QStringLiteral("Config/Sys/sysconfig_")
                                                     : QStringLiteral("Config/User/userconfig_")) +
                                             model + QStringLiteral("_*.xml")))
            : FindSingleFileResult{};
    if (!description.single) {
        // Without one description the file can still be edited as text.
        openInTextEditor(file);
        return finish(false);
    }

    const QString caption = system ? Tr::tr("端末システム設定読み込み開始確認")
                                   : Tr::tr("端末ユーザ設定読み込み開始確認");
    const int answer =
        ask().appMessageBox(410, 1, Tr::tr("選択した端末からファイルを読み込みますか。"), caption,
                            MsgType::IconQuestion | MsgType::YesNo | MsgType::DefaultSecond);

    LoaderInputs in;
    in.descriptionPath = description.path;
    in.iniPath = file;
    in.title = title(kind);
    in.modelName = model;
    in.termId = m_row.TermID;
    in.systemFile = system;
    in.settingsFile = true;
    in.showWriteToTerminal = true;
    in.okText = Tr::tr("保存");
    m_loader = std::make_unique<DescriptionLoader>(in);
    logOperation(OpeLog::SettingsEdit, m_row.TermID, file);

    if (answer != MsgResult::Yes)
        return editAndFinish();

    m_waiting = true;
    if (m_host.postRequest(system ? RequestKind::ReadSys : RequestKind::ReadUser,
                           system ? ProgressOp::ReadSys : ProgressOp::ReadUser, m_row, file, this))
        return; // terminalFileDone() goes on
    m_waiting = false;
    OpLog::writeError(ErrLog::ConfigXml, m_row.TermID, m_row.TermID);
    finish(false);
}

void EditFlow::terminalFileDone(bool anySucceeded, std::unique_ptr<TaskMessage>)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    if (anySucceeded)
        return editAndFinish();
    finish(false);
}

void EditFlow::editAndFinish()
{
    if (m_loader->prepare() != DescriptionLoader::Prepared::Ready)
        return finish(false);
    const EditorOutcome outcome = m_host.runEditor(*m_loader);
    const bool terminalFile =
        m_kind == EditKind::TerminalSystem || m_kind == EditKind::TerminalUser;
    if (!terminalFile || !outcome.writeToTerminal)
        return finish(false);

    const bool system = isSystem(m_kind);
    const QString file = m_loader->inputs().iniPath;
    m_loader.reset();
    const int answer = ask().appMessageBox(
        410, 2,
        system ? Tr::tr("現在選択中の端末にシステム設定を書き込みます。\nよろしいですか？")
               : Tr::tr("現在選択中の端末にユーザ設定を書き込みます。\nよろしいですか？"),
        system ? Tr::tr("端末システム設定書き込み開始確認")
               : Tr::tr("端末ユーザ設定書き込み開始確認"),
        MsgType::IconQuestion | MsgType::YesNo);
    const bool posted = answer == MsgResult::Yes &&
                        m_host.postRequest(system ? RequestKind::WriteSys : RequestKind::WriteUser,
                                           system ? ProgressOp::WriteSys : ProgressOp::WriteUser,
                                           m_row, file, nullptr);
    finish(posted);
}

// ---- common files and the registration ----------------------------------

void EditFlow::runCommonFile(EditKind kind)
{
    const bool system = isSystem(kind);
    const QString description =
        ask().openFileName(Tr::tr("開く"),
                           ProcessValues::programPath(system ? QStringLiteral("Config/Sys/")
                                                             : QStringLiteral("Config/User/")),
                           Tr::tr("コンフィグファイル(*.xml)"));
    if (description.isEmpty())
        return finish(false);
    QString start;
    bool usable = QFileInfo(description).isFile();
    if (usable) {
        start =
            ask().openFileName(Tr::tr("開く"),
                               ProcessValues::programPath(system ? QStringLiteral("Data/Sys/")
                                                                 : QStringLiteral("Data/User/")),
                               Tr::tr("設定ファイル(*.ini)"));
        usable = start.isEmpty() || QFileInfo(start).isFile();
    }
    if (!usable) {
        ask().appMessageBox(1, 1, Tr::tr("設定ファイルを選択してください。"),
                            Tr::tr("ファイル選択エラー"), MsgType::IconError);
        return finish(false);
    }

    LoaderInputs in;
    in.descriptionPath = description;
    in.iniPath = start;
    in.title = title(kind);
    in.modelName = modelFromDescriptionFile(description);
    in.commonFile = true;
    in.systemFile = system;
    in.settingsFile = true;
    in.okText = Tr::tr("保存");
    m_loader = std::make_unique<DescriptionLoader>(in);
    logOperation(OpeLog::CommonEdit, QString(), start);
    editAndFinish();
}

void EditFlow::runRegistration()
{
    LoaderInputs in;
    in.descriptionPath = ProcessValues::programPath(QStringLiteral("Config/FirmConfig.xml"));
    in.iniPath = ProcessValues::programPath(QStringLiteral("Config/FirmFilePath.ini"));
    in.title = title(EditKind::FirmRegistration);
    in.settingsFile = false;
    m_loader = std::make_unique<DescriptionLoader>(in);
    logOperation(OpeLog::SettingsEdit, QString(), in.iniPath);
    editAndFinish();
}
