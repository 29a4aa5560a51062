// The first-start dialog: the fields in tab order, the password hidden,
// Return accepting only answers that pass the check.
#include "ScriptedPrompter.h"
#include "setup/ui/FirstStartDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(FirstStartDialog, TabOrderHiddenPasswordAndReturnAccepts)
{
    FirstStartDialog d(QStringLiteral("/home/u/.local/share/KelMngPC"));
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    EXPECT_EQ(d.passwordEdit->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(d.okButton->isDefault());
    EXPECT_EQ(d.modelEdit->nextInFocusChain(), d.userEdit);
    EXPECT_EQ(d.userEdit->nextInFocusChain(), d.passwordEdit);
    EXPECT_EQ(d.passwordEdit->nextInFocusChain(), d.okButton);

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("KT-100"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("kel"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("secret"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.answer().model, QStringLiteral("KT-100"));
    EXPECT_EQ(d.answer().user, QStringLiteral("kel"));
    EXPECT_EQ(d.answer().password, QStringLiteral("secret"));
}

TEST(FirstStartDialog, ProblemIsToldAndTheFieldTakesTheFocus)
{
    ScriptedPrompter prompter;
    FirstStartDialog d(QStringLiteral("/f"));
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.modelEdit->setText(QStringLiteral("KT-100"));
    d.userEdit->setText(QStringLiteral("kel"));
    d.passwordEdit->setText(QStringLiteral("pw\x01"));
    d.okButton->click();
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(prompter.records.size(), 1);
    EXPECT_TRUE(prompter.records[0].text.startsWith(
        QStringLiteral("FTPパスワードに使用できない文字があります。")));
    EXPECT_EQ(QApplication::focusWidget(), d.passwordEdit);

    d.cancelButton->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
}
