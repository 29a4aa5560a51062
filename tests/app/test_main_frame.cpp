#include "app/MainFrame.h"
#include "app/SingleInstance.h"
#include "common/CommandScope.h"
#include "common/ProcessValues.h"

#include "ScriptedPrompter.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

TEST(MainFrame, InitialGeometryCapsAndCentres)
{
    EXPECT_EQ(CMainFrame::initialGeometry(QRect(0, 0, 1280, 1024)), QRect(128, 128, 1024, 768));
    EXPECT_EQ(CMainFrame::initialGeometry(QRect(0, 0, 800, 600)), QRect(0, 0, 800, 600));
    EXPECT_EQ(CMainFrame::initialGeometry(QRect(0, 30, 1920, 1050)), QRect(448, 171, 1024, 768));
}

TEST(MainFrame, TitleAndStatusPanes)
{
    CMainFrame f;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("クヴァＩＰフォンマネージャ 管理用ツール"));
    ASSERT_NE(f.messagePane(), nullptr);
    for (const char *pane : {"KANA", "CAP", "NUM", "SCRL"})
        EXPECT_NE(f.findChild<QWidget *>(QLatin1String(pane)), nullptr) << pane;
}

TEST(MainFrame, BusyFlagFallsAfterMenuAndStaysDuringCommand)
{
    CMainFrame f;
    auto *bar = new QMenuBar(&f);
    QMenu *m = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    m->addAction(QStringLiteral("x"));
    f.setMenuBar(bar);
    f.watchMenus(bar);

    ProcessValues::operatorBusy = 0;
    emit m->aboutToShow();
    EXPECT_EQ(ProcessValues::operatorBusy.load() & 1u, 1u);
    emit m->aboutToHide();
    {
        CommandScope command; // a command handler runs: the flag must stay set
        QTest::qWait(120);
        EXPECT_EQ(ProcessValues::operatorBusy.load() & 1u, 1u);
    }
    QElapsedTimer t;
    t.start();
    while ((ProcessValues::operatorBusy.load() & 1u) && t.elapsed() < 2000)
        QTest::qWait(10);
    EXPECT_EQ(ProcessValues::operatorBusy.load() & 1u, 0u);
}

TEST(MainFrame, CloseRefusedWhileRemoteUpdatesRun)
{
    ScriptedPrompter prompts;
    CMainFrame f;
    int stops = 0;
    f.setStopThreads([&] { ++stops; });
    f.show();
    ProcessValues::remoteUpdateCount = 2;
    EXPECT_FALSE(f.close());
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(stops, 0);
    EXPECT_TRUE(f.isVisible());
    ProcessValues::remoteUpdateCount = 0;
    EXPECT_TRUE(f.close());
    EXPECT_EQ(stops, 1);
}

TEST(SingleInstance, SecondHolderRefusedAndStaleLockTakenOver)
{
    TempDir dir;
    {
        SingleInstance a(dir.path());
        ASSERT_TRUE(a.acquire());
        // A second process on the same folder sees the lock.
        QProcess probe;
        probe.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("test -s '%1'").arg(dir.file(SingleInstance::lockName()))});
        probe.waitForFinished();
        EXPECT_EQ(probe.exitCode(), 0);
    }
    // Released on destruction.
    EXPECT_FALSE(QFile::exists(dir.file(SingleInstance::lockName())));

    // A lock left by a process that no longer exists must not block.
    QFile stale(dir.file(SingleInstance::lockName()));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("999999\nkelmngpc\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    SingleInstance b(dir.path());
    EXPECT_TRUE(b.acquire());
}
