#include "termlist/ui/SystemSettingsDialog.h"

#include "common/Prompter.h"
#include "termlist/TerminalInput.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CSystemSettingsDialog::CSystemSettingsDialog(const SystemSettings &settings, QWidget *parent)
    : QDialog(parent), portEdit(new QLineEdit(this)),
      passiveButton(new QRadioButton(tr("パッシブモード"), this)),
      normalButton(new QRadioButton(tr("通常モード"), this)), intervalEdit(new QLineEdit(this)),
      historyEdit(new QLineEdit(this)), rateEdit(new QLineEdit(this)),
      firmWaitEdit(new QLineEdit(this)),
      editorGroup(new QGroupBox(tr("設定ファイル編集ツールパス名"), this)),
      editorEdit(new QLineEdit(editorGroup)),
      editorBrowse(new QPushButton(QStringLiteral("..."), editorGroup)),
      okButton(new QPushButton(tr("OK"), this)), cancelButton(new QPushButton(tr("ｷｬﾝｾﾙ"), this)),
      m_settings(settings)
{
    setWindowTitle(tr("システム設定"));
    portEdit->setMaxLength(5);
    intervalEdit->setMaxLength(3);
    editorEdit->setMaxLength(255);
    portEdit->setFixedWidth(80);
    intervalEdit->setFixedWidth(80);
    historyEdit->setMaxLength(3);
    historyEdit->setFixedWidth(80);
    historyEdit->setText(QString::number(settings.HistoryKeep > 0 ? settings.HistoryKeep
                                                                  : DefaultHistoryKeep));
    rateEdit->setMaxLength(5);
    rateEdit->setFixedWidth(80);
    rateEdit->setText(QString::number(settings.NewTermRate > 0 ? settings.NewTermRate
                                                               : DefaultNewTermRate));
    firmWaitEdit->setMaxLength(4);
    firmWaitEdit->setFixedWidth(80);
    firmWaitEdit->setText(TerminalInput::firmCheckWaitText(settings.FirmCheckWait));

    portEdit->setText(QString::number(settings.UDPPort));
    intervalEdit->setText(QString::number(settings.EntryInt));
    (settings.FTPMode != 0 ? passiveButton : normalButton)->setChecked(true);
    editorEdit->setText(settings.EditerPath);

    auto *grid = new QGridLayout;
    auto *portLabel = new QLabel(tr("通信ポート番号"), this);
    portLabel->setBuddy(portEdit);
    grid->addWidget(portLabel, 0, 0);
    grid->addWidget(portEdit, 0, 1);
    grid->addWidget(new QLabel(tr("（ 1～65535 ）"), this), 0, 2);

    auto *ftpGroup = new QGroupBox(tr("ＦＴＰ動作モード"), this);
    auto *ftpRow = new QHBoxLayout(ftpGroup);
    ftpRow->addWidget(passiveButton);
    ftpRow->addWidget(normalButton);
    ftpRow->addStretch();
    grid->addWidget(ftpGroup, 1, 0, 1, 3);

    auto *intervalLabel = new QLabel(tr("端末登録リフレッシュ間隔"), this);
    intervalLabel->setBuddy(intervalEdit);
    grid->addWidget(intervalLabel, 2, 0);
    grid->addWidget(intervalEdit, 2, 1);
    grid->addWidget(new QLabel(tr("（ 0～255　時間）"), this), 2, 2);
    auto *historyLabel = new QLabel(tr("設定履歴の保存数"), this);
    historyLabel->setBuddy(historyEdit);
    grid->addWidget(historyLabel, 3, 0);
    grid->addWidget(historyEdit, 3, 1);
    grid->addWidget(new QLabel(tr("（ 1～999　版／ファイル）"), this), 3, 2);
    auto *rateLabel = new QLabel(tr("新規端末登録上限"), this);
    rateLabel->setBuddy(rateEdit);
    grid->addWidget(rateLabel, 4, 0);
    grid->addWidget(rateEdit, 4, 1);
    grid->addWidget(new QLabel(tr("（ 1～65535　台/分、送信元アドレスごと）"), this), 4, 2);
    auto *firmWaitLabel = new QLabel(tr("ファーム確認待ち時間"), this);
    firmWaitLabel->setBuddy(firmWaitEdit);
    grid->addWidget(firmWaitLabel, 5, 0);
    grid->addWidget(firmWaitEdit, 5, 1);
    grid->addWidget(new QLabel(tr("（ 1～1440　分）"), this), 5, 2);
    grid->setColumnStretch(2, 1);

    // Shown, so that an editor that can't be started on this machine can be
    // mended where it is kept.
    auto *editorRow = new QHBoxLayout(editorGroup);
    editorRow->addWidget(editorEdit, 1);
    editorBrowse->setFixedWidth(32);
    editorRow->addWidget(editorBrowse);
    editorEdit->setMinimumWidth(320);
    editorEdit->setAccessibleName(editorGroup->title());
    editorBrowse->setAccessibleName(tr("設定ファイル編集ツールの選択"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(editorGroup);
    top->addSpacing(8);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &CSystemSettingsDialog::onOk);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(editorBrowse, &QPushButton::clicked, this, &CSystemSettingsDialog::onBrowseEditor);
}

void CSystemSettingsDialog::onBrowseEditor()
{
    const QString file = prompter().openFileName(tr("設定ファイル編集ツールの選択"),
                                                 editorEdit->text(), tr("全てのファイル (*)"));
    if (!file.isEmpty())
        editorEdit->setText(file);
}

void CSystemSettingsDialog::onOk()
{
    const TerminalInput::SettingsCheck check = TerminalInput::checkSystemSettings(
        portEdit->text(), intervalEdit->text(), normalButton->isChecked(), m_settings.UDPPort);
    if (check.error != TerminalInput::SettingsCheck::None) {
        AppMessageBox(check.widthCode, 1, check.message, TerminalInput::inputErrorCaption(),
                      MsgType::IconWarning);
        QLineEdit *field =
            check.error == TerminalInput::SettingsCheck::Port ? portEdit : intervalEdit;
        field->setFocus();
        field->selectAll();
        return;
    }
    const auto refuse = [](QLineEdit *field, const QString &message) {
        AppMessageBox(470, 1, message, TerminalInput::inputErrorCaption(), MsgType::IconWarning);
        field->setFocus();
        field->selectAll();
    };
    const std::optional<int> keep = TerminalInput::historyKeepValue(historyEdit->text());
    if (!keep)
        return refuse(historyEdit, TerminalInput::historyKeepMessage());
    const std::optional<int> rate = TerminalInput::newTermRateValue(rateEdit->text());
    if (!rate)
        return refuse(rateEdit, TerminalInput::newTermRateMessage());
    const std::optional<int> firmWait = TerminalInput::firmCheckWaitMinutes(firmWaitEdit->text());
    if (!firmWait)
        return refuse(firmWaitEdit, TerminalInput::firmCheckWaitMessage());
    if (check.portChanged)
        AppMessageBox(680, 1,
                      tr("通信ポート番号の変更を反映するには、クヴァＩＰフォンマネージャ "
                         "管理用ツールを再起動する必要があります。"),
                      tr("ポート番号変更"), MsgType::IconInformation);
    m_settings.UDPPort = check.port;
    m_settings.FTPMode = check.ftpMode;
    m_settings.EntryInt = check.interval;
    m_settings.HistoryKeep = *keep;
    m_settings.NewTermRate = *rate;
    m_settings.EditerPath = editorEdit->text().trimmed();
    // A wait stored in seconds keeps them unless the minutes were changed.
    if (firmWaitEdit->text() != TerminalInput::firmCheckWaitText(m_settings.FirmCheckWait))
        m_settings.FirmCheckWait = *firmWait * 60;
    accept();
}
