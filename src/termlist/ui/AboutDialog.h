#pragma once
// The about box: the program's title and version.

#include <QDialog>

class QPushButton;

class CAboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget *parent = nullptr);

    static QString programTitle();
    static QString versionText(); // "Version 3.2.0.0"

    QPushButton *okButton;
};
