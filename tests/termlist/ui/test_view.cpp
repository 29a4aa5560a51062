// The list window on a real register: header clicks, clear all, export, add,
// delete, settings, log display, the selection over a refresh, the dashboard.
#include "ModalDriver.h"

#include "comm/CommPayloads.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "register/TermDatabase.h"
#include "termlist/NoticeApplier.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/AddTermDialog.h"
#include "termlist/ui/CondDialog.h"
#include "termlist/ui/DashboardWindow.h"
#include "termlist/ui/FilterDialogs.h"
#include "termlist/ui/SystemSettingsDialog.h"
#include "termlist/ui/TermDetailDialog.h"
#include "termlist/ui/TerminalView.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QAction>
#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using FleetCharts::Chart;

namespace
{

// Catches what the view posts to another thread.
struct Probe : MessageReceiver {
    explicit Probe(ThreadId id) : MessageReceiver(id) {}
    std::vector<std::unique_ptr<TaskMessage>> tasks;
    void onMessage(std::uint32_t, quintptr, std::unique_ptr<Payload> p) override
    {
        if (auto *t = dynamic_cast<TaskMessage *>(p.get()))
            p.release(), tasks.emplace_back(t);
    }
};

// Terminal `id` at 192.168.1.`id` with SIP state id % 4.
RegistrationData reg(int id)
{
    RegistrationData r;
    r.TermID = QString::number(id);
    r.IPAddr = 0x0001A8C0u | (std::uint32_t(id) << 24);
    r.Regist = id % 4;
    r.UserInfo1 = QStringLiteral("00:00:00:00:00:%1").arg(id, 2, 16, QLatin1Char('0'));
    return r;
}

class ViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        ProcessValues::startupAbort = 0;
    }

    // Prepares the register, then opens the view (which holds it exclusively).
    void open(std::initializer_list<int> ids = {},
              const std::function<void(ListCondInfo &)> &change = [](ListCondInfo &) {})
    {
        {
            CTermDatabase db(dir.path());
            ASSERT_TRUE(db.startUp());
            for (int id : ids)
                ASSERT_EQ(db.registerUpdate(reg(id)), 0);
            ListCondInfo c = DefaultListCond();
            ASSERT_EQ(db.readListCond(c), 0);
            change(c);
            ASSERT_EQ(db.writeListCond(c), 0);
        }
        view = std::make_unique<CTerminalView>();
        view->initialUpdate();
    }
    QStringList cells(ViewColumn c) const
    {
        QStringList out;
        const int section = view->listModel()->sectionOf(c);
        for (int row = 0; section >= 0 && row < view->listModel()->rowCount(); ++row)
            out << view->listModel()->index(row, section).data().toString();
        return out;
    }
    QString header(ViewColumn c) const
    {
        return view->listModel()->headerData(view->listModel()->sectionOf(c), Qt::Horizontal).toString();
    }
    ListCondInfo storedCond()
    {
        ListCondInfo c;
        EXPECT_EQ(view->database().readListCond(c), 0);
        return c;
    }
    void clickHeader(ViewColumn c)
    {
        QHeaderView *h = view->horizontalHeader();
        const int s = view->listModel()->sectionOf(c);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(s) + 4, h->height() / 2));
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<CTerminalView> view;
};

// The dashboard beside the list, on six terminals of three application versions.
class DashboardTest : public ViewTest
{
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        open();
        for (int n = 1; n <= 6; ++n)
            ASSERT_EQ(view->database().registerUpdate(terminal(n, n % 2 ? "2.00" : n == 4 ? "1.50" : "1.00")), 0);
        ASSERT_TRUE(view->refresh());
        view->buildMenus(&bar);
        view->resize(900, 400);
        view->show();
        view->action("actionDashboard")->trigger();
        ASSERT_NE(dashboard = view->dashboard(), nullptr);
    }
    static RegistrationData terminal(int n, const char *apli)
    {
        RegistrationData r = reg(n);
        r.VerApli = QString::fromLatin1(apli);
        r.Regist = 1;
        return r;
    }
    QStringList listedIds() const
    {
        QStringList out;
        for (const TermEntry &e : view->listModel()->entries())
            out << e.TermID;
        out.sort();
        return out;
    }
    int barOf(Chart chart, const QString &label) const
    {
        const auto &bars = dashboard->chartData(chart).bars;
        for (std::size_t i = 0; i < bars.size(); ++i)
            if (bars[i].label == label)
                return int(i);
        return -1;
    }

    QMenuBar bar;
    CDashboardWindow *dashboard = nullptr;
};

} // namespace

