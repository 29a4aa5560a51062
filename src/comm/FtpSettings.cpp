#include "comm/FtpSettings.h"

#include "common/FileAttributes.h"
#include "common/IniFile.h"
#include "common/ProcessValues.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <mutex>
#include <shared_mutex>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(FtpSettings)
};

const QString kSupervisor = QStringLiteral("Supervisor");
const QString kTimerSection = QStringLiteral("FTPTimerSettings");

// A standard lock rather than QReadWriteLock: the thread sanitizer sees it.
std::shared_mutex &tableLock()
{
    static std::shared_mutex lock;
    return lock;
}

FtpAccountTable &sharedTable()
{
    static FtpAccountTable table;
    return table;
}

// One time-out key: minutes, default written back when missing, at most 60.
std::int32_t readTimerMinutes(const IniFile &ini, const QString &path, const QString &key,
                              std::int32_t defaultMinutes)
{
    std::int32_t v = ini.readNumber(kTimerSection, key, -1);
    if (v == -1) {
        IniWriteString(path, kTimerSection, key, QString::number(defaultMinutes));
        return defaultMinutes;
    }
    // Taken as unsigned: a negative value is a huge one and becomes 60.
    if (static_cast<std::uint32_t>(v) > 60u)
        v = 60;
    return v;
}

} // namespace

int FtpAccountTable::load(const QString &path)
{
    m_path = path;
    m_count = 0;
    m_entries.fill(FtpAccount{});

    IniFile ini(path);
    ini.load();
    int result = Usable;
    const std::int32_t declared =
        ini.readNumber(QStringLiteral("System"), QStringLiteral("Count"), 0);
    // A negative count names no usable set either.
    if (declared <= 0) {
        result = NoAccount;
    } else {
        const int count = declared > MaxSets ? MaxSets : int(declared);
        m_count = count;
        for (int n = 1; n <= count; ++n) {
            const QString section = QStringLiteral("ModelSet%1").arg(n);
            FtpAccount &e = m_entries[n - 1];
            e.model = ini.readString(section, QStringLiteral("MODEL"));
            e.user = ini.readString(section, QStringLiteral("ID"));
            e.password = ini.readString(section, QStringLiteral("PW"));
            if (count > 1 && e.model == kSupervisor) {
                result = SupervisorAmongSeveral;
                break;
            }
        }
    }
    // Protects the accounts from casual change, whatever the outcome.
    if (QFileInfo::exists(path))
        SetFileAttributes(path, FileAttr::ReadOnly | FileAttr::Hidden);
    return result;
}

std::optional<FtpAccount> FtpAccountTable::lookup(const QString &machineName) const
{
    if (m_count == 1 && m_entries[0].model == kSupervisor)
        return m_entries[0];
    for (int i = 0; i < m_count; ++i)
        if (m_entries[i].model == machineName)
            return m_entries[i];
    return std::nullopt;
}

int LoadFtpAccounts()
{
    return LoadFtpAccounts(ProcessValues::programPath(QStringLiteral("Config/FTPauth.ini")));
}

int LoadFtpAccounts(const QString &path)
{
    FtpAccountTable table;
    const int result = table.load(path);
    std::unique_lock lock(tableLock());
    sharedTable() = table;
    return result;
}

bool LookupFtpAccount(const QString &machineName, QString &user, QString &password)
{
    user.clear();
    password.clear();
    std::shared_lock lock(tableLock());
    const auto account = sharedTable().lookup(machineName);
    if (!account)
        return false;
    user = account->user;
    password = account->password;
    return true;
}

QString FtpAccountRefusalText(int loadResult)
{
    switch (loadResult) {
    case FtpAccountTable::NoAccount:
        return Tr::tr("FTPアカウントが設定されていません。\nプログラムを終了します。");
    case FtpAccountTable::SupervisorAmongSeveral:
        return Tr::tr("複数機種のFTPアカウントを設定している場合、スーパーバイザ設定はでき"
                      "ません。\nプログラムを終了します。");
    default:
        return {};
    }
}

QString FtpAccountRefusalCaption()
{
    return Tr::tr("起動エラー");
}

QString FtpPlaceholderUser()
{
    return QStringLiteral("kelmngpc-built-in-ftp-user-00000");
}

QString FtpPlaceholderPassword()
{
    return QStringLiteral("kelmngpc-built-in-ftp-pass-00000");
}

FtpTimeouts ReadFtpTimerFile(const QString &path)
{
    IniFile ini(path);
    ini.load();
    FtpTimeouts t;
    t.controlRecvSec = readTimerMinutes(ini, path, QStringLiteral("ControlRecvTime"), 10) * 60;
    t.dataRecvSec = readTimerMinutes(ini, path, QStringLiteral("DataRecvTime"), 15) * 60;
    return t;
}

namespace FtpTimerSettings
{

FtpTimeouts load()
{
    return load(ProcessValues::programPath(QStringLiteral("FTPTimer.ini")));
}

FtpTimeouts load(const QString &path)
{
    const FtpTimeouts t = ReadFtpTimerFile(path);
    controlRecvTime.store(t.controlRecvSec);
    dataRecvTime.store(t.dataRecvSec);
    return t;
}

FtpTimeouts current()
{
    FtpTimeouts t;
    t.controlRecvSec = controlRecvTime.load();
    t.dataRecvSec = dataRecvTime.load();
    return t;
}

} // namespace FtpTimerSettings
