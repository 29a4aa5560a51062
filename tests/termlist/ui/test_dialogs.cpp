// The dialogs around the list: focus after a refusal, values handed back,
// the progress window.
#include "ModalDriver.h"

#include "termlist/ui/AddTermDialog.h"
#include "termlist/ui/ProgressDialog.h"
#include "termlist/ui/SystemSettingsDialog.h"
#include "termlist/ui/TermIdInputDialog.h"

#include "support/ScriptedPrompter.h"

#include <QLineEdit>
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
    add.idEdit->setText("0099"), add.countEdit->setText("65536");
    add.onRegister();
    EXPECT_TRUE(add.countEdit->hasFocus() && add.isVisible());

    SystemSettings s;
    s.UDPPort = 4000, s.EditerPath = "/usr/bin/editor";
    CSystemSettingsDialog sys(s);
    EXPECT_TRUE(sys.normalButton->isChecked());
    sys.show();
    QApplication::setActiveWindow(&sys);
    sys.intervalEdit->setText("256");
    sys.onOk();
    EXPECT_TRUE(sys.intervalEdit->hasFocus());
    sys.intervalEdit->setText("");
    EXPECT_EQ(sys.historyEdit->text(), "50") << "a register without the setting";
    sys.historyEdit->setText("0");
    sys.onOk();
    EXPECT_TRUE(sys.historyEdit->hasFocus());
    sys.historyEdit->setText("999"), sys.passiveButton->setChecked(true);
    sys.onOk();
    ASSERT_EQ(sys.result(), QDialog::Accepted);
    EXPECT_EQ(std::tuple(sys.settings().FTPMode, sys.settings().HistoryKeep, sys.settings().EditerPath),
              std::tuple(1, 999, QString("/usr/bin/editor")));
    EXPECT_EQ(prompter.records.size(), 3); // two refusals and the restart note
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

TEST(DialogsTest, ProgressWindowStopsOnce)
{
    EXPECT_FALSE(CProgressDialog(11).stopButton->isEnabled()); // adding can't be stopped
    CProgressDialog info(0);
    QSignalSpy stop(&info, &CProgressDialog::stopRequested);
    info.stopButton->click();
    EXPECT_TRUE(stop.count() == 1 && !info.stopButton->isEnabled());
}
