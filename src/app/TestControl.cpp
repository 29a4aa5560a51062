#include "app/TestControl.h"

#include "termlist/CommandFlow.h"
#include "termlist/MaintenanceCommands.h"
#include "termlist/NoticeApplier.h"
#include "termlist/TermListModel.h"
#include "termlist/ui/TerminalView.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <map>
#include <numeric>
#include <vector>

TestControl::TestControl(CTerminalView &view, std::function<bool()> socketOpen, QObject *parent)
    : QObject(parent), m_view(&view), m_socketOpen(std::move(socketOpen)),
      m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, [this] { onConnection(); });
}

TestControl::~TestControl() = default;

bool TestControl::listen(const QString &path)
{
    QLocalServer::removeServer(path);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    return m_server->listen(path);
}

QString TestControl::errorText() const
{
    return m_server->errorString();
}

void TestControl::onConnection()
{
    while (QLocalSocket *s = m_server->nextPendingConnection()) {
        connect(s, &QLocalSocket::readyRead, this, [this, s] { onReadable(s); });
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    }
}

void TestControl::onReadable(QLocalSocket *socket)
{
    while (socket->canReadLine()) {
        const QString line = QString::fromUtf8(socket->readLine()).trimmed();
        socket->write(answer(line).toUtf8() + '\n');
    }
    socket->flush();
}

QString TestControl::answer(const QString &line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString command = words.value(0);
    if (command == QLatin1String("ping"))
        return QStringLiteral("pong");
    if (!m_view)
        return QStringLiteral("ERR no view");
    CTerminalView &view = *m_view;
    if (command == QLatin1String("notices")) {
        const NoticeApplier &n = view.noticeApplier();
        return QStringLiteral("applied %1 pending %2 dropped %3")
            .arg(n.applied())
            .arg(n.pending())
            .arg(n.dropped());
    }
    if (command == QLatin1String("rows"))
        return QString::number(view.listModel()->rowCount());
    if (command == QLatin1String("select") && words.size() == 3) {
        // By register row, not display row: the list re-sorts as notices
        // arrive (by entry date), and a block must stay the same terminals.
        CTermListModel *model = view.listModel();
        std::vector<int> rows(std::size_t(model->rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
        std::sort(rows.begin(), rows.end(),
                  [model](int a, int b) { return model->entry(a).ID < model->entry(b).ID; });
        const int first = std::clamp(words[1].toInt(), 0, int(rows.size()));
        const int last = std::min(int(rows.size()), first + std::max(0, words[2].toInt()));
        const int lastColumn = std::max(0, model->columnCount() - 1);
        QItemSelection selection;
        for (int i = first; i < last; ++i)
            selection.select(model->index(rows[i], 0), model->index(rows[i], lastColumn));
        view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        return QString::number(last - first);
    }
    if (command == QLatin1String("run") && words.size() == 2) {
        for (MaintCommand c : allCommands()) {
            if (words[1] != QLatin1String(commandInfo(c).actionName))
                continue;
            QAction *action = view.action(words[1]);
            if (!action || view.commands().awaiting())
                return QStringLiteral("refused");
            action->trigger();
            return view.commands().awaiting() ? QStringLiteral("posted") : QStringLiteral("refused");
        }
        return QStringLiteral("ERR not a maintenance command");
    }
    if (command == QLatin1String("state")) {
        const bool running = view.commands().awaiting() || !view.isMainEnabled();
        return QStringLiteral("running %1 socket %2")
            .arg(running ? 1 : 0)
            .arg(m_socketOpen && m_socketOpen() ? 1 : 0);
    }
    if (command == QLatin1String("results")) {
        std::map<std::pair<int, int>, int> counts;
        for (const TermEntry &e : view.listModel()->entries())
            if (e.ResultKind != 0)
                ++counts[{e.ResultKind, e.ResultCode}];
        QStringList parts;
        for (const auto &[result, count] : counts)
            parts << QStringLiteral("%1/%2:%3").arg(result.first).arg(result.second).arg(count);
        return parts.join(QLatin1Char(' '));
    }
    if (command == QLatin1String("open") && words.size() == 2) {
        QAction *action = view.action(words[1]);
        if (!action)
            return QStringLiteral("ERR no such action");
        QTimer::singleShot(0, action, &QAction::trigger);
        return QStringLiteral("opened");
    }
    if (command == QLatin1String("windows")) {
        QStringList titles;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && !w->windowTitle().isEmpty())
                titles << w->windowTitle();
        return titles.join(QLatin1Char('|'));
    }
    if (command == QLatin1String("close")) {
        QMetaObject::invokeMethod(view.window(), &QWidget::close, Qt::QueuedConnection);
        return QStringLiteral("closing");
    }
    if (command == QLatin1String("statusbar")) {
        QStringList texts;
        if (auto *frame = qobject_cast<QMainWindow *>(view.window()))
            for (QLabel *label : frame->statusBar()->findChildren<QLabel *>())
                if (!label->text().isEmpty())
                    texts << label->text();
        return texts.join(QLatin1String(" | "));
    }
    return QStringLiteral("ERR unknown command");
}
