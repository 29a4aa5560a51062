// Writers the reliability tests kill: kill-at STEP PATH TEXT (TEXT into the INI
// file PATH, SIGKILL before STEP); view-add FOLDER FIRST COUNT and view-delete
// FOLDER (the list's add and delete, files too), printing "P <op> <done>".
#include "common/IniFile.h"
#include "common/ProcessValues.h"
#include "common/SafeFile.h"
#include "termlist/ui/AddTermDialog.h"
#include "termlist/ui/ProgressDialog.h"
#include "termlist/ui/TerminalView.h"

#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace
{

// Reports every move of the progress window (polled from the command's own
// yields) and fills in the add dialog when it opens.
void watchWindows(const QString &firstId, const QString &count)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [firstId, count] {
        static int lastOp = -1, lastDone = -1;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *add = qobject_cast<CAddTermDialog *>(w); add && add->isVisible()) {
                add->idEdit->setText(firstId);
                add->countEdit->setText(count);
                add->registerButton->click();
            }
            auto *p = qobject_cast<CProgressDialog *>(w);
            if (p && p->isVisible() && (p->operation() != lastOp || p->bar->value() != lastDone)) {
                lastOp = p->operation();
                lastDone = p->bar->value();
                std::printf("P %d %d\n", lastOp, lastDone);
                std::fflush(stdout);
            }
        }
    });
    timer->start();
}

int viewCommand(const QString &folder, const QString &firstId = {}, const QString &count = {})
{
    const bool add = !count.isEmpty();
    ProcessValues::setProgramFolder(folder);
    ScriptedPrompter prompter;
    CTerminalView view;
    if (ProcessValues::startupAbort.load())
        return 2;
    view.initialUpdate();
    watchWindows(firstId, count);
    if (add) {
        view.onAddTerminals();
    } else {
        view.selectAll();
        prompter.answer(MsgResult::Yes);
        prompter.answer(MsgResult::Yes);
        view.onDeleteTerminals();
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    const QString role = a.value(0);
    if (role == QLatin1String("kill-at") && a.size() == 4) {
        const auto step = static_cast<SafeFile::Step>(a[1].toInt());
        SafeFile::setStepHook([step](SafeFile::Step s, const QString &) {
            if (s == step)
                std::raise(SIGKILL);
            return true;
        });
        IniFile ini(a[2]);
        ini.load();
        ini.writeString(QStringLiteral("FTPTimerSettings"), QStringLiteral("Text"), a[3]);
        return ini.save() ? 0 : 1;
    }
    if (role == QLatin1String("view-add") && a.size() == 4)
        return viewCommand(a[1], a[2], a[3]);
    if (role == QLatin1String("view-delete") && a.size() == 2)
        return viewCommand(a[1]);
    std::fprintf(stderr, "usage: see the comment at the top of %s\n", __FILE__);
    return 2;
}
