// The first-start dialog: fields in tab order, the password hidden, Return
// accepting only a good answer; a problem is told and its field takes the focus.
#include "ScriptedPrompter.h"
#include "setup/ui/FirstStartDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(FirstStartDialog, TabOrderHiddenPasswordAndReturnAcceptsOnlyAGoodAnswer)
{
    ScriptedPrompter prompter;
    FirstStartDialog d(QStringLiteral("/home/u/.local/share/KelMngPC"));
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    EXPECT_EQ(d.passwordEdit->echoMode(), QLineEdit::Password);
    for (const char *text : {"KT-100\t", "kel\t", "pw \r"}) // Tab to the next field; Return
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(prompter.records.size(), 1);
    EXPECT_TRUE(prompter.records[0].text.startsWith(
        QStringLiteral("FTPパスワードに使用できない文字があります。")));
    EXPECT_EQ(QApplication::focusWidget(), d.passwordEdit);
    d.passwordEdit->setText(QStringLiteral("secret"));
    QTest::keyClick(d.passwordEdit, Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.answer().model + '/' + d.answer().user + '/' + d.answer().password,
              QStringLiteral("KT-100/kel/secret"));
}
