#include "comm/FtpTransfer.h"

#include "common/Cp932.h"
#include "common/SafeFile.h"

#include <QCoreApplication>
#include <QFile>

#include <curl/curl.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <type_traits>

static_assert(std::is_same_v<curl_off_t, std::int64_t>, "progress callback signature");

namespace
{

void globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Seconds for options that take whole seconds; any positive time gives at
// least one second, 0 switches the limit off.
long toSeconds(int ms)
{
    return ms <= 0 ? 0 : (ms + 999) / 1000;
}

bool isConnectError(CURLcode rc)
{
    return rc == CURLE_COULDNT_CONNECT || rc == CURLE_OPERATION_TIMEDOUT ||
           rc == CURLE_COULDNT_RESOLVE_HOST || rc == CURLE_RECV_ERROR || rc == CURLE_GOT_NOTHING;
}

// Where a download goes, and how much of it came.
struct DownloadSink {
    QIODevice *file = nullptr;
    std::int64_t written = 0;
    bool tooLarge = false;
};

size_t writeToFile(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<DownloadSink *>(user);
    const qint64 n = static_cast<qint64>(size * count);
    if (sink->written + n > FtpClient::MaxDownloadBytes) {
        sink->tooLarge = true;
        return 0; // ends the transfer
    }
    sink->written += n;
    return sink->file->write(data, n) == n ? size * count : 0;
}

// The FTP dialogue as libcurl's verbose mode prints it, with the password
// of the PASS command replaced.
int printDialogue(CURL *, curl_infotype type, char *data, size_t size, void *)
{
    static const char *const marks[] = {"* ", "< ", "> "};
    if (type != CURLINFO_TEXT && type != CURLINFO_HEADER_IN && type != CURLINFO_HEADER_OUT)
        return 0;
    QByteArray text(data, static_cast<qsizetype>(size));
    if (type == CURLINFO_HEADER_OUT && text.left(5).toUpper() == "PASS ")
        text = "PASS ****\r\n";
    std::fprintf(stderr, "%s%s", marks[type], text.constData());
    return 0;
}

size_t readFromFile(char *data, size_t size, size_t count, void *user)
{
    auto *f = static_cast<QFile *>(user);
    const qint64 n = f->read(data, static_cast<qint64>(size * count));
    return n < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(n);
}

} // namespace

FtpClient::FtpClient()
{
    globalInit();
    m_curl = curl_easy_init();
    m_asciiMode = curl_slist_append(nullptr, "TYPE A");
}

FtpClient::~FtpClient()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
    curl_slist_free_all(m_asciiMode);
}

QString FtpClient::remoteFileName(const QString &name)
{
    const qsizetype at = name.lastIndexOf(QLatin1Char('\\'));
    return at < 0 ? name : name.mid(at);
}

QByteArray FtpClient::urlFor(const QString &name) const
{
    // The name is relative to the login folder: no directory is changed.
    // The name's Shift-JIS bytes themselves, percent-encoded byte for byte.
    return "ftp://" + m_host.toLatin1() + ':' + QByteArray::number(m_port) + '/' +
           Cp932::encode(name).toPercentEncoding();
}

void FtpClient::applyCommon()
{
    CURL *c = m_curl;
    curl_easy_reset(c);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERNAME, m_user.constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, m_password.constData());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_options.connectTimeoutMs));
    const long control = toSeconds(m_options.controlTimeoutMs);
    if (control > 0)
        curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, control);
    // libcurl's own low-speed check averages over several seconds; a
    // progress callback ends a transfer that has stood still for the data
    // time-out exactly, and ends everything at once when told to stop.
    m_watch = StallWatch{};
    m_watch.limitMs = m_options.dataTimeoutMs;
    m_watch.abort = m_abort;
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &FtpClient::onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &m_watch);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    if (m_options.dataTimeoutMs > 0)
        curl_easy_setopt(c, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(m_options.dataTimeoutMs));
    // Plain PASV and PORT, as the terminals' servers expect.
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPRT, 0L);
    if (!m_options.passive)
        curl_easy_setopt(c, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(c, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    // ASCII mode as the server sees it, with the bytes kept as they travel:
    // libcurl's own text mode would also rewrite line ends on this platform.
    curl_easy_setopt(c, CURLOPT_PREQUOTE, m_asciiMode);
    // Diagnostics: the FTP dialogue on stderr.
    if (qEnvironmentVariableIsSet("KEL_CURL_VERBOSE")) {
        curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, printDialogue);
        curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    }
}

