// Writers that fail or die lose nothing: on a full program folder (a private
// tmpfs), refused or killed at each step, or killed halfway through a command.
#include "CommStack.h"
#include "PrivateMount.h"
#include "Site.h"

#include "comm/OpLog.h"
#include "comm/RegisterLogWriter.h"
#include "common/IniFile.h"
#include "common/ProcessValues.h"
#include "common/SafeFile.h"
#include "editor/EditorTestSupport.h"
#include "editor/SettingsFile.h"
#include "register/TermDatabase.h"
#include "termlist/NoticeApplier.h"
#include "termlist/ProgressTexts.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/TerminalView.h"

#include "support/ScriptedPrompter.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

Udp::TermNotify notice(int n)
{
    Udp::TermNotify t;
    t.termId = QString::number(n);
    t.macAddress = QStringLiteral("00:00:00:00:%1").arg(n, 4, 16, QLatin1Char('0')).insert(14, ':');
    t.address = 0x0A000000u + std::uint32_t(n);
    return t;
}

std::vector<TermEntry> rows(CTermDatabase &db)
{
    std::vector<TermEntry> out;
    EXPECT_EQ(db.readList(DefaultListCond(), out), 0);
    return out;
}

// The program folder of a test: a 16 MB tmpfs on a temporary folder.
struct Folder : TempDir {
    Folder()
    {
        ProcessValues::setProgramFolder(path());
        ProcessValues::startupAbort = 0;
    }
    PrivateMount::Tmpfs fs{path(), 16 << 20};
};

} // namespace

