// After a bulk write with failures: the failed terminals selected in a sorted and
// filtered list, the write repeated on exactly them, their CSV read by Python.
#include "ViewStack.h"

#include "register/TermDatabase.h"
#include "termlist/CommandRepeat.h"
#include "termlist/TermListModel.h"

#include <QAction>
#include <QCryptographicHash>
#include <QMenu>
#include <gtest/gtest.h>

// The list condition as the filter and sort dialogs would leave it.
static void showOnly(ViewStack &stack, const std::function<void(ListCondInfo &)> &change)
{
    ListCondInfo cond = stack.view->listCondition();
    change(cond);
    ASSERT_EQ(stack.view->database().writeListCond(cond), 0);
    stack.view->initialUpdate();
}

TEST(FailedE2e, FailedTerminalsSelectedRepeatedAndExported)
{
    ViewStack stack(46190);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.190.2", 25));
    for (int t = 0; t < 25; ++t)
        stack.dir.write(QString("Data/Sys/kel_sys%1.ini").arg(1001 + t),
                        QString("[SIP]\r\nSipAddress=%1\r\n").arg(1001 + t).toUtf8());
    // Four terminals refuse: two their FTP login, two cut the upload.
    sim.cmd("set 2 ftp_fault=login");
    sim.cmd("set 9 ftp_fault=login");
    sim.cmd("set 15 ftp_fault=cut fault_on=stor");
    sim.cmd("set 22 ftp_fault=cut fault_on=stor");
    const QStringList failing{"1003", "1010", "1016", "1023"};
    stack.selectAll();
    stack.trigger("actionWriteSys");
    ASSERT_TRUE(stack.wait());
    const auto selectedIds = [&] {
        QStringList ids;
        for (const TermEntry &e : stack.view->selectedEntries())
            ids << e.TermID;
        return ids;
    };

    // Sorted by terminal ID descending, and 1023 filtered out.
    showOnly(stack, [](ListCondInfo &c) {
        c.SortColNo = ListColumn::TermID;
        c.SortDirect = SortDirection::Descending;
        c.FInfoTermID1 = "1020";
        c.FCndTermID1 = CondCode::LessEqual;
    });
    stack.select({"1001"});
    stack.trigger("actionSelectFailed");
    EXPECT_EQ(selectedIds(), (QStringList{"1016", "1010", "1003"}));
    EXPECT_EQ(stack.view->currentIndex().row(), 4) << "the first of them (1020..1016)";
    EXPECT_TRUE(stack.view->statusText().contains("3 件を選択"));
    EXPECT_TRUE(stack.view->statusText().contains("非表示の処理失敗端末が 1 件"));
    showOnly(stack, [](ListCondInfo &c) { ClearAllConditions(c); });
    stack.trigger("actionSelectFailed");
    QStringList all = selectedIds();
    all.sort();
    EXPECT_EQ(all, failing);

    // The CSV of this run: a header, then each with its address, result and time.
    stack.prompter.answerFile(stack.dir.file("failed.csv"));
    stack.trigger("actionExportFailed");
    const QStringList rows = QString::fromUtf8(stack.dir.read("failed.csv")).split("\r\n");
    ASSERT_EQ(rows.size(), 6) << "four rows, each line ended";
    EXPECT_TRUE(
        rows[0].endsWith(QString("端末ID,IPアドレス,機種,処理結果,結果コード,処理結果日時")));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i + 1].section(',', 0, 4),
                  QString("%1,127.0.190.%2,KT-100,ｼｽﾃﾑ設定書込 (ｴﾗｰ：%3),%4")
                      .arg(failing[i])
                      .arg(failing[i].toInt() - 999)
                      .arg(i < 2 ? "FTP接続異常" : "FTP通信異常")
                      .arg(i < 2 ? 5 : 6));
        EXPECT_EQ(rows[i + 1].section(',', 5).size(), 19); // yyyy/MM/dd HH:mm:ss
    }

    // The terminals let them pass now: the same file goes to exactly those four.
    sim.cmd("set all ftp_fault=none");
    sim.cmd("clear");
    stack.select({"1001"}); // the selection plays no part
    QAction *repeat = stack.view->action("actionRepeatFailed");
    auto *menu = qobject_cast<QMenu *>(repeat->associatedObjects().value(0));
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    ASSERT_TRUE(repeat->isEnabled());
    repeat->trigger();
    EXPECT_EQ(stack.prompter.records.last().caption, QString("端末システム設定書き込み開始確認"));
    EXPECT_TRUE(stack.prompter.records.last().text.contains(
        "「システム設定書込」を、処理に失敗した端末 4 件"));
    ASSERT_TRUE(stack.wait());
    for (int t = 0; t < 25; ++t) {
        const QString id = QString::number(1001 + t);
        const QJsonArray files = sim.json(QString("files %1").arg(t)).toArray();
        ASSERT_EQ(files.size(), failing.contains(id) ? 1 : 0) << id.toStdString();
        if (files.isEmpty())
            continue;
        const QByteArray local = stack.dir.read("Data/Sys/kel_sys" + id + ".ini");
        EXPECT_EQ(files[0].toObject().value("sha256").toString(),
                  QString(QCryptographicHash::hash(local, QCryptographicHash::Sha256).toHex()));
        EXPECT_EQ(stack.shown(id)->ResultCode, 0);
    }
    emit menu->aboutToShow();
    EXPECT_FALSE(repeat->isEnabled()) << "nothing failed any more";
}
