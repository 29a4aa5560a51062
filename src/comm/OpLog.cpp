#include "comm/OpLog.h"

#include "comm/ResultCodes.h"
#include "common/Cp932.h"
#include "common/FileAttributes.h"
#include "common/ProcessValues.h"
#include "register/RegisterTypes.h"

#include <QFile>
#include <QMutex>

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
    return Cp932::encode(QStringLiteral(u"端末ID:") + withoutLeadingBlanks(termId) +
                         QLatin1Char(' '));
}

bool appendLine(const QByteArray &line, const QString &path)
{
    if (IsReadOnly(path))
        ClearFileAttributes(path, FileAttr::ReadOnly);
    bool written = false;
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            const qint64 before = f.size();
            written = f.write(line) == line.size();
            // A full disk can take part of a line; the next line must not
            // run on from the half one, so the part goes again.
            if (!written)
                f.resize(before);
        }
    }
    if (QFile::exists(path))
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

} // namespace

namespace OpLog
{

QByteArray formatErrorLine(const LogRecord &record, const QDateTime &at)
{
    QByteArray line = lineHead(at, "Err", record.number, ErrLogText(record.number));
    if (record.number == ErrLog::ConfigXml || record.number == ErrLog::PhoneBook) {
        line += Cp932::encode(record.detail);
    } else {
        line += termPart(record.termId);
        switch (record.number) {
        case ErrLog::TermIdMismatch:
            line += Cp932::encode(QStringLiteral(u"IPアドレス:") + record.detail);
            break;
        case ErrLog::OpenRefused:
            line += OpenRefusalText(record.detailCode).toLatin1();
            break;
        case ErrLog::Ftp:
        case ErrLog::FirmMismatch:
        case ErrLog::FirmNoAnswer:
            line += Cp932::encode(record.detail);
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
    line +=
        Cp932::encode(record.detailCode == -1 ? record.detail : ResultLongText(record.detailCode));
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

bool writeOperation(int number, const QString &termId, int resultCode)
{
    LogRecord r;
    r.number = number;
    r.termId = termId;
    r.detailCode = resultCode;
    return writeOperation(r);
}

bool writeRegisterError(int kind, const QString &termId, const QString &address)
{
    if (kind == ErrLog::TermIdMismatch)
        return writeError(ErrLog::TermIdMismatch, termId, address);
    if (kind == RegisterLogKind::FirmMismatch)
        return writeError(ErrLog::FirmMismatch, termId, address);
    if (kind == RegisterLogKind::FirmNoAnswer)
        return writeError(ErrLog::FirmNoAnswer, termId, address);
    return writeError(kind, termId);
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
