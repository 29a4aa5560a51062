#pragma once
// "編集(&E)" → "端末ファイル編集(&E)" → "電話帳(&D)": opens the phone-book
// template of the first selected terminal's model. Binds itself to the list
// window's menu item while it exists.

#include "phonebook/PhoneBookTemplate.h"

#include <QPointer>

#include <memory>

class CTerminalView;
class QAction;

class PhoneBookCommand
{
public:
    // The desktop's file association unless another opener is given.
    explicit PhoneBookCommand(CTerminalView &view, std::unique_ptr<IDesktopOpener> opener = {});
    ~PhoneBookCommand();

    void run();

private:
    CTerminalView &m_view;
    std::unique_ptr<IDesktopOpener> m_opener;
    QPointer<QAction> m_action;
    QMetaObject::Connection m_connection;
};