// The list shows addresses zero-padded; the filter takes them either way.
TEST_F(ViewTest, HeaderClicksSortFilterOrDoNothing)
{
    open({3, 10, 2});
    view->show();
    {
        ModalDriver driver;
        driver.then<CCondDialog>([](CCondDialog *d) { d->ascendingButton->click(); });
        clickHeader(ViewColumn::TermID);
        ASSERT_TRUE(QTest::qWaitFor([&] { return header(ViewColumn::TermID) == "端末ID▲"; }));
    }
    EXPECT_EQ(cells(ViewColumn::TermID), QStringList({"2", "3", "10"}));
    EXPECT_EQ(std::tuple(storedCond().SortColNo, storedCond().SortDirect), std::tuple(1, 2));
    // A filter-only column filters (an address taken without its zeros), and
    // a sort choice there changes nothing.
    ModalDriver driver;
    bool filtered = false;
    driver.then<CCondDialog>([](CCondDialog *d) {
        EXPECT_FALSE(d->descendingButton->isEnabled());
        d->filterButton->click();
    });
    driver.then<CFilterTextDialog>([&](CFilterTextDialog *d) {
        d->valueEdit1->setText("192.168.1.3");
        d->condCombo1->setCurrentIndex(5);
        d->okButton()->click();
        filtered = true;
    });
    driver.then<CCondDialog>([](CCondDialog *d) { d->done(CondChoice::Descending); });
    clickHeader(ViewColumn::IPAddr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return filtered && !QApplication::activeModalWidget(); }));
    QTest::qWait(20);
    EXPECT_EQ(header(ViewColumn::IPAddr), "IPｱﾄﾞﾚｽ◇");
    EXPECT_EQ(cells(ViewColumn::IPAddr), QStringList({"192.168.001.002", "192.168.001.010"}));
    EXPECT_EQ(storedCond().FCndIPAddr1, 6);
    clickHeader(ViewColumn::IPAddr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return driver.done() && !QApplication::activeModalWidget(); }));
    QTest::qWait(20);
    EXPECT_EQ(std::tuple(view->listCondition().SortColNo, storedCond().SortDirect), std::tuple(1, 2));
}

// The export writes the shown columns of the shown rows.
TEST_F(ViewTest, ClearAllWithRegistrationDateHidden)
{
    open({1, 12, 13, 2}, [](ListCondInfo &c) {
        c.ColEntryDate = c.ColIPAddr = c.ColMachineName = c.ColApliVer = 0;
        c.ColResultDate = c.SortColNo = 1;
        c.SortDirect = 2;
        c.FInfoTermID1 = "1*";
        c.FCndTermID1 = 3;
    });
    ASSERT_EQ(cells(ViewColumn::TermID), QStringList({"1", "12", "13"}));
    prompter.answer(MsgResult::Yes);
    view->onExportList();
    ASSERT_EQ(prompter.records.last().caption, QStringLiteral("端末一覧テキスト出力完了"));
    const QStringList lines = Cp932::decode(dir.read("Data/List.txt")).split("\r\n");
    ASSERT_EQ(lines.size(), 5); // header, three terminals, empty after the last CR LF
    EXPECT_EQ(lines[0], QStringLiteral("端末ID,処理結果,処理結果日時,SIPｻｰﾊﾞ登録状態,"
                                       "管理PC登録時刻,ｱﾗｰﾄ情報,"));

    prompter.answer(MsgResult::Yes);
    view->onClearAll();
    EXPECT_EQ(prompter.records.last().type, 0x24u);
    EXPECT_EQ(storedCond().FCndTermID1, 0);
    EXPECT_EQ(header(ViewColumn::Result), "処理結果▼");
    EXPECT_EQ(view->listModel()->rowCount(), 4);
}

