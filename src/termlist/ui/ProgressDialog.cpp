#include "termlist/ui/ProgressDialog.h"

#include "termlist/ProgressTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CProgressDialog::CProgressDialog(int operation, QWidget *parent)
    : QDialog(parent), textLabel(new QLabel(this)), counterLabel(new QLabel(this)),
      bar(new QProgressBar(this)), stopButton(new QPushButton(tr("中止"), this)),
      m_operation(operation)
{
    const ProgressTexts texts = progressTexts(operation);
    setWindowTitle(texts.title);
    setObjectName(QStringLiteral("progressWindow"));
    textLabel->setText(texts.text);
    textLabel->setMinimumWidth(380);
    textLabel->setWordWrap(true);
    stopButton->setEnabled(texts.stopEnabled);
    bar->setTextVisible(false);
    bar->setRange(0, 1);
    bar->setValue(0);
    // The window's own close button has no say; only the operation closes it.
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    // Modeless, yet nothing else of the program takes input while it is open.
    setWindowModality(Qt::ApplicationModal);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stopButton);

    auto *top = new QVBoxLayout(this);
    top->addWidget(textLabel);
    top->addWidget(counterLabel);
    top->addWidget(bar);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(stopButton, &QPushButton::clicked, this, &CProgressDialog::onStop);
}

void CProgressDialog::progress(int done, int total)
{
    if (done == 0)
        bar->setRange(0, std::max(total, 1));
    else
        bar->setValue(std::min(done, bar->maximum()));
    counterLabel->setText(progressCounter(done, total));
}

void CProgressDialog::onStop()
{
    stopButton->setEnabled(false);
    textLabel->setText(progressStoppingText());
    emit stopRequested();
}
