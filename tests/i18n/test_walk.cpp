// Walks every window, dialog, menu and message box of the program in each
// language: the Japanese texts are those of before the English interface
// came, the English ones hold no Japanese but data, and in both every text
// is readable on a 1366x768 screen and every input has a name.
#include "app/KelMngPCApp.h"
#include "app/MainFrame.h"
#include "history/SettingsHistory.h"
#include "history/ui/HistoryDialog.h"
#include "register/TermDatabase.h"
#include "schedule/ScheduleTestData.h"
#include "schedule/ui/ScheduleDetailDialog.h"
#include "schedule/ui/ScheduleListDialog.h"
#include "schedule/ui/ScheduleRunWindow.h"
#include "setup/ui/FirstStartDialog.h"
#include "support/Catalogue.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/AddTermDialog.h"
#include "termlist/ui/ColumnSelectDialog.h"
#include "termlist/ui/CondDialog.h"
#include "termlist/ui/DashboardWindow.h"
#include "termlist/ui/SystemSettingsDialog.h"
#include "termlist/ui/TerminalView.h"

#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSizeGrip>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <set>

namespace
{

// Not hidden, nor any parent up to the window (tab pages are visited one by one).
bool shown(QWidget *w, QWidget *window)
{
    for (QWidget *p = w; p && p != window; p = p->parentWidget())
        if (p->isHidden())
            return false;
    return true;
}

// Inside the scrolled part of a scroll area (may lie outside the window).
bool scrolled(QWidget *w, QWidget *window)
{
    for (QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (auto *area = qobject_cast<QAbstractScrollArea *>(p->parentWidget()))
            if (area->viewport() == p)
                return true;
    return false;
}

// Combo and spin boxes, and line and text edits not inside one of them.
bool isInput(QWidget *w)
{
    const auto box = [](QWidget *x) {
        return qobject_cast<QComboBox *>(x) || qobject_cast<QAbstractSpinBox *>(x);
    };
    const QVariant readOnly = w->property("readOnly");
    return box(w) || (readOnly.isValid() && !readOnly.toBool() && !box(w->parentWidget()));
}

// Dates and times of the day the walk runs on, the test's own folder, and
// the count of a progress window, whose moment of reading varies.
QString NormalisedLine(QString line)
{
    static const QRegularExpression date("\\d{4}/\\d{2}/\\d{2}"), time("\\d{2}([:：])\\d{2}"),
        seconds("(yyyy/mm/dd hh:mm):\\d{2}"), folder("/\\S*/kelmng-test-\\w+"),
        counter("^(CProgressDialog\t)\\d+ / \\d+");
    return line.replace(date, "yyyy/mm/dd")
        .replace(time, "hh\\1mm")
        .replace(seconds, "\\1:ss")
        .replace(folder, "<folder>")
        .replace(counter, "\\1n / n");
}

QStringList ReadLines(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

// Reads what a user sees as sorted "where<TAB>text" lines and what he can't
// read (cut texts, windows off the screen, inputs without a label). A modal
// window is read when it becomes the active one; the steps planned for its
// class run one per turn of the event loop, then it is rejected. Progress
// windows, which may come and go between two polls, are read as shown.
class Walker : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;
    Walker()
    {
        qApp->installEventFilter(this);
        m_timer.callOnTimeout([this] { poll(); });
        m_timer.start(2);
    }
    void plan(const char *className, std::vector<Step> steps)
    {
        m_plans[className] = std::move(steps);
    }
    int seen(const char *className) const { return m_seen.value(className); }
    void add(const QString &where, QString text)
    {
        if (!text.trimmed().isEmpty())
            lines.insert(NormalisedLine(
                where + '\t' +
                text.replace('\\', "\\\\").replace('\r', "\\r").replace('\n', "\\n")));
    }
    // Every visible text of a window and of all its tab pages, under `where`
    // (the class name when empty).
    void window(QWidget *w, QString where = QString())
    {
        if (where.isEmpty())
            where = w->metaObject()->className();
        kinds.insert(where);
        collect(w, where);
        checkReadable(w, where);
        for (QTabWidget *tabs : w->findChildren<QTabWidget *>()) {
            const int current = tabs->currentIndex();
            for (int i = 0; i < tabs->count() && shown(tabs, w); ++i) {
                if (i == current)
                    continue;
                tabs->setCurrentIndex(i);
                collect(tabs->widget(i), where);
                checkReadable(w, where);
            }
            tabs->setCurrentIndex(current);
        }
    }
    // The titles and items of a menu bar's menus and sub-menus.
    void menus(QWidget *barOrMenu)
    {
        kinds.insert("menu");
        for (QAction *a : barOrMenu->actions()) {
            add("menu", a->text());
            if (a->menu())
                menus(a->menu());
        }
    }
    // Message boxes and file dialogs a prompter saw.
    void prompts(const QList<PromptRecord> &records)
    {
        for (const PromptRecord &r : records) {
            const bool box = r.kind == PromptRecord::AppBox || r.kind == PromptRecord::SystemBox;
            const QString where = box ? "message box" : "file dialog";
            kinds.insert(where);
            for (const QString &t :
                 QStringList{r.caption} + (box ? QStringList{r.text} : r.filter.split(";;")))
                add(where, t);
        }
    }
    std::set<QString> lines, problems;
    QSet<QString> kinds;

private:
    void collect(QWidget *root, const QString &where)
    {
        QWidget *window = root->window();
        if (root == window)
            add(where, window->windowTitle());
        QList<QWidget *> all = root->findChildren<QWidget *>();
        all.prepend(root);
        for (QWidget *w : all) {
            if (!shown(w, window))
                continue;
            // Texts by property name; an editable field's text is the user's.
            const QVariant ro = w->property("readOnly"), tv = w->property("textVisible");
            QStringList texts{w->toolTip()};
            for (const char *name : {"title", "placeholderText", "specialValueText"})
                texts << w->property(name).toString();
            if ((!ro.isValid() || ro.toBool()) && (!tv.isValid() || tv.toBool()))
                texts << w->property("text").toString() << w->property("plainText").toString();
            if (auto *t = qobject_cast<QTabBar *>(w))
                for (int i = 0; i < t->count(); ++i)
                    texts << t->tabText(i);
            else if (auto *c = qobject_cast<QComboBox *>(w))
                for (int i = 0; i < c->count(); ++i)
                    texts << c->itemText(i);
            else if (auto *v = qobject_cast<QAbstractItemView *>(w))
                if (QAbstractItemModel *m = v->model();
                    m && !qobject_cast<QComboBox *>(v->parentWidget()))
                    // The headers and the first 40 rows.
                    for (int c = 0; c < m->columnCount(); ++c) {
                        texts << m->headerData(c, Qt::Horizontal).toString();
                        for (int r = 0; r < std::min(m->rowCount(), 40); ++r)
                            texts << m->index(r, c).data().toString();
                    }
            for (const QString &t : texts)
                add(where, t);
        }
    }
    void checkReadable(QWidget *window, const QString &where)
    {
        const auto problem = [&](QWidget *w, const QString &what) {
            problems.insert(where + ": " + w->metaObject()->className() + '#' + w->objectName() +
                            ' ' + what);
        };
        const QRect avail = window->screen()->availableGeometry(), frame = window->frameGeometry();
        if (frame.width() > avail.width() || frame.height() > avail.height() ||
            (window->isVisible() && !avail.contains(frame)))
            problem(window, QStringLiteral("does not fit the screen"));
        const QList<QLabel *> labels = window->findChildren<QLabel *>();
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (!shown(w, window) || w->isWindow() || (window->isVisible() && !w->isVisible()))
                continue;
            // The status bar's grip is the window's corner, not its content.
            if (!scrolled(w, window) && !qobject_cast<QSizeGrip *>(w) &&
                !window->rect().contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size())))
                problem(w, QStringLiteral("lies outside its window"));
            const QFontMetrics fm = w->fontMetrics();
            auto *b = qobject_cast<QAbstractButton *>(w);
            QString text = b ? b->text() : QString();
            bool cut = false;
            if (auto *l = qobject_cast<QLabel *>(w)) {
                text = l->text();
                cut = !text.isEmpty() && l->pixmap().isNull() &&
                      (l->height() < fm.height() ||
                       (l->wordWrap() ? l->height() < l->heightForWidth(l->width())
                                      : l->width() < l->sizeHint().width()));
            } else if (qobject_cast<QPushButton *>(w)) {
                // "&&" is a literal ampersand; a single one marks the accelerator.
                const QString shown =
                    QString(text).replace("&&", "\x01").remove('&').replace('\x01', '&');
                cut = fm.horizontalAdvance(shown) + 6 > b->width();
            } else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
                cut = !text.isEmpty() && b->width() < b->sizeHint().width();
            } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
                text = g->title();
                cut = fm.horizontalAdvance(text) + 16 > g->width();
            }
            if (cut)
                problem(w, QStringLiteral("cuts \"%1\"").arg(text));
            bool named = !isInput(w);
            for (QWidget *p = w; p && p != window && !named; p = p->parentWidget())
                named = !p->accessibleName().isEmpty() ||
                        std::any_of(labels.begin(), labels.end(),
                                    [p](QLabel *l) { return l->buddy() == p; });
            if (!named)
                problem(w, QStringLiteral("has no label tied to it"));
        }
    }
    static bool closesItself(QObject *o) { return o->inherits("CProgressDialog"); }
    // Sent once the window is laid out and placed, before the code that showed it goes on.
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::ShowToParent && o->isWidgetType() &&
            static_cast<QWidget *>(o)->isWindow() && closesItself(o))
            window(static_cast<QWidget *>(o));
        return false;
    }
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w->property("kelWalkBusy").toBool())
            return;
        if (!w->property("kelWalkSeen").toBool()) {
            w->setProperty("kelWalkSeen", true);
            window(w);
            ++m_seen[QString::fromLatin1(w->metaObject()->className())];
        }
        const auto plan = m_plans.find(w->metaObject()->className());
        const std::size_t step = w->property("kelWalkStep").toUInt();
        QPointer<QWidget> guard(w);
        if (plan != m_plans.end() && step < plan->second.size()) {
            w->setProperty("kelWalkStep", uint(step + 1));
            w->setProperty("kelWalkBusy", true);
            // Later, so that a dialog the step opens runs its loop outside this poll.
            QTimer::singleShot(0, w, [s = plan->second[step], guard] {
                s(guard);
                if (guard)
                    guard->setProperty("kelWalkBusy", false);
            });
        } else if (!closesItself(w) && !w->property("kelWalkClosing").toBool()) {
            w->setProperty("kelWalkClosing", true);
            QTimer::singleShot(0, w, [guard] {
                if (auto *d = qobject_cast<QDialog *>(guard.data()))
                    d->reject();
                else if (guard)
                    guard->close();
            });
        }
    }
    QTimer m_timer;
    std::map<QString, std::vector<Step>> m_plans;
    QHash<QString, int> m_seen;
};

