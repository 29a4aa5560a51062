#pragma once
// "端末情報詳細表示": one terminal's record, grouped, read-only.

#include "register/RegisterTypes.h"

#include <QDialog>

class QLabel;
class QPushButton;

class CTermDetailDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CTermDetailDialog(const TermEntry &entry, QWidget *parent = nullptr);

    // The value shown beside a field label ("端末ＩＤ", "SIPサーバ登録状態", ...);
    // empty for an unknown label.
    QString valueOf(const QString &fieldLabel) const;

    QPushButton *closeButton;

private:
    QList<QPair<QString, QLabel *>> m_values;
};
