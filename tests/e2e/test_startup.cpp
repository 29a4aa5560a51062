// The real program started on a fresh program folder.
#include "ProgramRunner.h"
#include "TempDir.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace
{

const QByteArray kOneAccount = "[System]\r\nCount=1\r\n\r\n[ModelSet1]\r\nMODEL=KEL-IP200\r\n"
                               "ID=kelftp\r\nPW=kelpass\r\n";

QStringList columnsOf(const QString &dbPath, const QString &table)
{
    QStringList cols;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(dbPath);
        if (db.open()) {
            QSqlRecord rec = db.record(table);
            for (int i = 0; i < rec.count(); ++i)
                cols << rec.fieldName(i);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return cols;
}

QVariantList configRow(const QString &dbPath)
{
    QVariantList row;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe2"));
        db.setDatabaseName(dbPath);
        if (db.open()) {
            QSqlQuery q(
                QStringLiteral("SELECT UDPPort, FTPMode, EntryInt, EditerPath FROM ConfigInfo"),
                db);
            if (q.next())
                for (int i = 0; i < 4; ++i)
                    row << q.value(i);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe2"));
    return row;
}

} // namespace

TEST(Startup, CreatesRegisterShowsWindowAndEndsOnSigterm)
{
    TempDir dir;
    MakeProgramFolder(dir.path(), kOneAccount);
    const QString db = dir.file(QStringLiteral("KELMNGPC_V11.MDB"));
    const QString lock = dir.file(QStringLiteral("QUVAIPPHONEMANAGER.lock"));

    ProgramRunner first(dir.path());
    first.start();
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(db) && QFile::exists(lock); }, 15000))
        << first.stderrText().toStdString();

    // A second copy on the same folder is refused and leaves the first alone.
    ProgramRunner second(dir.path());
    second.start();
    ASSERT_TRUE(second.waitForExit());
    EXPECT_NE(second.exitCode(), 0);
    EXPECT_TRUE(
        second.stderrText().contains(QStringLiteral("クヴァＩＰフォンマネージャ管理用ツールは既に起"
                                                    "動しているか､現在使用不能な状態にあります｡")));
    EXPECT_TRUE(first.running());

    first.terminate();
    ASSERT_TRUE(first.waitForExit());
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0) << first.stderrText().toStdString();
    EXPECT_FALSE(QFile::exists(lock));

    EXPECT_EQ(
        columnsOf(db, QStringLiteral("TermInfo")),
        (QStringList{"ID",          "TermID",        "IPAddr",     "Vendor",        "MachineName",
                     "MachineType", "Info03",        "Info04",     "VerBoot",       "VerApli",
                     "VerInfo1",    "VerInfo2",      "VerInfo3",   "TermTypeInfo1", "TermTypeInfo2",
                     "UserInfo1",   "UserInfo2",     "Regist",     "EntryDate",     "TermIDAlert",
                     "IPAddrAlert", "TermEntryType", "ResultKind", "ResultCode",    "ResultDate"}));
    EXPECT_EQ(columnsOf(db, QStringLiteral("ConfigInfo")),
              (QStringList{"ID", "UDPPort", "FTPMode", "EntryInt", "EditerPath"}));
    EXPECT_EQ(columnsOf(db, QStringLiteral("ListCondInfo")).size(), 63);
    EXPECT_EQ(columnsOf(db, QStringLiteral("InitInfo")),
              (QStringList{"ID", "StartNo", "SetRange"}));
    // The empty editor path was replaced at start and saved.
    EXPECT_EQ(configRow(db), (QVariantList{4000, 1, 1, QStringLiteral("/usr/bin/xdg-open")}));
}

TEST(Startup, RefusedWithoutFtpAccountBeforeAnyWindow)
{
    TempDir dir;
    MakeProgramFolder(dir.path(), QByteArray());
    ProgramRunner p(dir.path());
    p.start();
    ASSERT_TRUE(p.waitForExit());
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.stderrText().contains(QStringLiteral("FTPアカウントが設定されていません。")));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("KELMNGPC_V11.MDB"))));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("QUVAIPPHONEMANAGER.lock"))));
}

TEST(Startup, RefusedWithSupervisorAmongSeveralModels)
{
    TempDir dir;
    MakeProgramFolder(dir.path(),
                      "[System]\r\nCount=2\r\n[ModelSet1]\r\nMODEL=A\r\nID=a\r\nPW=a\r\n"
                      "[ModelSet2]\r\nMODEL=Supervisor\r\nID=s\r\nPW=s\r\n");
    ProgramRunner p(dir.path());
    p.start();
    ASSERT_TRUE(p.waitForExit());
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.stderrText().contains(QStringLiteral(
        "複数機種のFTPアカウントを設定している場合、スーパーバイザ設定はできません。")));
}

TEST(Startup, DamagedRegisterIsRefusedAndKept)
{
    TempDir dir;
    MakeProgramFolder(dir.path(), kOneAccount);
    const QByteArray junk = "this is not a database\n";
    dir.write(QStringLiteral("KELMNGPC_V11.MDB"), junk);
    dir.write(QStringLiteral("KELMNGPC.MDB"), "old version");
    ProgramRunner p(dir.path());
    p.start();
    ASSERT_TRUE(p.waitForExit());
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.stderrText().contains(QStringLiteral("データベースを最適化できませんでした。")));
    EXPECT_EQ(dir.read(QStringLiteral("KELMNGPC_V11.MDB")), junk);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("KELMNGPC.MDB"))));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("_Comp_KELMNGPC_V11.MDB"))));
}

// Under a real X server the window shows with its title.
TEST(Startup, MainWindowTitleUnderXvfb)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
    if (xvfb.isEmpty() || xwininfo.isEmpty())
        GTEST_SKIP() << "Xvfb or xwininfo not installed";
    TempDir dir;
    MakeProgramFolder(dir.path(), kOneAccount);
    QProcess server;
    server.start(xvfb,
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    ASSERT_TRUE(server.waitForReadyRead(10000));
    const QString display = QStringLiteral(":") + QString::fromLatin1(server.readLine()).trimmed();

    ProgramRunner p(dir.path(), {}, QStringLiteral("xcb"), display);
    p.start();
    const QString title = QStringLiteral("クヴァＩＰフォンマネージャ 管理用ツール");
    QString tree;
    const bool shown = WaitFor(
        [&] {
            QProcess info;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("DISPLAY"), display);
            info.setProcessEnvironment(env);
            info.start(xwininfo, {QStringLiteral("-root"), QStringLiteral("-tree")});
            info.waitForFinished(5000);
            tree = QString::fromUtf8(info.readAllStandardOutput());
            return tree.contains(title);
        },
        15000);
    EXPECT_TRUE(shown) << p.stderrText().toStdString();
    p.terminate();
    EXPECT_TRUE(p.waitForExit());
    EXPECT_EQ(p.exitCode(), 0);
    server.terminate();
    server.waitForFinished(5000);
}