constexpr int Patience = 20000;

// The first row of that ID.
void selectTerminal(CTerminalView *view, const QString &id)
{
    const auto &entries = view->listModel()->entries();
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const auto &e) { return e.TermID.trimmed() == id; });
    view->selectionModel()->select(view->listModel()->index(int(it - entries.begin()), 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

const QString Before = KEL_SOURCE_DIR "/tests/i18n/walk_ja.txt";
// Texts the Japanese interface shows beyond those of before (new windows and
// menu items); KEL_WALK_WRITE=1 rewrites this list, never the one of before.
const QString Since = KEL_SOURCE_DIR "/tests/i18n/walk_ja_new.txt";

std::string joined(const QStringList &lines) { return lines.join('\n').toStdString(); }

// Runs the whole program in this process on a prepared program folder and
// walks every window, dialog, menu and message box through its road.
class Walk : public ::testing::Test
{
protected:
    // The user's saved language stays out of the walks.
    void SetUp() override { qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit()); }
    void prepareFolder()
    {
        const QString dir = m_dir.path();
        QProcess::execute("bash", {KEL_SOURCE_DIR "/scripts/make-program-folder", dir});
        m_dir.write("Boot/boot_v2.s", "S00600004844521B\r\n");
        // Terminal 1001's own settings files, for the editor, and two
        // versions of its system settings, the newer one sent.
        for (const char *file : {"Data/Sys/kel_sys1001.ini", "Data/User/kel_user1001.ini"})
            m_dir.write(file, "[Version]\r\nVersion=1.00\r\n");
        SettingsHistory::Store history(dir,
                                       [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 0)); });
        for (const char *version : {"0.90", "1.00"})
            history.replace("1001", SettingsHistory::Kind::System, SettingsHistory::Origin::Read,
                            [&, text = QByteArray("[Version]\r\nVersion=") + version + "\r\n"] {
                                m_dir.write("Data/Sys/kel_sys1001.ini", text);
                                return true;
                            });
        history.markSent("1001", SettingsHistory::Kind::System, "[Version]\r\nVersion=1.00\r\n");
        // An account file others can read: the main window's warning.
        QFile(dir + "/Config/FTPauth.ini")
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

        CTermDatabase db(dir);
        // Fixed registration dates, so that the list reads the same every day.
        db.setClock([] { return QDateTime(QDate(2024, 5, 1), QTime(10, 0)); });
        db.startUp();
        SystemSettings s;
        db.readSystemSettings(s);
        QUdpSocket free;
        free.bind(QHostAddress::LocalHost, 0);
        s.UDPPort = free.localPort();
        db.writeSystemSettings(s);
        // 1002 twice: an alert.
        for (auto [id, octet, model, regist] : {std::tuple("1001", 1, "KT-100", 1),
                                                {"1002", 2, "KT-200", 2},
                                                {"1002", 3, "KT-100", 0}}) {
            RegistrationData r;
            r.TermID = id;
            r.IPAddr = 0x0000007Fu | (std::uint32_t(octet) << 24);
            r.Regist = regist;
            r.Vendor = "KEL";
            r.MachineName = model;
            r.MachineType = "A1";
            r.VerBoot = "1.00";
            r.VerApli = "2.10";
            r.UserInfo1 = QStringLiteral("00:11:22:33:44:%1").arg(octet, 2, 10, QChar('0'));
            r.UserInfo2 = QStringLiteral("Room %1").arg(octet);
            db.registerUpdate(r);
        }
        std::vector<TermItem> provisional{TermItem{0, "2001", 0}};
        db.addTerminals(provisional);
        db.setResultByMac("00:11:22:33:44:01", 10, 3);
        db.setResultByMac("00:11:22:33:44:02", 5, 0);
        db.close();

        // Schedules 1 to 4, one of each timing; schedule 1 has a result.
        using namespace Schedule;
        const ScheduleTarget target{"1001", "127.0.0.1", "00:11:22:33:44:01", "KT-100"};
        ScheduleSettings plan = appointedAt(QDateTime(QDate(2099, 12, 31), QTime(23, 30)));
        plan.EveryWeekCheck = {0, 1, 0, 1, 0, 0, 0};
        plan.EveryWeekTimeHour = 3;
        plan.EveryMonthDateDay = 15;
        plan.BeginMode = plan.OtherSchedule = plan.SysSetupFileWrite = plan.TermReboot = 1;
        plan.BeginPermTime = 30;
        plan.WaitTime = 5;
        const int plans[][2] = {{Timing::Appointed, Process::Restart},
                                {Timing::Weekly, Process::SettingsWrite},
                                {Timing::Monthly, Process::FirmWrite},
                                {Timing::AfterOther, Process::SettingsRead}};
        for (int n = 1; n <= 4; ++n) {
            plan.OperatTiming = plans[n - 1][0];
            plan.ProcessKind = plans[n - 1][1];
            ScheduleFiles::writeSettings(ScheduleFiles::settingsPath(dir + '/', n), plan, {target});
        }
        ScheduleResult result;
        result.ProcessKind = Process::Restart;
        result.SuccessTermNum = result.ErrorTermNum = result.Status = 1;
        result.ScheduleDate = result.BeginDate = "2024/05/01 10:00";
        for (int outcome :
             {Outcome::Success, Outcome::Error, Outcome::Cancelled, Outcome::NotExecuted})
            result.terminals.append(ScheduleResultTerm{outcome, target});
        ScheduleFiles::writeResult(ScheduleFiles::resultPath(dir + '/', 1), result);
    }
    bool run(const char *lang)
    {
        prepareFolder();
        // Sessions that nobody answers end in a moment.
        qputenv("KELMNGPC_TICK_MS", "1");
        CKelMngPCApp app;
        if (!app.initInstance(
                {"--program-folder=" + m_dir.path(), QStringLiteral("--lang=") + lang}))
            return false;
        ScriptedPrompter prompter;
        auto *view = qobject_cast<CTerminalView *>(app.frame()->centralWidget());
        const auto idle = [&] {
            return !QApplication::activeModalWidget() && view->isMainEnabled();
        };
        const QString dir = m_dir.path();
        // Each item a road: "#ID" selects that terminal, Y and N are the
        // answers to the questions, "-" cancels a file dialog, a path answers
        // one, and the last word is the menu item to choose.
        const auto play = [&](std::initializer_list<const char *> roads) {
            for (const char *road : roads) {
                QStringList words = QString::fromLatin1(road).split(' ');
                const QString action = words.takeLast();
                for (const QString &w : words)
                    if (w.startsWith('#'))
                        selectTerminal(view, w.mid(1));
                    else if (w == "Y" || w == "N")
                        prompter.answer(w == "Y" ? MsgResult::Yes : MsgResult::No);
                    else
                        prompter.answerFile(w == "-" ? QString() : dir + '/' + w);
                QAction *a = view->action(action);
                // Items a menu enables as it opens.
                if (auto *menu = qobject_cast<QMenu *>(a->parent()))
                    emit menu->aboutToShow();
                a->trigger();
                (void)QTest::qWaitFor(idle, Patience);
            }
        };
        // What each dialog does before it is closed: wrong input, two terminals
        // added, every column, a header's filter, two versions compared and a
        // restore asked, a schedule's detail with a target to add, its result, a new one.
        walker.plan("CSystemSettingsDialog", {[](QWidget *w) {
                        auto *d = static_cast<CSystemSettingsDialog *>(w);
                        d->portEdit->setText(QStringLiteral("0"));
                        d->okButton->click();
                    }});
        walker.plan("CAddTermDialog", {[](QWidget *w) {
                        auto *d = static_cast<CAddTermDialog *>(w);
                        d->idEdit->setText(QStringLiteral("3001"));
                        d->countEdit->setText(QStringLiteral("2"));
                        d->registerButton->click();
                    }});
        walker.plan("CColumnSelectDialog", {[](QWidget *w) {
                        for (QCheckBox *box : w->findChildren<QCheckBox *>())
                            box->setChecked(true);
                        static_cast<CColumnSelectDialog *>(w)->setButton->click();
                    }});
        walker.plan("CCondDialog", {[](QWidget *w) {
                        auto *d = static_cast<CCondDialog *>(w);
                        if (d->filterButton->isEnabled())
                            d->filterButton->click();
                    }});
        walker.plan("CHistoryDialog",
                    {[](QWidget *w) {
                         static_cast<CHistoryDialog *>(w)->selectVersions({1, 2});
                     },
                     [this](QWidget *w) { walker.window(w); },
                     [](QWidget *w) { static_cast<CHistoryDialog *>(w)->selectVersions({1}); },
                     [](QWidget *w) { static_cast<CHistoryDialog *>(w)->restoreButton->click(); }});
        walker.plan(
            "CScheduleListDialog",
            {[](QWidget *w) { static_cast<CScheduleListDialog *>(w)->groups[0].edit->click(); },
             [](QWidget *w) { static_cast<CScheduleListDialog *>(w)->groups[0].result->click(); },
             [](QWidget *w) { static_cast<CScheduleListDialog *>(w)->groups[5].edit->click(); }});
        walker.plan("CScheduleDetailDialog", {[](QWidget *w) {
                        static_cast<CScheduleDetailDialog *>(w)->addTarget->click();
                    }});

        (void)QTest::qWaitFor([&] { return app.frame()->isVisible(); }, Patience);
        walker.window(app.frame(), "main window");
        walker.menus(app.frame()->menuBar());
        // The editor on a terminal's files, the common files, the registration,
        // and a model without a phone-book template; every column shown from
        // the column choice on.
        play({"actionSystemSettings", "actionExportList", "actionAddTerminals",
              "#3001 Y Y actionDeleteTerminals", "#1001 N actionClearResults",
              "N actionEditTermSys", "N actionEditTermUser",
              "Config/Sys/sysconfig_KT-100_1.xml - actionEditCommonSys",
              "Config/User/missing.xml actionEditCommonUser", "actionFirmRegister",
              "#1002 actionEditPhoneBook", "#1001 actionShowDetail", "actionSelectColumns",
              "N actionClearAll", "actionLanguageEnglish", "actionDashboard"});

        if (CDashboardWindow *board = view->dashboard()) {
            (void)QTest::qWaitFor([&] { return board->isVisible(); }, Patience);
            walker.window(board);
            for (int c = 0; c < FleetCharts::ChartCount; ++c) // the titles the charts draw
                walker.add("CDashboardWindow",
                           board->chartView(FleetCharts::Chart(c))->chart()->title());
            board->close();
        }
        // Every column header: the condition dialog, then its filter dialog.
        for (int section = 0; section < view->listModel()->columnCount(); ++section) {
            const int before = walker.seen("CCondDialog");
            view->onHeaderClicked(section);
            (void)QTest::qWaitFor([&] { return walker.seen("CCondDialog") > before; }, 300);
            (void)QTest::qWaitFor(idle, Patience);
        }
        // Every command's question answered no; a terminal ID alert asks
        // before the restart, which then runs against a terminal that never
        // answers; its failed terminal selected, written out, the repeat asked.
        play({"N actionTermInfo", "N actionReadSys", "N actionReadUser", "N actionReadDial",
              "N actionWriteSys", "N actionWriteUser", "N actionWriteDial", "N actionForceClose",
              "Data/Sys/kel_sys1001.ini Y N actionWriteCommonSys",
              "Data/Sys/kel_sys1001.ini Y N actionWriteCommonUser",
              "Boot/boot_v2.s N actionWriteBoot", "Boot/boot_v2.s N actionWriteApli",
              "#1002 N actionRestart", "#1001 Y actionRestart", "actionInitialSettings",
              "actionSelectFailed"});
        walker.window(app.frame(), "main window");
        play({"Data/failed.csv actionExportFailed", "N actionRepeatFailed",
              "#1001 N actionSettingsHistory", "actionScheduleSettings"});
        view->action(QStringLiteral("actionScheduleRun"))->trigger();
        if (auto *run = app.frame()->findChild<CScheduleRunWindow *>()) {
            QTest::qWait(50);
            walker.window(run);
            run->cancelButton->click();
        }
        (void)QTest::qWaitFor(idle, Patience);
        play({"actionShowLog", "actionAbout"});

        // The first start's dialog (a new folder asks before the program
        // runs): OK with nothing filled in.
        walker.plan("FirstStartDialog",
                    {[](QWidget *w) { static_cast<FirstStartDialog *>(w)->okButton->click(); }});
        FirstStartDialog(dir).exec();
        // The list as the commands left it.
        walker.window(app.frame(), "main window");
        walker.prompts(prompter.records);
        return true;
    }

    TempDir m_dir;
    QTemporaryDir config;
    Walker walker;
};

} // namespace

