#pragma once
// FTP accounts of the terminal models ("Config/FTPauth.ini") and the FTP
// time-outs of the long transfers ("FTPTimer.ini"). The account table is
// loaded once at start-up and then only read (by the terminal workers); the
// time-outs are re-read by the communication manager at every request while
// workers read them, so the shared values are atomics.

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

struct FtpAccount {
    QString model;    // "MODEL"; "Supervisor" serves every model when it is the only set
    QString user;     // "ID"
    QString password; // "PW"
};

// The account table (FtpAccountTable).
class FtpAccountTable
{
public:
    static constexpr int MaxSets = 16;

    // Answers of load().
    enum LoadResult {
        Usable = 0,
        NoAccount = 1,              // "Count" missing, 0 or not a number
        SupervisorAmongSeveral = 2, // a "Supervisor" set among several sets
    };

    // Reads the account file; afterwards the file is made read-only and hidden.
    int load(const QString &path);

    // The account for a terminal's machine name; nullopt when no set serves it.
    std::optional<FtpAccount> lookup(const QString &machineName) const;

    int count() const { return m_count; }
    const FtpAccount &entry(int index) const { return m_entries[index]; }
    const QString &path() const { return m_path; }

private:
    QString m_path;
    int m_count = 0;
    std::array<FtpAccount, MaxSets> m_entries;
};

// The process-wide table: loaded by the start-up from
// programPath("Config/FTPauth.ini"), read by the workers.
int LoadFtpAccounts();
int LoadFtpAccounts(const QString &path);
// Looks the terminal's machine name up in the process-wide table.
bool LookupFtpAccount(const QString &machineName, QString &user, QString &password);

// Start-up refusals for the answers 1 and 2 of the account check (empty text
// for an usable table).
QString FtpAccountRefusalText(int loadResult);
QString FtpAccountRefusalCaption();

// Built-in 32-character account texts a new session carries until the real
// account has been looked up; never used for a connection.
QString FtpPlaceholderUser();
QString FtpPlaceholderPassword();

// FTP time-outs in seconds (FtpTimerSettings).
struct FtpTimeouts {
    std::int32_t controlRecvSec = 600; // "ControlRecvTime", minutes * 60
    std::int32_t dataRecvSec = 900;    // "DataRecvTime", minutes * 60
};

// Reads a timer file, writing missing keys back with their defaults (a
// missing file is created). Values above 60 minutes (also negative ones)
// count as 60.
FtpTimeouts ReadFtpTimerFile(const QString &path);

namespace FtpTimerSettings
{
// The shared values, in seconds.
inline std::atomic<std::int32_t> controlRecvTime{600};
inline std::atomic<std::int32_t> dataRecvTime{900};

// Reads programPath("FTPTimer.ini") into the shared values and answers them.
FtpTimeouts load();
FtpTimeouts load(const QString &path);
// The shared values as they are now.
FtpTimeouts current();
} // namespace FtpTimerSettings
