#include "app/AppMessageBoxDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(AppMessageBox, WidthFromWidthCode)
{
    EXPECT_EQ(AppMessageBoxDialog::boxWidth(0), 360);
    EXPECT_EQ(AppMessageBoxDialog::boxWidth(1), 500);
    EXPECT_EQ(AppMessageBoxDialog::boxWidth(2), 700);
    EXPECT_EQ(AppMessageBoxDialog::boxWidth(100), 280);
    EXPECT_EQ(AppMessageBoxDialog::boxWidth(279), 280);
    EXPECT_EQ(AppMessageBoxDialog::boxWidth(280), 280);
    EXPECT_EQ(AppMessageBoxDialog::boxWidth(420), 420);
    AppMessageBoxDialog box(420, 1, QStringLiteral("t"), QStringLiteral("c"), 0x40);
    EXPECT_EQ(box.width(), 420);
    EXPECT_EQ(box.height(), 100);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("c"));
}

TEST(AppMessageBox, TextAreaFollowsLineCount)
{
    struct Case {
        int lines, y, h;
    } cases[] = {{1, 25, 20}, {2, 20, 32}, {3, 15, 44}, {0, 15, 44}};
    for (const auto &c : cases) {
        AppMessageBoxDialog box(1, c.lines, QStringLiteral("x"), QString(), 0);
        EXPECT_EQ(box.textLabel()->geometry(), QRect(60, c.y, 500 - 80, c.h)) << c.lines;
    }
}

TEST(AppMessageBox, ButtonsAndDefault)
{
    {
        AppMessageBoxDialog box(360, 1, QStringLiteral("q"), QString(), 0x124);
        ASSERT_TRUE(box.yesButton() && box.noButton());
        EXPECT_EQ(box.okButton(), nullptr);
        EXPECT_EQ(box.yesButton()->text(), QStringLiteral("はい"));
        EXPECT_EQ(box.noButton()->text(), QStringLiteral("いいえ"));
        EXPECT_EQ(box.yesButton()->geometry(), QRect(180 - 90, 65, 80, 20));
        EXPECT_EQ(box.noButton()->geometry(), QRect(180 + 10, 65, 80, 20));
        EXPECT_TRUE(box.noButton()->isDefault());
        EXPECT_FALSE(box.yesButton()->isDefault());
    }
    {
        AppMessageBoxDialog box(360, 1, QStringLiteral("q"), QString(), 0x24);
        EXPECT_TRUE(box.yesButton()->isDefault());
    }
    {
        AppMessageBoxDialog box(500, 1, QStringLiteral("i"), QString(), 0x30);
        ASSERT_NE(box.okButton(), nullptr);
        EXPECT_EQ(box.yesButton(), nullptr);
        EXPECT_EQ(box.okButton()->geometry(), QRect(250 - 40, 65, 80, 20));
        EXPECT_TRUE(box.okButton()->isDefault());
    }
}

TEST(AppMessageBox, Results)
{
    auto runClicking = [](unsigned type, auto pick) {
        AppMessageBoxDialog box(0, 1, QStringLiteral("x"), QString(), type);
        QTimer::singleShot(0, &box, [&] { pick(box)->click(); });
        return box.run();
    };
    EXPECT_EQ(runClicking(0x24, [](auto &b) { return b.yesButton(); }), 6);
    EXPECT_EQ(runClicking(0x24, [](auto &b) { return b.noButton(); }), 7);
    EXPECT_EQ(runClicking(0x40, [](auto &b) { return b.okButton(); }), 1);

    AppMessageBoxDialog closed(0, 1, QStringLiteral("x"), QString(), 0x40);
    QTimer::singleShot(0, &closed, [&] { closed.reject(); });
    EXPECT_EQ(closed.run(), 7); // closing the box counts as No
}

TEST(AppMessageBox, ClosedFromOutsideThroughItsHandle)
{
    QPointer<AppMessageBoxDialog> handle;
    int result = 0;
    {
        AppMessageBoxDialog box(0, 1, QStringLiteral("x"), QString(), 0x24, nullptr, &handle);
        EXPECT_EQ(handle.data(), &box);
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(handle);
            QMetaObject::invokeMethod(handle.data(), "closeFromOutside", Qt::QueuedConnection);
        });
        result = box.run();
        EXPECT_TRUE(box.closedFromOutside());
    }
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(handle.isNull());
}