// Deleting asks whether the settings files go too.
TEST_F(ViewTest, AddTerminalsCountsOnTheTextAndDeleteKeepsOrRemovesTheSettingsFiles)
{
    open({}, [](ListCondInfo &c) { c.SortColNo = 1, c.SortDirect = 2; });
    const auto add = [&](const char *id, const char *count) {
        ModalDriver driver;
        driver.then<CAddTermDialog>([=](CAddTermDialog *d) {
            d->idEdit->setText(id);
            d->countEdit->setText(count);
            d->registerButton->click();
            if (d->isVisible())
                d->cancelButton->click();
        });
        view->onAddTerminals();
    };
    add("098", "3");
    add("99", "3");
    EXPECT_EQ(cells(ViewColumn::TermID), QStringList({"99", "098", "099", "100", "101"}));
    EXPECT_TRUE(prompter.records.isEmpty());

    const QStringList files{"Data/Sys/kel_sys%1.ini", "Data/User/kel_user%1.ini",
                            "Data/Dial/kel_dial%1.csv"};
    QList<bool> exist;
    for (const char *id : {"099", "100", "101"})
        for (const QString &f : files + QStringList{"Data/History/%1/Sys/v000001.ini"})
            dir.write(f.arg(id), "x");
    for (int files : {MsgResult::No, MsgResult::Yes}) {
        view->selectRow(2);
        prompter.answer(MsgResult::Yes);
        prompter.answer(files);
        view->onDeleteTerminals();
    }
    EXPECT_EQ(prompter.records[1].caption, QStringLiteral("設定ファイル削除確認"));
    EXPECT_EQ(prompter.records[1].type, 0x124u);
    EXPECT_EQ(cells(ViewColumn::TermID), QStringList({"99", "098", "101"}));
    for (const char *id : {"099", "100", "101"})
        for (const QString &f : files)
            exist << QFile::exists(dir.file(f.arg(id)));
    EXPECT_EQ(exist, QList<bool>({true, true, true, false, false, false, true, true, true}));
    EXPECT_FALSE(QFile::exists(dir.file("Data/History/100"))) << "the history goes with the files";
}

// The settings go to the register and the manager; the editor path chosen
// there opens "ログ表示", and one that can't be started is named.
TEST_F(ViewTest, SystemSettingsValidateWriteAndTellTheManager)
{
    open({1});
    Probe comm(ProcessValues::CommThreadId);
    const auto run = [&](std::function<void(CSystemSettingsDialog *)> act) {
        ModalDriver driver;
        driver.then<CSystemSettingsDialog>(act);
        view->onSystemSettings();
        QCoreApplication::processEvents();
    };
    run([&](CSystemSettingsDialog *d) {
        EXPECT_EQ(d->portEdit->text(), QStringLiteral("4000"));
        d->normalButton->setChecked(true);
        d->intervalEdit->setText("");
        d->portEdit->setText("4001");
        d->okButton->click();
    });
    ASSERT_EQ(prompter.records.size(), 1);
    EXPECT_EQ(prompter.records[0].caption, QStringLiteral("ポート番号変更"));
    SystemSettings s;
    ASSERT_EQ(view->database().readSystemSettings(s), 0);
    EXPECT_EQ(std::tuple(s.FTPMode, s.EntryInt, s.UDPPort, s.EditerPath),
              std::tuple(0, 0, 4001, QString("xdg-open"))); // an empty path: the default
    ASSERT_TRUE(comm.tasks.size() == 1 && comm.tasks[0]->kind == TaskKind::SettingsChanged);
    const auto &sent = comm.tasks[0]->slot<CommSettingsPayload>(0)->value;
    EXPECT_EQ(std::tuple(sent.ftpMode, sent.udpPort), std::tuple(0, 4001));

    const QString missing = dir.file("bin/no-such-editor"), editor = dir.file("bin/editor.sh");
    dir.write("bin/editor.sh", "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/opened.txt\"\n");
    QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString log = dir.file("Log/Log_20250130.txt");
    dir.write("Log/Log_20250130.txt", "log");
    for (const QString &chosen : {missing, editor}) {
        run([&](CSystemSettingsDialog *d) {
            prompter.answerFile(chosen);
            d->editorBrowse->click();
            d->okButton->click();
        });
        ASSERT_EQ(view->database().readSystemSettings(s), 0);
        EXPECT_EQ(s.EditerPath, chosen);
        prompter.records.clear();
        prompter.answerFile(log);
        view->onShowLog();
        EXPECT_TRUE(chosen != missing ||
                    (prompter.records.size() == 2 && prompter.records[1].text.contains(missing)));
    }
    EXPECT_EQ(prompter.records.size(), 1) << "the file dialog only";
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return dir.read("bin/opened.txt").trimmed() == log.toUtf8(); }));
}

