#include "ViewStack.h"

#include "comm/FtpSettings.h"
#include "common/ProcessValues.h"
#include "termlist/CommandFlow.h"
#include "termlist/ListColumns.h"
#include "termlist/TermListModel.h"

#include <QAction>
#include <QItemSelectionModel>

ViewStack::ViewStack(int udpPort, int sendDelayMs, const char *tickMs) : port(udpPort)
{
    ProcessValues::setProgramFolder(dir.path());
    ProcessValues::sendDelay = sendDelayMs;
    ProcessValues::startupAbort = 0;
    ProcessValues::operatorBusy = 0;
    qputenv("KELMNGPC_TICK_MS", tickMs);
    for (const char *sub : {"Log", "Data/Sys", "Data/User", "Data/Dial", "Boot", "Apli", "sim"})
        dir.mkdir(QString::fromLatin1(sub));
    dir.write(QStringLiteral("Config/FTPauth.ini"),
              "[System]\r\nCount=1\r\n[ModelSet1]\r\nMODEL=KT-100\r\nID=kel\r\nPW=secret\r\n");
    if (LoadFtpAccounts() != 0)
        return;
    {
        CTermDatabase db(dir.path());
        if (!db.startUp())
            return;
        SystemSettings s;
        db.readSystemSettings(s);
        s.UDPPort = udpPort;
        s.FTPMode = 1;
        s.EntryInt = 1;
        db.writeSystemSettings(s);
    }
    restart();
}

bool ViewStack::restart()
{
    m_threads.stop();
    view.reset();
    bar.clear();
    view = std::make_unique<CTerminalView>();
    view->initialUpdate();
    view->buildMenus(&bar);
    view->resize(900, 500);
    view->show();
    m_up = m_threads.start({port, 1, 1}, &decider);
    return m_up;
}

ViewStack::~ViewStack()
{
    m_threads.stop();
    view.reset();
    ProcessValues::sendDelay = 100;
    qunsetenv("KELMNGPC_TICK_MS");
}

bool ViewStack::withTerminals(Termsim &sim, const QString &base, int count, int timeoutMs)
{
    return m_up && sim.start(simArgs(base, count)) && waitRows(count, timeoutMs);
}

QStringList ViewStack::simArgs(const QString &base, int count, bool startNotices) const
{
    QStringList args = ::simArgs(base, count, port);
    if (startNotices)
        args.removeAll(QStringLiteral("--no-start-notify"));
    return args + QStringList{QStringLiteral("--root"), dir.file(QStringLiteral("sim"))};
}

QString ViewStack::simFile(const QString &address, const QString &name) const
{
    return dir.file(QStringLiteral("sim/%1/%2").arg(address, name));
}

bool ViewStack::waitRows(int rows, int timeoutMs)
{
    return pumpUntil(
        [&] { return !view->refreshPending() && view->listModel()->rowCount() >= rows; },
        timeoutMs);
}

void ViewStack::select(const QStringList &termIds)
{
    QItemSelection selection;
    CTermListModel *m = view->listModel();
    for (int row = 0; row < m->rowCount(); ++row)
        if (termIds.contains(m->entry(row).TermID))
            selection.select(m->index(row, 0), m->index(row, m->columnCount() - 1));
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ViewStack::selectAll()
{
    view->selectAll();
}

void ViewStack::trigger(const char *action)
{
    view->action(QString::fromLatin1(action))->trigger();
}

bool ViewStack::commandRunning()
{
    return view->commands().awaiting() || !view->isMainEnabled();
}

bool ViewStack::wait(int timeoutMs)
{
    return pumpUntil([&] { return !commandRunning(); }, timeoutMs);
}

const TermEntry *ViewStack::shown(const QString &termId) const
{
    for (const TermEntry &e : view->listModel()->entries())
        if (e.TermID == termId)
            return &e;
    return nullptr;
}

QString ViewStack::resultText(const QString &termId) const
{
    const TermEntry *e = shown(termId);
    return e ? ListColumns::cellText(ViewColumn::Result, *e) : QString();
}

TermEntry ViewStack::stored(const QString &termId)
{
    std::vector<TermEntry> all;
    view->noticeApplier().flush();
    view->database().readList(view->listCondition(), all);
    for (const TermEntry &e : all)
        if (e.TermID == termId)
            return e;
    return {};
}
