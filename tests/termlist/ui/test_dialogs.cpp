// The dialogs around the list: focus after a refusal, values handed back,
// the column boxes' flags, the progress window and the about box.
#include "ModalDriver.h"

#include "termlist/ui/AboutDialog.h"
#include "termlist/ui/AddTermDialog.h"
#include "termlist/ui/ColumnSelectDialog.h"
#include "termlist/ui/ProgressDialog.h"
#include "termlist/ui/SystemSettingsDialog.h"
#include "termlist/ui/TermIdInputDialog.h"

#include "support/ScriptedPrompter.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(DialogsTest, RefusalsKeepTheDialogOpenWithFocusOnTheWrongField)
{
    ScriptedPrompter prompter;
    CAddTermDialog add;
    add.show();
    QApplication::setActiveWindow(&add);
    add.idEdit->setText("12x");
    add.countEdit->setText("65536");
    add.onRegister();
    EXPECT_TRUE(add.idEdit->hasFocus());
    add.idEdit->setText("0099");
    add.onRegister();
    EXPECT_TRUE(add.countEdit->hasFocus());
    EXPECT_TRUE(add.isVisible());

    SystemSettings s;
    s.UDPPort = 4000;
    s.EditerPath = "/usr/bin/editor";
    CSystemSettingsDialog sys(s);
    EXPECT_TRUE(sys.normalButton->isChecked());
    sys.show();
    QApplication::setActiveWindow(&sys);
    sys.intervalEdit->setText("256");
    sys.onOk();
    EXPECT_TRUE(sys.intervalEdit->hasFocus());
    sys.portEdit->setText("0");
    sys.onOk();
    EXPECT_TRUE(sys.portEdit->hasFocus());
    sys.portEdit->setText("65535");
    sys.intervalEdit->setText("");
    sys.passiveButton->setChecked(true);
    sys.onOk();
    ASSERT_EQ(sys.result(), QDialog::Accepted);
    EXPECT_EQ(sys.settings().FTPMode, 1);
    EXPECT_EQ(sys.settings().EditerPath, QStringLiteral("/usr/bin/editor"));
    // Refusals are warnings of one line; the restart note is information.
    ASSERT_EQ(prompter.records.size(), 5);
    EXPECT_EQ(prompter.records[2].type, 0x30u);
    EXPECT_EQ(prompter.records[2].lineCount, 1);
    EXPECT_EQ(prompter.records[4].widthCode, 680);
    EXPECT_EQ(prompter.records[4].type, 0x40u);
}

TEST(DialogsTest, TermIdInputTrimsOrAnswersEmpty)
{
    ModalDriver driver;
    driver.then<CTermIdInputDialog>([](CTermIdInputDialog *d) {
        EXPECT_EQ(d->idEdit->maxLength(), 64);
        d->idEdit->setText("  0123 ");
        d->okButton->click();
    });
    driver.then<CTermIdInputDialog>([](CTermIdInputDialog *d) {
        d->idEdit->setText("777");
        d->cancelButton->click();
    });
    EXPECT_EQ(runTermIdInputDialog(nullptr), QStringLiteral("0123"));
    EXPECT_EQ(runTermIdInputDialog(nullptr), QString());
}

TEST(DialogsTest, ColumnSelectionBoxesMapToTheirFlags)
{
    ListColumnFlags flags{};
    flags[8] = 1; // MAC address
    CColumnSelectDialog d(flags);
    EXPECT_EQ(d.boxes[8]->text(), QStringLiteral("MACアドレス"));
    EXPECT_EQ(d.boxes[14]->text(), QStringLiteral("処理結果日時"));
    EXPECT_TRUE(d.boxes[8]->isChecked());
    EXPECT_FALSE(d.resultBox->isEnabled());
    d.boxes[8]->setChecked(false);
    d.boxes[14]->setChecked(true);
    ListColumnFlags expected{};
    expected[14] = 1;
    EXPECT_EQ(d.flags(), expected);
}

TEST(DialogsTest, ProgressWindowAndAbout)
{
    EXPECT_FALSE(CProgressDialog(11).stopButton->isEnabled()); // adding can't be stopped
    CProgressDialog info(0);
    info.progress(0, 25);
    info.progress(12, 25);
    EXPECT_EQ(info.counterLabel->text(), QStringLiteral("12 / 25  処理済み"));
    EXPECT_EQ(info.bar->maximum(), 25);
    EXPECT_EQ(info.bar->value(), 12);
    QSignalSpy stop(&info, &CProgressDialog::stopRequested);
    info.stopButton->click();
    EXPECT_EQ(stop.count(), 1);
    EXPECT_FALSE(info.stopButton->isEnabled());
    EXPECT_TRUE(
        info.textLabel->text().startsWith(QStringLiteral("実行中の処理の完了を待っています｡")));

    CAboutDialog about;
    QStringList texts;
    for (QLabel *l : about.findChildren<QLabel *>())
        texts << l->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Version 3.2.0.0")));
}