TEST_F(Walk, JapaneseShowsTheTextsOfBefore)
{
    ASSERT_TRUE(run("ja"));
    std::set<QString> before;
    for (const QString &l : ReadLines(Before))
        before.insert(NormalisedLine(l));
    QStringList lost, added;
    const auto &now = walker.lines;
    std::set_difference(before.begin(), before.end(), now.begin(), now.end(),
                        std::back_inserter(lost));
    std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    QFile since(Since);
    if (qEnvironmentVariableIsSet("KEL_WALK_WRITE") && since.open(QIODevice::WriteOnly))
        since.write((added.join('\n') + '\n').toUtf8());
    EXPECT_TRUE(lost.isEmpty()) << "changed or gone:\n" << joined(lost);
    EXPECT_TRUE(added == ReadLines(Since)) << "new:\n" << joined(added);
    EXPECT_EQ(walker.problems, std::set<QString>());
}

TEST_F(Walk, EnglishShowsNoJapaneseButData)
{
    ASSERT_TRUE(run("en"));
    // Data keeps its language: the settings descriptions' texts (the longest
    // first, so a text holding a shorter one goes whole), and the menu's "日本語".
    QStringList data{QStringLiteral("日本語")};
    static const QRegularExpression text(">([^<]+)<|=\"([^\"]+)\"");
    QDirIterator it(m_dir.path() + "/Config", {"*.xml"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (QFile f(it.next()); f.open(QIODevice::ReadOnly))
            for (const auto &m : text.globalMatch(QString::fromUtf8(f.readAll())))
                if (const QString t = (m.captured(1) + m.captured(2)).trimmed(); !t.isEmpty())
                    data << t;
    std::sort(data.begin(), data.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });
    QStringList japanese;
    for (const QString &line : walker.lines) {
        QString rest = line.section('\t', 1);
        for (const QString &d : data)
            rest.remove(d);
        if (HasJapanese(rest))
            japanese << line;
    }
    EXPECT_TRUE(japanese.isEmpty()) << joined(japanese);
    // Every window the Japanese walk saw, the English one saw too.
    QSet<QString> kinds;
    for (const QString &l : ReadLines(Before))
        kinds.insert(l.section('\t', 0, 0));
    EXPECT_TRUE(walker.kinds.contains(kinds));
    EXPECT_EQ(walker.problems, std::set<QString>());
}
