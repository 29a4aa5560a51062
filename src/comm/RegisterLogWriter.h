#pragma once
// The register's log lines (terminal ID or address held twice) go to the
// daily log.

#include "comm/OpLog.h"
#include "register/RegisterTypes.h"

class RegisterLogWriter final : public IRegisterLog
{
public:
    void errorLog(int kind, const QString &termId, const QString &address) override
    {
        OpLog::writeRegisterError(kind, termId, address);
    }
    void repeatedErrorLog(int kind, const QString &termId, const QString &address) override
    {
        OpLog::writeRegisterError(kind, termId, address, true);
    }
};
