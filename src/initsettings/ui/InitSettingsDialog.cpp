#include "initsettings/ui/InitSettingsDialog.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

CInitSettingsDialog::CInitSettingsDialog(CTermDatabase &db, CInitialSettingsTable &table,
                                         QWidget *parent)
    : QDialog(parent), startNoEdit(new QLineEdit(this)), rangeEdit(new QLineEdit(this)),
      idList(new QTreeWidget(this)), countLabel(new QLabel(this)),
      executeButton(new QPushButton(tr("実行"), this)),
      endButton(new QPushButton(tr("終了"), this)),
      closeButton(new QPushButton(tr("閉じる"), this)), m_controller(db, table)
{
    setWindowTitle(tr("初期設定実行"));
    startNoEdit->setMaxLength(InitRangeRules::MaxStartNoLength);
    rangeEdit->setMaxLength(4);
    rangeEdit->setFixedWidth(70);
    startNoEdit->setMinimumWidth(260);
    startNoEdit->installEventFilter(this);
    rangeEdit->installEventFilter(this);

    idList->setColumnCount(1);
    idList->setHeaderLabels({tr("端末ID")});
    idList->setRootIsDecorated(false);
    idList->setSelectionMode(QAbstractItemView::SingleSelection);
    idList->setMinimumHeight(220);

    auto *grid = new QGridLayout;
    auto *startLabel = new QLabel(tr("開始番号"), this);
    startLabel->setBuddy(startNoEdit);
    grid->addWidget(startLabel, 0, 0);
    grid->addWidget(startNoEdit, 0, 1);
    auto *rangeLabel = new QLabel(tr("設定範囲"), this);
    rangeLabel->setBuddy(rangeEdit);
    grid->addWidget(rangeLabel, 1, 0);
    auto *rangeRow = new QHBoxLayout;
    rangeRow->addWidget(rangeEdit);
    rangeRow->addWidget(new QLabel(tr("（ 1～1000 ）"), this));
    rangeRow->addStretch();
    grid->addLayout(rangeRow, 1, 1);

    auto *countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(tr("設定済みSIPアドレス"), this));
    countRow->addStretch();
    countRow->addWidget(new QLabel(tr("全"), this));
    countRow->addWidget(countLabel);

    // No default button: Enter in the fields or the list does nothing.
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {executeButton, endButton, closeButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }

    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addSpacing(6);
    top->addLayout(countRow);
    top->addWidget(idList, 1);
    top->addLayout(buttons);

    connect(executeButton, &QPushButton::clicked, this, &CInitSettingsDialog::onExecute);
    connect(endButton, &QPushButton::clicked, this, &CInitSettingsDialog::onEnd);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    m_controller.open();
    apply();
}

void CInitSettingsDialog::apply()
{
    // Disabling a field that has the focus moves the focus away from it;
    // that is not the user leaving the field.
    m_applying = true;
    const InitSettingsController::State &s = m_controller.state();
    if (!startNoEdit->hasFocus() || !startNoEdit->isModified())
        startNoEdit->setText(s.startNo);
    if (!rangeEdit->hasFocus() || !rangeEdit->isModified())
        rangeEdit->setText(s.range);
    startNoEdit->setModified(false);
    rangeEdit->setModified(false);

    idList->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(s.ids.size());
    for (const QString &id : s.ids)
        items.append(new QTreeWidgetItem(QStringList{id}));
    idList->addTopLevelItems(items);
    countLabel->setText(m_controller.countText());

    startNoEdit->setEnabled(s.fieldsEnabled);
    rangeEdit->setEnabled(s.fieldsEnabled);
    executeButton->setEnabled(s.executeEnabled);
    endButton->setEnabled(s.endEnabled);
    closeButton->setEnabled(s.closeEnabled);

    QWidget *focus = nullptr;
    switch (s.focus) {
    case InitSettingsController::Focus::StartNo:
        focus = startNoEdit;
        break;
    case InitSettingsController::Focus::Range:
        focus = rangeEdit;
        break;
    case InitSettingsController::Focus::Execute:
        focus = executeButton;
        break;
    case InitSettingsController::Focus::End:
        focus = endButton;
        break;
    case InitSettingsController::Focus::Close:
        focus = closeButton;
        break;
    case InitSettingsController::Focus::None:
        break;
    }
    // After the event that moved the focus away has been handled.
    if (focus)
        QTimer::singleShot(0, focus, [focus] { focus->setFocus(Qt::OtherFocusReason); });
    m_applying = false;
}

void CInitSettingsDialog::leave(QLineEdit *edit)
{
    const bool ok = edit == startNoEdit ? m_controller.leaveStartNo(edit->text())
                                        : m_controller.leaveRange(edit->text());
    // A refused text gives way to the value before it.
    edit->setModified(false);
    apply();
    if (!ok)
        edit->selectAll();
}

bool CInitSettingsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !m_applying &&
        (watched == startNoEdit || watched == rangeEdit)) {
        // Losing the window (a message box, another program) is not leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            leave(static_cast<QLineEdit *>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

void CInitSettingsDialog::onExecute()
{
    m_controller.execute();
    apply();
}

void CInitSettingsDialog::onEnd()
{
    m_controller.end();
    apply();
}

void CInitSettingsDialog::requestEnded()
{
    m_controller.refresh();
    apply();
}

void CInitSettingsDialog::reject()
{
    // Escape and the title bar's close do nothing while waiting.
    if (m_controller.canClose())
        QDialog::reject();
}

void CInitSettingsDialog::closeEvent(QCloseEvent *event)
{
    if (m_controller.canClose())
        QDialog::closeEvent(event);
    else
        event->ignore();
}
