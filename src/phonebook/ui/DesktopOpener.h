#pragma once
// Opens a file in the application the desktop associates with its type.

#include "phonebook/PhoneBookTemplate.h"

class DesktopOpener : public IDesktopOpener
{
public:
    bool open(const QString &path) override;
};
