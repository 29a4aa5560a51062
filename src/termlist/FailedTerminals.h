#pragma once
// The terminals whose last operation failed (a result code other than 0,
// after an operation; "none" and "端末情報取得中" are no failure): the rows of
// the list to select, how many failed terminals the list's filter hides,
// the status line that says both, and their export as a CSV file for
// spreadsheet applications (UTF-8 with a byte-order mark, CR LF, fields
// quoted where needed).

#include "register/RegisterTypes.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <vector>

class CTermDatabase;
class IPrompter;

namespace FailedTerminals
{

bool isFailed(const TermEntry &entry);

// The failed terminals of the whole register, in terminal-ID order.
QString registerQuery();
int read(CTermDatabase &db, std::vector<TermEntry> &out);

// Rows of the listed entries that failed, ascending.
std::vector<int> rows(const std::vector<TermEntry> &listed);
// Failed terminals of the register that the list doesn't show.
int hidden(const std::vector<TermEntry> &failedInRegister, const std::vector<TermEntry> &listed);
QString statusText(int selected, int hidden);
// "処理失敗端末を選択": the failed rows of the list and the status line that
// counts them and the failed terminals its filter hides.
struct Selection {
    std::vector<int> rows;
    QString status;
};
Selection select(CTermDatabase &db, const std::vector<TermEntry> &listed);

// One CSV field, quoted when it holds a comma, a quote, a line end or
// surrounding blanks. Texts from the terminals that a spreadsheet would
// take as a formula (=, +, -, @ first) get a leading "'".
QString csvField(const QString &text, bool fromTerminal = false);
// The file: a header, then terminal ID, IP address, model, result text,
// result code and result date of each terminal.
QByteArray csv(const std::vector<TermEntry> &failed);

// "処理失敗端末の出力": reads the failed terminals, asks for the file and
// writes it (whole or not at all). True when a file was written.
bool exportCsv(CTermDatabase &db, IPrompter &prompter);

} // namespace FailedTerminals
