#pragma once
// FTP to one terminal over libcurl, one easy handle per worker. connect()
// opens and logs in (with its own time-out and retries); upload() and
// download() reuse that connection. Every transfer is in ASCII mode.
// A download lands in a temporary file of its own beside the local file and
// replaces it only when complete, so a broken transfer leaves the old file
// as it was and two downloads into one path never mix.
// KEL_CURL_VERBOSE=1 prints the FTP dialogue on stderr, the password masked.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <cstdint>

typedef void CURL;
struct curl_slist;

struct FtpOptions {
    int connectTimeoutMs = 5000;
    int connectRetries = 3;       // attempts in all
    int controlTimeoutMs = 10000; // waiting for a server reply
    int dataTimeoutMs = 30000;    // data connection without progress
    bool passive = true;
};

class FtpClient
{
public:
    // A download larger than this is stopped (a file error): no settings
    // file is larger, and the settings-file reader refuses a larger one.
    static constexpr std::int64_t MaxDownloadBytes = 16 * 1024 * 1024;

    FtpClient();
    ~FtpClient();
    FtpClient(const FtpClient &) = delete;
    FtpClient &operator=(const FtpClient &) = delete;

    void setOptions(const FtpOptions &options) { m_options = options; }
    // A flag that, once set, ends any connection attempt or transfer.
    void setAbortFlag(const std::atomic<bool> *flag) { m_abort = flag; }
    const FtpOptions &options() const { return m_options; }

    // Connects and logs in; answers false when the server can't be reached
    // or refuses the login.
    bool connect(const QString &host, quint16 port, const QByteArray &user,
                 const QByteArray &password);
    bool isConnected() const { return m_connected; }

    // Sends the local file under the name in the login folder.
    bool upload(const QString &localPath, const QString &remoteName);
    // Fetches the remote file into a temporary file beside localPath and
    // renames it onto the local path when complete. A new local file is
    // made 0600 (settings files hold SIP data); an existing one keeps its mode.
    bool download(const QString &remoteName, const QString &localPath);

    void close();

    // What went wrong last (libcurl's text or a local file problem).
    QString errorText() const { return m_error; }

    // The name a remote file is addressed by: from its last backslash on
    // (the backslash kept), or the whole text.
    static QString remoteFileName(const QString &name);

private:
    void applyCommon();
    QByteArray urlFor(const QString &name) const;
    bool perform();

    // Time since the transfer last moved a byte.
    struct StallWatch {
        int limitMs = 0; // 0: no data time-out
        const std::atomic<bool> *abort = nullptr;
        std::int64_t lastBytes = -1;
        QElapsedTimer clock;
    };
    static int onProgress(void *user, std::int64_t dltotal, std::int64_t dlnow,
                          std::int64_t ultotal, std::int64_t ulnow);

    StallWatch m_watch;
    const std::atomic<bool> *m_abort = nullptr;
    CURL *m_curl = nullptr;
    curl_slist *m_asciiMode = nullptr;
    FtpOptions m_options;
    QString m_host;
    quint16 m_port = 21;
    QByteArray m_user;
    QByteArray m_password;
    bool m_connected = false;
    QString m_error;
    char m_errorBuffer[256] = {};
};
