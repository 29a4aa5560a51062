#include "termlist/ui/RemoteUpdateDialog.h"

#include "comm/CommPayloads.h"
#include "common/ProcessValues.h"
#include "common/ThreadMessage.h"
#include "termlist/RemoteUpdateTexts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CRemoteUpdateDialog::CRemoteUpdateDialog(QWidget *parent)
    : QDialog(parent), stopButton(new QPushButton(tr("中止"), this))
{
    setObjectName(QStringLiteral("remoteUpdateWindow"));
    setWindowTitle(RemoteUpdateTexts::title());
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setModal(false);

    auto *top = new QVBoxLayout(this);
    top->addWidget(new QLabel(RemoteUpdateTexts::fixedLine(), this));
    auto *box = new QFrame(this);
    box->setFrameShape(QFrame::StyledPanel);
    auto *rows = new QVBoxLayout(box);
    // Room for the longest line: an ID of 20 digits, an address and three files.
    RemoteSlotsPayload widest;
    widest.workers[0] =
        RemoteSlot{true,
                   QString(20, QLatin1Char('0')),
                   0xFFFFFFFFu,
                   {UpdateFileKind::System, UpdateFileKind::User, UpdateFileKind::PhoneBook}};
    const int width = fontMetrics().horizontalAdvance(RemoteUpdateTexts::lines(widest).first());
    for (QLabel *&line : m_lines) {
        line = new QLabel(box);
        line->setMinimumWidth(width);
        line->setMinimumHeight(fontMetrics().height());
        rows->addWidget(line);
    }
    top->addWidget(box);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stopButton);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(stopButton, &QPushButton::clicked, this, &CRemoteUpdateDialog::onStop);
}

void CRemoteUpdateDialog::setLines(const QStringList &lines)
{
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        m_lines[i]->setText(lines.value(static_cast<qsizetype>(i)));
}

QStringList CRemoteUpdateDialog::lines() const
{
    QStringList out;
    for (QLabel *line : m_lines)
        out << line->text();
    return out;
}

void CRemoteUpdateDialog::onStop()
{
    stopButton->setEnabled(false);
    PostToThread(ProcessValues::MainThreadId, Msg::DiscardRequests);
}
