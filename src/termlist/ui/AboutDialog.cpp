#include "termlist/ui/AboutDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CAboutDialog::CAboutDialog(QWidget *parent)
    : QDialog(parent), okButton(new QPushButton(tr("OK"), this))
{
    setWindowTitle(tr("バージョン情報"));

    auto *icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon, nullptr, this).pixmap(size));

    auto *texts = new QVBoxLayout;
    texts->addWidget(new QLabel(programTitle(), this));
    texts->addWidget(new QLabel(versionText(), this));

    auto *row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addSpacing(12);
    row->addLayout(texts, 1);
    row->addSpacing(12);
    row->addWidget(okButton, 0, Qt::AlignTop);

    auto *top = new QVBoxLayout(this);
    top->addLayout(row);
    top->setSizeConstraint(QLayout::SetFixedSize);

    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

QString CAboutDialog::programTitle()
{
    return tr("クヴァＩＰフォンマネージャ 管理用ツール");
}

QString CAboutDialog::versionText()
{
    return QStringLiteral("Version 3.2.0.0");
}