TEST(FullDisk, RegisterLogSettingsAndIniWriteBackLoseNothing)
{
    KEL_IN_PRIVATE_MOUNTS();
    Folder f;
    ASSERT_TRUE(f.fs.mounted());
    OpLog::setClock([] { return QDateTime(QDate(2024, 5, 7), QTime(12, 0)); });
    Site::addRows(f.path(), 850, 51);
    ScriptedPrompter prompter;
    // The log's last page has room for 10 bytes: a line would be cut there.
    const QByteArray logBefore = QByteArray(4096 - 12, '-') + "\r\n";
    const QString logName = QStringLiteral("Log/Log_20240507.txt");
    f.write(logName, logBefore);
    const QByteArray iniBefore = "[FTPTimerSettings]\r\nFTPConnectTimer=5\r\n";
    const QString ini = f.file("FTPTimer.ini");
    f.write(QStringLiteral("FTPTimer.ini"), iniBefore);
    // A terminal's settings file through the editor's writer.
    SettingsDescription description;
    ASSERT_TRUE(LoadDescriptionBytes(EditorTest::repoFile("tests/editor/data/write_desc.xml"), true,
                                     &description));
    MergeSettings(ReadSettingsBytes(EditorTest::repoFile("tests/editor/data/write_input.ini")),
                  description);
    const QString settingsName = QStringLiteral("Data/Sys/kel_sys3001.ini");
    f.mkdir(QStringLiteral("Data/Sys"));
    ASSERT_TRUE(WriteSettingsFile(f.file(settingsName), description, FileMode{true, false}));
    const QByteArray settingsBefore = f.read(settingsName);

    // A fresh start: the write-ahead log is empty, every commit needs room.
    CTermDatabase db(f.path());
    ASSERT_TRUE(db.startUp());
    RegisterLogWriter registerLog;
    db.setLogWriter(&registerLog);
    ListHost host;
    NoticeApplier applier(db, host, 4711, 4712);
    const std::vector<TermEntry> before = rows(db);
    ASSERT_EQ(before.size(), 51u);

    const QString filler = PrivateMount::fill(f.path());
    prompter.records.clear();
    applier.onNotice(notice(900)); // adopts the provisional row: a log line
    applier.onNotice(notice(901));
    QCoreApplication::processEvents();
    EXPECT_EQ(std::pair(applier.applied(), applier.pending()), std::pair(0ul, 2ul));
    // In WAL mode the disk shows full at COMMIT: the step rolls back, and
    // its items must not count as done.
    std::vector<TermItem> add{TermItem{0, QStringLiteral("902"), 0}};
    EXPECT_EQ(db.addTerminals(add), DbAnswer::Failed);
    std::vector<TermItem> del{TermItem{before[0].ID, before[0].TermID, 0}};
    EXPECT_EQ(db.deleteTerminals(del), DbAnswer::Failed);
    EXPECT_EQ(std::pair(add[0].result, del[0].result),
              std::pair(ItemResult::NotUpdatable, ItemResult::NotUpdatable));
    ASSERT_GE(prompter.records.size(), 3);
    for (const PromptRecord &r : prompter.records)
        EXPECT_EQ(r.caption, QStringLiteral("DB Error")) << r.text.toStdString();
    EXPECT_FALSE(OpLog::writeError(9, QStringLiteral("7")));
    EXPECT_TRUE(f.read(logName) == logBefore) << "half a line";
    EXPECT_FALSE(IniWriteString(ini, "FTPTimerSettings", "FTPConnectTimer", "7"));
    EXPECT_EQ(f.read(QStringLiteral("FTPTimer.ini")), iniBefore);
    description.entries[1].value = QStringLiteral("99");
    QList<int> editorErrors;
    EXPECT_FALSE(WriteSettingsFile(
        f.file(settingsName), description, FileMode{true, false},
        [&](int number, const QString &, const QString &) { editorErrors << number; }));
    EXPECT_EQ(editorErrors, QList<int>({12}));
    EXPECT_EQ(f.read(settingsName), settingsBefore);
    EXPECT_EQ(QDir(f.path()).entryList({"*.~new"}, QDir::Files).size(), 0);
    EXPECT_EQ(QDir(f.file("Data/Sys")).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_EQ(rows(db).size(), before.size());

    // Room again: the kept notices land, each with its one log line.
    ASSERT_TRUE(QFile::remove(filler));
    EXPECT_TRUE(applier.onTimerExpired({4711, NoticeApplier::RetryTimerId, 0}));
    EXPECT_EQ(applier.applied(), 2u);
    EXPECT_EQ(rows(db).size(), before.size() + 1);
    const QByteArray log = f.read(logName);
    EXPECT_TRUE(log.startsWith(logBefore));
    EXPECT_EQ(log.count("Err01"), 1) << log.mid(logBefore.size()).toStdString();
    EXPECT_TRUE(OpLog::writeError(9, QStringLiteral("7")));
    EXPECT_TRUE(IniWriteString(ini, "FTPTimerSettings", "FTPConnectTimer", "7"));
    OpLog::setClock({});
}

// A full disk refuses the list's export and delete and keeps everything; a
// delete killed halfway, while rows or while files go, takes whole steps of
// rows and no files of a row that stays.
TEST(FullDisk, ListWindowExportAndDeleteKeepEverything)
{
    KEL_IN_PRIVATE_MOUNTS();
    Folder f;
    ASSERT_TRUE(f.fs.mounted());
    const int total = 600;
    Site::addRows(f.path(), 700000, total);
    ScriptedPrompter prompter;
    const QByteArray listBefore = "端末ID,\r\n1,\r\n";
    f.write(QStringLiteral("Data/List.txt"), listBefore);
    const QStringList files{"Data/Sys/kel_sys%1.ini", "Data/User/kel_user%1.ini",
                            "Data/Dial/kel_dial%1.csv"};
    for (int i = 0; i < total; ++i)
        for (const QString &rel : files)
            f.write(rel.arg(700000 + i), "");
    const auto check = [&] {
        const Site::Register s = Site::readRegister(f.path());
        EXPECT_EQ(s.integrity, QStringLiteral("ok"));
        int filesGone = 0;
        QStringList wronglyGone;
        for (int i = 0; i < total; ++i)
            for (const QString &rel : files) {
                const QString id = QString::number(700000 + i);
                const bool gone = !QFile::exists(f.file(rel.arg(id)));
                filesGone += gone;
                if (gone && s.rows.contains(id))
                    wronglyGone << rel.arg(id);
            }
        EXPECT_EQ(wronglyGone, QStringList()) << "files of rows that stay";
        return std::pair(int(s.rows.size()), filesGone);
    };
    {
        CTerminalView view;
        view.initialUpdate();
        ASSERT_EQ(view.listModel()->rowCount(), total);
        const QString filler = PrivateMount::fill(f.path());
        prompter.answer(MsgResult::Yes);
        view.onExportList();
        ASSERT_EQ(prompter.records.size(), 2);
        EXPECT_EQ(prompter.records[1].text,
                  "端末一覧を正常に出力できませんでした。\nディスクに空きがあるか確認してください。");
        EXPECT_EQ(f.read(QStringLiteral("Data/List.txt")), listBefore);
        EXPECT_EQ(QDir(f.file("Data")).entryList(QDir::Files), QStringList({"List.txt"}));
        // Deleting with their files: the rows come back, so the files stay.
        view.selectAll();
        prompter.answer(MsgResult::Yes);
        prompter.answer(MsgResult::Yes);
        view.onDeleteTerminals();
        EXPECT_EQ(view.listModel()->rowCount(), total);
        EXPECT_EQ(prompter.records.last().text, "一部の端末を削除できませんでした。");
        ASSERT_TRUE(QFile::remove(filler));
    }
    EXPECT_EQ(check(), std::pair(total, 0)) << "the refused delete took files";
    const int shown = killedAt({"view-delete", f.path()}, ProgressOp::DeleteTerminals, total / 4);
    const auto [left, filesGone] = check();
    EXPECT_LE(left, total - shown);
    EXPECT_GT(left, 0) << "not killed halfway";
    EXPECT_EQ((total - left) % ProgressStep(total), 0);
    EXPECT_EQ(filesGone, 0);
    killedAt({"view-delete", f.path()}, ProgressOp::DeleteFiles, left / 4);
    const auto [after, gone] = check();
    EXPECT_EQ(after, 0);
    EXPECT_GT(gone, 0);
}

TEST(FullDisk, TheProgramRefusesToStartAndLaterKeepsItsNotices)
{
    KEL_IN_PRIVATE_MOUNTS();
    const int port = 43241;
    Site site(port, 16 << 20);
    Site::addRows(site.folder(), 800, 3);
    const QString reg = site.folder() + QLatin1Char('/') + QLatin1String(CTermDatabase::FileName);
    const auto bytes = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray regBefore = bytes(reg);
    ASSERT_FALSE(regBefore.isEmpty());

    // No room at all (the single-instance lock, a kernel lock, needs none),
    // then none for the compacted copy: the program says so and ends, the
    // register as it was.
    for (const qint64 room : {0, 4096}) {
        const QString filler = PrivateMount::fill(site.root(), room);
        auto program = site.start();
        ASSERT_TRUE(program->waitForExit());
        EXPECT_NE(program->exitCode(), 0);
        EXPECT_TRUE(program->stderrText().contains("データベースを最適化できませんでした。"))
            << room << program->stderrText().toStdString();
        EXPECT_TRUE(bytes(reg) == regBefore);
        EXPECT_FALSE(QFile::exists(site.folder() + "/_Comp_KELMNGPC_V11.MDB"));
        QFile::remove(filler);
    }

    // Running, then the disk fills: three notices that adopt provisional rows.
    auto program = site.start();
    Termsim sim;
    ASSERT_TRUE(sim.start(simArgs("127.0.74.2", 4, port) << "--no-ftp" << "--id-start" << "799"));
    ASSERT_TRUE(WaitFor(
        [&] {
            sim.cmd(QStringLiteral("notify 0"));
            sim.cmd(QStringLiteral("wait 0 TermNotifyAck timeout=0.2"));
            return sim.ok();
        },
        15000))
        << program->stderrText().toStdString();
    const QString filler = PrivateMount::fill(site.root());
    for (int n = 1; n <= 3; ++n)
        sim.cmd(QStringLiteral("notify %1").arg(n));
    sim.cmd("wait 3 TermNotifyAck timeout=10");
    ASSERT_TRUE(sim.ok());
    EXPECT_TRUE(WaitFor([&] { return program->stderrText().contains("DB Error"); }, 10000));
    EXPECT_EQ(site.loggedIds(), QStringList());

    // Room again: the retry lands them, each with its one log line.
    QFile::remove(filler);
    EXPECT_TRUE(WaitFor([&] { return site.loggedIds().size() >= 3; }, 10000));
    program->terminate();
    ASSERT_TRUE(program->waitForExit());
    EXPECT_EQ(program->exitCode(), 0);
    EXPECT_EQ(site.loggedIds(), QStringList({"800", "801", "802"}));
    const Site::Register after = site.readRegister();
    EXPECT_EQ(after.integrity, QStringLiteral("ok"));
    for (const char *id : {"800", "801", "802"})
        EXPECT_EQ(after.rows.value(id).first, 1) << id;
}

TEST(KilledCommand, AddHalfwayLeavesWholeStepsAndASoundRegister)
{
    TempDir dir;
    Site::addRows(dir.path(), 0, 0);
    const int total = 20000;
    const int shown = killedAt({"view-add", dir.path(), "500000", QString::number(total)},
                               ProgressOp::AddTerminals, total / 4);
    const Site::Register s = Site::readRegister(dir.path());
    EXPECT_EQ(s.integrity, QStringLiteral("ok"));
    const int k = int(s.rows.size());
    ASSERT_GT(k, 0);
    EXPECT_GE(k, shown) << "a step the window showed was lost";
    EXPECT_LT(k, total) << "not killed halfway: make the pass longer";
    EXPECT_EQ(k % ProgressStep(total), 0) << "half a step is in the register";
    EXPECT_EQ(s.rows.lastKey(), QString::number(500000 + k - 1)) << "the steps are the first ones";
    // The next start compacts and opens the register left behind.
    ScriptedPrompter prompter;
    EXPECT_TRUE(CTermDatabase(dir.path()).startUp());
    EXPECT_TRUE(prompter.records.isEmpty());
}

using SafeFile::Step;

TEST(SafeRewrite, RefusedOrKilledAtEveryStepLeavesTheOldFileOrTheNew)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("FTPTimer.ini"));
    const QByteArray oldIni = "[FTPTimerSettings]\r\nText=old\r\n";
    const auto leftovers = [&] { return QDir(dir.path()).entryList({"*.~new"}, QDir::Files | QDir::Hidden); };
    for (Step step : {Step::Write, Step::Owner, Step::Sync, Step::Rename, Step::SyncFolder}) {
        SCOPED_TRACE(int(step));
        dir.write(QStringLiteral("FTPTimer.ini"), oldIni);
        ::chmod(QFile::encodeName(path).constData(), 0640);
        if (step != Step::SyncFolder) { // refused: reported, the old file, no temporary
            SafeFile::setStepHook([step](Step s, const QString &) { return s != step; });
            EXPECT_FALSE(IniWriteString(path, "FTPTimerSettings", "Text", "new"));
            SafeFile::setStepHook({});
            EXPECT_EQ(dir.read(QStringLiteral("FTPTimer.ini")), oldIni);
            EXPECT_EQ(leftovers(), QStringList());
        }
        ProgramRunner writer;
        writer.start({KEL_CHILD, "kill-at", QString::number(int(step)), path, "new"});
        EXPECT_EQ(writer.finish(), -1) << "killed: " << writer.stderrText().toStdString();
        EXPECT_EQ(dir.read(QStringLiteral("FTPTimer.ini")),
                  step == Step::SyncFolder ? QByteArray(oldIni).replace("old", "new") : oldIni);
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        // The next write goes through and takes the leftover with it.
        EXPECT_TRUE(IniWriteString(path, "FTPTimerSettings", "Text", "again"));
        EXPECT_EQ(leftovers(), QStringList());
    }
}
