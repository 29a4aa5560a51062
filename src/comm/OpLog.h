#pragma once
// The daily operation and error log: "Log/Log_YYYYMMDD.txt" in the program
// folder, CP932 text with CR LF line ends, one line per event. Every thread
// writes to it through these functions; one process-wide lock keeps the
// lines whole. The Log folder is never created: without it nothing is logged.
// Between writes the file is read-only so an editor viewing it can't change it.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

// One event handed to the log.
struct LogRecord {
    QString termId;              // leading blanks are removed on writing
    std::int32_t number = 0;     // error- or operation-log number
    std::int32_t detailCode = 0; // error 3: refusal detail; Ope: result code, -1 = detailText
    std::uint32_t address = 0;   // IPv4, carried but not printed
    QString detail;              // detail text
};

namespace OpLog
{

// Writes an error line; answers true when the line reached the file.
bool writeError(const LogRecord &record);
// Writes an operation line; answers true when the line reached the file.
bool writeOperation(const LogRecord &record);

// Errors a stranger on the network can repeat at will (forged notices and
// requests, a file that every request looks for): the first line of a kind
// is written, further ones of that kind within a minute are only counted,
// and the count goes out with the next line of the kind after the minute,
// or by flushRepeated(), as "（他N件）" at the line's end.
bool writeErrorRepeated(const char *kind, const LogRecord &record);
// Writes the counted lines of every kind whose minute has passed; the
// communication manager calls it every minute and when it ends.
void flushRepeated();

// Short forms.
bool writeError(int number, const QString &termId, const QString &detail = {}, int detailCode = 0);
bool writeOperation(int number, const QString &termId, int resultCode);

// A line of its own (the schedule runs' start and end lines), CR LF added.
bool writeText(const QString &text);

// Log lines of the register update: kind 1 (terminal ID held twice), kind 2
// (address held twice, with the address in dotted form), kinds 3 and 4 (a
// firmware check found another version or no notice; the versions in place
// of the address). Repeated: through writeErrorRepeated(), one kind per
// register kind (kinds 1 and 2 only; every firmware check has its line).
bool writeRegisterError(int kind, const QString &termId, const QString &address = {},
                        bool repeated = false);

// A text from the network as it may stand in a line: control characters
// (CR and LF above all, which would start a forged line) become "?".
QString printable(const QString &text);

// The lines exactly as they are written (CP932 bytes, CR LF at the end).
QByteArray formatErrorLine(const LogRecord &record, const QDateTime &at);
QByteArray formatOperationLine(const LogRecord &record, const QDateTime &at);

// "Log/Log_YYYYMMDD.txt" below the program folder for a date.
QString filePathFor(const QDate &date);
// Path of today's log (by the log's clock).
QString todayFilePath();

// Tests replace the clock; an empty function restores the local time.
void setClock(std::function<QDateTime()> clock);

} // namespace OpLog