int FtpClient::onProgress(void *user, std::int64_t dltotal, std::int64_t dlnow,
                          std::int64_t ultotal, std::int64_t ulnow)
{
    (void)dltotal;
    (void)ultotal;
    auto *w = static_cast<StallWatch *>(user);
    if (w->abort && w->abort->load())
        return 1;
    const std::int64_t moved = dlnow + ulnow;
    if (!w->clock.isValid() || moved != w->lastBytes) {
        w->lastBytes = moved;
        w->clock.start();
        return 0;
    }
    return w->limitMs > 0 && w->clock.elapsed() > w->limitMs ? 1 : 0;
}

bool FtpClient::perform()
{
    m_errorBuffer[0] = 0;
    const CURLcode rc = curl_easy_perform(m_curl);
    if (rc == CURLE_OK)
        return true;
    m_error = QString::fromLocal8Bit(m_errorBuffer[0] ? m_errorBuffer : curl_easy_strerror(rc));
    return false;
}

bool FtpClient::connect(const QString &host, quint16 port, const QByteArray &user,
                        const QByteArray &password)
{
    close();
    m_error.clear();
    if (!m_curl) {
        m_error = QStringLiteral("libcurl could not be initialised");
        return false;
    }
    m_host = host;
    m_port = port;
    m_user = user;
    m_password = password;
    const int attempts = m_options.connectRetries > 0 ? m_options.connectRetries : 1;
    for (int i = 0; i < attempts; ++i) {
        applyCommon();
        const QByteArray url = urlFor(QString());
        curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
        // Log in and stop: the connection stays open for the transfers.
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
        m_errorBuffer[0] = 0;
        const CURLcode rc = curl_easy_perform(m_curl);
        if (rc == CURLE_OK) {
            m_connected = true;
            return true;
        }
        m_error = QString::fromLocal8Bit(m_errorBuffer[0] ? m_errorBuffer : curl_easy_strerror(rc));
        if (!isConnectError(rc))
            break;
    }
    return false;
}

bool FtpClient::upload(const QString &localPath, const QString &remoteName)
{
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot open %1: %2").arg(localPath, file.errorString());
        return false;
    }
    applyCommon();
    const QByteArray url = urlFor(remoteName);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, readFromFile);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, &file);
    curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(file.size()));
    return perform();
}

bool FtpClient::download(const QString &remoteName, const QString &localPath)
{
    // A temporary file of its own beside the local file, created only if
    // its name is new: two downloads into the same path never share one,
    // and only a complete one replaces the local file.
    static std::atomic<unsigned> serial{0};
    QFile tmp;
    for (int attempt = 0; attempt < 16 && !tmp.isOpen(); ++attempt) {
        tmp.setFileName(QStringLiteral("%1.~dl%2-%3")
                            .arg(localPath)
                            .arg(QCoreApplication::applicationPid())
                            .arg(++serial));
        tmp.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner);
    }
    const QString tmpPath = tmp.fileName();
    if (!tmp.isOpen()) {
        m_error = QStringLiteral("cannot create %1: %2").arg(tmpPath, tmp.errorString());
        return false;
    }
    applyCommon();
    const QByteArray url = urlFor(remoteName);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    // No SIZE first: servers refuse it in ASCII mode, and the size would
    // not match the bytes of an ASCII transfer anyway.
    curl_easy_setopt(m_curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    DownloadSink sink{&tmp};
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &sink);
    bool ok = perform();
    if (sink.tooLarge)
        m_error = QStringLiteral("%1 is larger than %2 bytes").arg(remoteName).arg(MaxDownloadBytes);
    if (!tmp.flush() && ok) {
        m_error = QStringLiteral("cannot write %1: %2").arg(tmpPath, tmp.errorString());
        ok = false;
    }
    tmp.close();
    if (!ok) {
        QFile::remove(tmpPath);
        return false;
    }
    // Synced, then renamed over the target with its mode and owner: the old
    // file stays until the new one is complete on disk.
    QString error;
    if (!SafeFile::replace(tmpPath, localPath, &error)) {
        m_error = QStringLiteral("cannot replace %1: %2").arg(localPath, error);
        return false;
    }
    return true;
}

void FtpClient::close()
{
    if (m_connected && m_curl) {
        // Dropping the handle's connection cache closes the control connection.
        curl_easy_reset(m_curl);
        curl_easy_cleanup(m_curl);
        m_curl = curl_easy_init();
    }
    m_connected = false;
}
