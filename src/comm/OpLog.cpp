#include "comm/OpLog.h"

#include "comm/ResultCodes.h"
#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/ProcessValues.h"
#include "register/RegisterTypes.h"

#include <QFile>
#include <QMutex>

#include <map>

#include <fcntl.h>
#include <unistd.h>

namespace
{

// One lock around building the file name, the attribute changes and the
// append, so lines of different threads never mix and none is lost.
QMutex &logMutex()
{
    static QMutex m;
    return m;
}

std::function<QDateTime()> &clockFunction()
{
    static std::function<QDateTime()> clock;
    return clock;
}

QDateTime nowLocked()
{
    const auto &clock = clockFunction();
    return clock ? clock() : QDateTime::currentDateTime();
}

QString withoutLeadingBlanks(const QString &id)
{
    qsizetype i = 0;
    while (i < id.size() && id[i] == QLatin1Char(' '))
        ++i;
    return id.mid(i);
}

// "%04d/%02d/%02d %02d:%02d  Err%02d:%-32s  " with the padding counted in
// CP932 bytes; a longer text is written in full.
QByteArray lineHead(const QDateTime &at, const char *mark, int number, const QString &text)
{
    const QDate d = at.date();
    const QTime t = at.time();
    QByteArray out = QString::asprintf("%04d/%02d/%02d %02d:%02d  %s%02d:", d.year(), d.month(),
                                       d.day(), t.hour(), t.minute(), mark, number)
                         .toLatin1();
    QByteArray padded = Cp932::encode(text);
    if (padded.size() < 32)
        padded.append(32 - padded.size(), ' ');
    out += padded;
    out += "  ";
    return out;
}

QByteArray termPart(const QString &termId)
{
    return Cp932::encode(QStringLiteral(u"端末ID:") +
                         OpLog::printable(withoutLeadingBlanks(termId)) + QLatin1Char(' '));
}

QByteArray detailPart(const QString &detail)
{
    return Cp932::encode(OpLog::printable(detail));
}

bool appendLine(const QByteArray &line, const QString &path)
{
    if (IsReadOnly(path))
        ClearFileAttributes(path, FileAttr::ReadOnly);
    bool written = false;
    // Never through a link: another user's file would receive the line.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
        const off_t before = ::lseek(fd, 0, SEEK_END);
        written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
        // A full disk can take part of a line; the next line must not
        // run on from the half one, so the part goes again.
        if (!written && before >= 0)
            [[maybe_unused]] const int ignored = ::ftruncate(fd, before);
        ::close(fd);
    }
    AddFileAttributes(path, FileAttr::ReadOnly);
    return written;
}

// Formats with the clock's time and appends, all under the lock.
template <class Format> bool writeLine(Format format)
{
    QMutexLocker lock(&logMutex());
    const QDateTime at = nowLocked();
    return appendLine(format(at), OpLog::filePathFor(at.date()));
}

// A kind of repeated error: when its minute ends, how many lines were held
// back, and the last of them.
struct Repeat {
    QDateTime until;
    int held = 0;
    LogRecord last;
};

std::map<QByteArray, Repeat> &repeats()
{
    static std::map<QByteArray, Repeat> r;
    return r;
}

constexpr int RepeatSeconds = 60;

// The error line with the number of like lines it stands for.
QByteArray countedLine(const LogRecord &record, const QDateTime &at, int others)
{
    QByteArray line = OpLog::formatErrorLine(record, at);
    if (others > 0) {
        line.chop(2);
        line += Cp932::encode(QStringLiteral(u"（他%1件）").arg(others)) + "\r\n";
    }
    return line;
}

} // namespace

