#pragma once
// The first start on a new program folder: the FTP account of the phones is
// asked for (a dialog, or answers read from a stream where no window can
// show), the folder is laid out and Config/FTPauth.ini written, owner-only.
// Also the check of an account file that others can read.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

class QIODevice;

struct FtpAccountAnswer {
    QString model;
    QString user;
    QString password;
};

// What is wrong with an answer: the field and the message (none: usable).
struct AnswerProblem {
    enum Field { None, Model, User, Password };
    Field field = None;
    QString text;
};

// Each field must be non-empty and read back from the INI file exactly as
// given (no line breaks or control characters, no blanks at either end, no
// enclosing quotes, only CP932 characters); the model name also names
// sample files, so it holds no path or wildcard characters.
AnswerProblem CheckFtpAccountAnswer(const FtpAccountAnswer &answer);
// The account file of one account set (CP932, CR LF).
QByteArray FtpAccountFileBytes(const FtpAccountAnswer &answer);
// Writes it through the safe writer with mode 0600.
bool WriteFtpAccountFile(const QString &path, const FtpAccountAnswer &answer,
                         QString *error = nullptr);

// The texts of the first-start dialog, shared with the stream road.
namespace FirstStartTexts
{
QString caption();
QString intro(const QString &folder);
QString modelLabel();
QString userLabel();
QString passwordLabel();
} // namespace FirstStartTexts

// Where no window can show (the offscreen platform): the dialog's texts go
// to `out`, the three answers are read as lines from `in`; a problem is
// told through the prompter and the three are read again; the end of the
// input cancels (nullopt).
class StreamAccountAsker
{
public:
    StreamAccountAsker(QIODevice &in, std::FILE *out) : m_in(in), m_out(out) {}
    std::optional<FtpAccountAnswer> askAccount(const QString &folder);

private:
    QIODevice &m_in;
    std::FILE *m_out;
};

namespace FirstStart
{
// Lays the folder out for the answered model and writes the account file,
// last: a folder that holds its account is a finished one.
bool layOut(const QString &folder, const QString &samplesDir, const FtpAccountAnswer &answer,
            QString *error = nullptr);
// The refusal after a failed lay-out.
QString failureText(const QString &error);

constexpr const char *InitOption = "--init-program-folder=";
constexpr const char *AccountOption = "--ftp-account=";
// kelmngpc --init-program-folder=DIR [--ftp-account=MODEL,USER,PASSWORD]:
// the lay-out of a first start without asking (for MODEL when given); the account
// file is written when given and the folder has none (the password is
// everything after the second comma). Answers the exit status: 0 done,
// 1 the lay-out failed, 2 bad arguments; the reason goes to err.
int initCommand(const QStringList &args, const QString &exeDir, std::FILE *err);
} // namespace FirstStart

// An account file that group or others may read: its permission bits
// (e.g. 0644), else nullopt (also for a missing file).
std::optional<unsigned> ExposedAccountFileMode(const QString &path);
// The daily-log detail and the status-bar text for it.
QString ExposedAccountFileLogText(unsigned mode);
QString ExposedAccountFileStatusText(unsigned mode);
