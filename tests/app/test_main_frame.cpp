#include "app/MainFrame.h"
#include "app/SingleInstance.h"
#include "common/CommandScope.h"
#include "common/ProcessValues.h"

#include "TempDir.h"

#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

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
    EXPECT_TRUE(QTest::qWaitFor([] { return !(ProcessValues::operatorBusy.load() & 1u); }, 2000));
}

// What a power cut, a crash or another local user leaves at a lock's name never
// keeps the program from starting; a link's target stays as it was.
TEST(SingleInstance, WhateverIsLeftAtTheLocksNameIsStale)
{
    TempDir dir;
    const QString victim = dir.file("victim");
    dir.write("victim", "keep");
    const std::function<void(const QString &)> leftovers[] = {
        [](const QString &p) { QFile(p).open(QIODevice::WriteOnly); }, // empty
        [&](const QString &p) {
            QFile f(p);
            f.open(QIODevice::WriteOnly);
            f.write("999999\nkelmngpc\n");
            f.close();
            // another user's, readable by nobody else
            EXPECT_EQ(::chown(QFile::encodeName(p).constData(), 65534, 65534), 0);
            QFile::setPermissions(p, QFile::WriteOwner);
        },
        [&](const QString &p) { QFile::link(victim, p); },
    };
    for (const auto &leave : leftovers) {
        for (int port : {0, 43999}) {
            const QString path = port ? UdpPortLock(port, dir.path()).fileName()
                                      : dir.file(SingleInstance::lockName());
            leave(path);
            SingleInstance instance(dir.path());
            UdpPortLock portLock(43999, dir.path());
            EXPECT_TRUE(port ? portLock.acquire() : instance.acquire()) << path.toStdString();
        }
    }
    EXPECT_EQ(dir.read("victim"), "keep");
}

// The port lock lives where only the user can write.
TEST(UdpPortLock, OnlyInAFolderOfTheUsersOwn)
{
    TempDir dir;
    dir.mkdir("shared");
    dir.mkdir("own");
    QFile::setPermissions(dir.file("own"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.file("shared")).constData(), 01777), 0);
    const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.file("own")));
    EXPECT_EQ(UdpPortLock::lockFolder(), dir.file("own"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.file("shared")));
    const QString fallback = UdpPortLock::lockFolder();
    EXPECT_NE(fallback, dir.file("shared"));
    QFileInfo info(fallback);
    EXPECT_EQ(info.ownerId(), ::geteuid());
    EXPECT_EQ(info.permissions() & (QFile::WriteGroup | QFile::WriteOther), QFile::Permissions());
    qputenv("XDG_RUNTIME_DIR", before);
}