// A maintenance command with nothing selected sends nothing, and says why.
TEST_F(ViewTest, CommandWithoutSelectionSaysSoInTheStatusLine)
{
    open({1, 2});
    view->selectionModel()->clearSelection();
    QMenuBar bar;
    view->buildMenus(&bar);
    view->action("actionRestart")->trigger();
    EXPECT_EQ(
        view->statusText(),
        QStringLiteral(" 端末が選択されていません。一覧から処理する端末を選択してください。"));
    EXPECT_TRUE(prompter.records.isEmpty());
    ASSERT_TRUE(view->refresh());
    EXPECT_EQ(view->statusText(), QStringLiteral(" 全部で 2 件の端末情報を表示しています。"));
}

TEST_F(ViewTest, FirstRowIsCurrentAndTheSelectionSurvivesARefreshByRecordNumber)
{
    open({20, 21, 22, 23, 24}, [](ListCondInfo &c) { c.SortColNo = 1, c.SortDirect = 2; });
    const auto selectedIds = [&] {
        QStringList out;
        for (const TermEntry &e : view->selectedEntries())
            out << e.TermID;
        return out;
    };
    EXPECT_EQ(selectedIds(), QStringList({"20"})) << "the first row is current";
    view->selectionModel()->select(view->listModel()->index(2, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->selectionModel()->setCurrentIndex(
        view->listModel()->index(4, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(selectedIds(), QStringList({"22", "24"}));
    std::vector<TermItem> items{{0, "1", 0}, {0, "2", 0}};
    ASSERT_EQ(view->database().addTerminals(items), 0);
    ASSERT_TRUE(view->refresh());
    EXPECT_EQ(selectedIds(), QStringList({"22", "24"}));
    EXPECT_EQ(cells(ViewColumn::TermID).at(view->currentIndex().row()), QStringLiteral("24"));
    QString id;
    ModalDriver driver;
    driver.then<CTermDetailDialog>([&](CTermDetailDialog *d) {
        id = d->valueOf("端末ＩＤ");
        d->closeButton->click();
    });
    view->onShowDetail();
    EXPECT_EQ(id, QStringLiteral(" 22"));
}

TEST_F(DashboardTest, AClickOnAVersionBarLeavesExactlyItsTerminalsInTheList)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dashboard));
    const int bar200 = 0; // newest first
    ASSERT_EQ(barOf(Chart::ApliVer, "2.00"), bar200);

    // A real click in the middle of the bar.
    QChart *chart = dashboard->chartView(Chart::ApliVer)->chart();
    auto *series = qobject_cast<QBarSeries *>(chart->series().at(0));
    const QPointF inChart = chart->mapToPosition(QPointF(bar200, 1.5), series);
    const QPoint inView =
        dashboard->chartView(Chart::ApliVer)->mapFromScene(chart->mapToScene(inChart));
    QTest::mouseClick(dashboard->chartView(Chart::ApliVer)->viewport(), Qt::LeftButton, {}, inView);
    QCoreApplication::processEvents(); // the list takes the click after the chart's handler
    EXPECT_EQ(listedIds(), QStringList({"1", "3", "5"}));
    const ListCondInfo &cond = view->listCondition();
    EXPECT_EQ(std::tuple(cond.FCndApVer1, cond.FInfoApVer1, cond.ColApliVer),
              std::tuple(CondCode::Equal, QString("2.00"), 1));
    EXPECT_EQ(storedCond(), cond);

    // While a command holds the main window, a click changes nothing.
    view->setMainEnabled(false);
    dashboard->clickBar(Chart::ApliVer, barOf(Chart::ApliVer, "1.00"));
    QCoreApplication::processEvents();
    EXPECT_EQ(listedIds(), QStringList({"1", "3", "5"}));
    view->setMainEnabled(true);
    dashboard->clickBar(Chart::Sip, barOf(Chart::Sip, "プライマリ"));
    QCoreApplication::processEvents();
    EXPECT_EQ(listedIds().size(), 6) << "the version filter went with the click";
}
