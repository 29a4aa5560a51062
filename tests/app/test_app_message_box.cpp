#include "app/AppMessageBoxDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(AppMessageBox, WidthFromWidthCodeAndTextAreaFromLineCount)
{
    // Codes 0..2 pick a width, larger ones are widths of at least 280.
    const int widths[][2] = {{0, 360}, {1, 500}, {2, 700}, {100, 280}, {279, 280}, {420, 420}};
    for (const auto &[code, width] : widths)
        EXPECT_EQ(AppMessageBoxDialog::boxWidth(code), width) << code;
    AppMessageBoxDialog box(420, 1, QStringLiteral("t"), QStringLiteral("c"), 0x40);
    EXPECT_EQ(box.size(), QSize(420, 100));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("c"));
    const int areas[][3] = {{1, 25, 20}, {2, 20, 32}, {3, 15, 44}, {0, 15, 44}};
    for (const auto &[lines, y, h] : areas) {
        AppMessageBoxDialog box(1, lines, QStringLiteral("x"), QString(), 0);
        EXPECT_EQ(box.textLabel()->geometry(), QRect(60, y, 500 - 80, h)) << lines;
    }
}

TEST(AppMessageBox, ButtonsAndDefault)
{
    AppMessageBoxDialog yesNo(360, 1, QStringLiteral("q"), QString(), 0x124);
    ASSERT_TRUE(yesNo.yesButton() && yesNo.noButton());
    EXPECT_EQ(yesNo.okButton(), nullptr);
    EXPECT_EQ(yesNo.yesButton()->text(), QStringLiteral("はい"));
    EXPECT_EQ(yesNo.noButton()->text(), QStringLiteral("いいえ"));
    EXPECT_EQ(yesNo.yesButton()->geometry(), QRect(180 - 90, 65, 80, 20));
    EXPECT_EQ(yesNo.noButton()->geometry(), QRect(180 + 10, 65, 80, 20));
    EXPECT_TRUE(yesNo.noButton()->isDefault() && !yesNo.yesButton()->isDefault());
    EXPECT_TRUE(
        AppMessageBoxDialog(360, 1, QStringLiteral("q"), QString(), 0x24).yesButton()->isDefault());
    AppMessageBoxDialog ok(500, 1, QStringLiteral("i"), QString(), 0x30);
    ASSERT_NE(ok.okButton(), nullptr);
    EXPECT_EQ(ok.yesButton(), nullptr);
    EXPECT_EQ(ok.okButton()->geometry(), QRect(250 - 40, 65, 80, 20));
    EXPECT_TRUE(ok.okButton()->isDefault());
}

// Yes, No and OK give their results; closing the box, by the user or by the
// program through its handle, counts as No.
TEST(AppMessageBox, ResultsAndClosedFromOutsideThroughItsHandle)
{
    const auto run = [](unsigned type, auto act) {
        AppMessageBoxDialog box(0, 1, QStringLiteral("x"), QString(), type);
        QTimer::singleShot(0, &box, [&] { act(box); });
        return box.run();
    };
    EXPECT_EQ(run(0x24, [](auto &b) { b.yesButton()->click(); }), 6);
    EXPECT_EQ(run(0x24, [](auto &b) { b.noButton()->click(); }), 7);
    EXPECT_EQ(run(0x40, [](auto &b) { b.okButton()->click(); }), 1);
    EXPECT_EQ(run(0x40, [](auto &b) { b.reject(); }), 7);

    QPointer<AppMessageBoxDialog> handle;
    int result = 0;
    {
        AppMessageBoxDialog box(0, 1, QStringLiteral("x"), QString(), 0x24, nullptr, &handle);
        EXPECT_EQ(handle.data(), &box);
        QTimer::singleShot(0, [&] {
            QMetaObject::invokeMethod(handle.data(), "closeFromOutside", Qt::QueuedConnection);
        });
        result = box.run();
        EXPECT_TRUE(box.closedFromOutside());
    }
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(handle.isNull());
}
