#include "app/AppMessageBoxDialog.h"

#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

// Width codes, the buttons of each type with their default, and the results;
// closed, the box says No (closed by a signal: the shutdown tests).
TEST(AppMessageBox, WidthButtonsDefaultAndResults)
{
    for (const auto &[code, width] : {std::pair{0, 360}, {2, 700}, {279, 280}, {420, 420}})
        EXPECT_EQ(AppMessageBoxDialog::boxWidth(code), width) << code;
    AppMessageBoxDialog yesNo(360, 1, QStringLiteral("q"), QString(), 0x124);
    ASSERT_TRUE(yesNo.yesButton() && yesNo.noButton() && !yesNo.okButton());
    EXPECT_EQ(yesNo.yesButton()->text() + yesNo.noButton()->text(), QStringLiteral("はいいいえ"));
    EXPECT_TRUE(yesNo.noButton()->isDefault() && !yesNo.yesButton()->isDefault());
    EXPECT_TRUE(
        AppMessageBoxDialog(360, 1, QStringLiteral("q"), QString(), 0x24).yesButton()->isDefault());
    AppMessageBoxDialog ok(500, 1, QStringLiteral("i"), QString(), 0x30);
    ASSERT_TRUE(ok.okButton() && !ok.yesButton());
    EXPECT_TRUE(ok.okButton()->isDefault());

    const auto run = [](unsigned type, auto act) {
        AppMessageBoxDialog box(0, 1, QStringLiteral("x"), QString(), type);
        QTimer::singleShot(0, &box, [&] { act(box); });
        return box.run();
    };
    EXPECT_EQ(run(0x24, [](auto &b) { b.yesButton()->click(); }), 6);
    EXPECT_EQ(run(0x40, [](auto &b) { b.okButton()->click(); }), 1);
    EXPECT_EQ(run(0x40, [](auto &b) { b.reject(); }), 7);
}