namespace OpLog
{

QByteArray formatErrorLine(const LogRecord &record, const QDateTime &at)
{
    QByteArray line = lineHead(at, "Err", record.number, ErrLogText(record.number));
    if (record.number == ErrLog::ConfigXml || record.number == ErrLog::PhoneBook) {
        line += detailPart(record.detail);
    } else {
        line += termPart(record.termId);
        switch (record.number) {
        case ErrLog::TermIdMismatch:
            line += detailPart(QStringLiteral(u"IPアドレス:") + record.detail);
            break;
        case ErrLog::OpenRefused:
            line += OpenRefusalText(record.detailCode).toLatin1();
            break;
        case ErrLog::Ftp:
        case ErrLog::CommError: // what was dropped, when the network brought too much
        case ErrLog::FirmMismatch:
        case ErrLog::FirmNoAnswer:
            line += detailPart(record.detail);
            break;
        default:
            break;
        }
    }
    line += "\r\n";
    return line;
}

QByteArray formatOperationLine(const LogRecord &record, const QDateTime &at)
{
    QByteArray line = lineHead(at, "Ope", record.number, OpeLogText(record.number));
    line += termPart(record.termId);
    line += record.detailCode == -1 ? detailPart(record.detail)
                                    : Cp932::encode(ResultLongText(record.detailCode));
    line += "\r\n";
    return line;
}

QString filePathFor(const QDate &date)
{
    return ProcessValues::programPath(
        QString::asprintf("Log/Log_%04d%02d%02d.txt", date.year(), date.month(), date.day()));
}

QString todayFilePath()
{
    QMutexLocker lock(&logMutex());
    return filePathFor(nowLocked().date());
}

bool writeError(const LogRecord &record)
{
    return writeLine([&](const QDateTime &at) { return formatErrorLine(record, at); });
}

bool writeOperation(const LogRecord &record)
{
    return writeLine([&](const QDateTime &at) { return formatOperationLine(record, at); });
}

bool writeError(int number, const QString &termId, const QString &detail, int detailCode)
{
    LogRecord r;
    r.number = number;
    r.termId = termId;
    r.detail = detail;
    r.detailCode = detailCode;
    return writeError(r);
}

bool writeErrorRepeated(const char *kind, const LogRecord &record)
{
    QMutexLocker lock(&logMutex());
    const QDateTime at = nowLocked();
    Repeat &r = repeats()[QByteArray(kind)];
    if (r.until.isValid() && at < r.until) {
        ++r.held;
        r.last = record;
        return true;
    }
    const int held = r.held;
    r = Repeat{at.addSecs(RepeatSeconds), 0, {}};
    return appendLine(countedLine(record, at, held), filePathFor(at.date()));
}

void flushRepeated()
{
    QMutexLocker lock(&logMutex());
    const QDateTime at = nowLocked();
    auto &all = repeats();
    for (auto it = all.begin(); it != all.end();) {
        Repeat &r = it->second;
        if (at < r.until) {
            ++it;
        } else if (r.held == 0) {
            it = all.erase(it);
        } else {
            // The last held line stands for itself and the others.
            appendLine(countedLine(r.last, at, r.held - 1), filePathFor(at.date()));
            r = Repeat{at.addSecs(RepeatSeconds), 0, {}};
            ++it;
        }
    }
}

QString printable(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char('?');
    return out;
}

bool writeOperation(int number, const QString &termId, int resultCode)
{
    LogRecord r;
    r.number = number;
    r.termId = termId;
    r.detailCode = resultCode;
    return writeOperation(r);
}

bool writeRegisterError(int kind, const QString &termId, const QString &address, bool repeated)
{
    LogRecord r;
    r.number = kind;
    r.termId = termId;
    if (kind == ErrLog::TermIdMismatch)
        r.detail = address;
    // A firmware check's line is written for every terminal, the versions
    // in place of the address.
    if (kind == RegisterLogKind::FirmMismatch || kind == RegisterLogKind::FirmNoAnswer) {
        r.number = kind == RegisterLogKind::FirmMismatch ? ErrLog::FirmMismatch
                                                         : ErrLog::FirmNoAnswer;
        r.detail = address;
        return writeError(r);
    }
    if (!repeated)
        return writeError(r);
    return writeErrorRepeated(kind == ErrLog::TermIdMismatch ? "register-address" : "register-id",
                              r);
}

bool writeText(const QString &text)
{
    return writeLine([&](const QDateTime &) { return Cp932::encode(text) + "\r\n"; });
}

void setClock(std::function<QDateTime()> clock)
{
    QMutexLocker lock(&logMutex());
    clockFunction() = std::move(clock);
}

} // namespace OpLog
