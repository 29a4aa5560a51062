#include "termlist/FailedTerminals.h"

#include "common/Ipv4.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "common/SafeFile.h"
#include "register/TermDatabase.h"
#include "termlist/ListColumns.h"

#include <QFileInfo>
#include <QSet>

namespace FailedTerminals
{

namespace
{

// Result kinds without an outcome: no operation yet, information being fetched.
constexpr std::int32_t NoOperation = 0;
constexpr std::int32_t InfoPending = 13;

QString addressText(const QString &stored)
{
    const std::optional<std::uint32_t> host = Ipv4::parse(stored);
    return host ? Ipv4::dotted(*host) : stored;
}

} // namespace

bool isFailed(const TermEntry &e)
{
    return e.ResultKind != NoOperation && e.ResultKind != InfoPending && e.ResultCode != 0;
}

QString registerQuery()
{
    return QStringLiteral("SELECT * FROM TermInfo WHERE ResultKind<>%1 AND ResultKind<>%2 AND "
                          "ResultCode<>0 ORDER BY TermID ASC, ID ASC")
        .arg(NoOperation)
        .arg(InfoPending);
}

int read(CTermDatabase &db, std::vector<TermEntry> &out)
{
    return db.readListSql(registerQuery(), out);
}

std::vector<int> rows(const std::vector<TermEntry> &listed)
{
    std::vector<int> out;
    for (std::size_t i = 0; i < listed.size(); ++i)
        if (isFailed(listed[i]))
            out.push_back(int(i));
    return out;
}

int hidden(const std::vector<TermEntry> &failedInRegister, const std::vector<TermEntry> &listed)
{
    QSet<std::int32_t> shown;
    for (const TermEntry &e : listed)
        shown.insert(e.ID);
    int count = 0;
    for (const TermEntry &e : failedInRegister)
        count += !shown.contains(e.ID);
    return count;
}

QString statusText(int selected, int hiddenCount)
{
    QString text =
        QCoreApplication::translate("FailedTerminals", " 処理に失敗した端末 %n 件を選択しました。",
                                    nullptr, selected);
    if (hiddenCount > 0)
        text += QCoreApplication::translate(
            "FailedTerminals", "（表示条件により非表示の処理失敗端末が %n 件あります）", nullptr,
            hiddenCount);
    return text;
}

Selection select(CTermDatabase &db, const std::vector<TermEntry> &listed)
{
    std::vector<TermEntry> failed;
    const bool read = FailedTerminals::read(db, failed) == DbAnswer::Done;
    Selection out;
    out.rows = rows(listed);
    out.status = statusText(int(out.rows.size()), read ? hidden(failed, listed) : 0);
    return out;
}

QString csvField(const QString &text, bool fromTerminal)
{
    QString value = text;
    static const QString formulaStart = QStringLiteral("=+-@");
    if (fromTerminal && !value.isEmpty() &&
        (formulaStart.contains(value.front()) || value.front() == u'\t' || value.front() == u'\r'))
        value.prepend(u'\'');
    const bool quote = value.contains(u',') || value.contains(u'"') || value.contains(u'\r') ||
                       value.contains(u'\n') || value != value.trimmed();
    if (!quote)
        return value;
    value.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + value + u'"';
}

QByteArray csv(const std::vector<TermEntry> &failed)
{
    const char *header[] = {QT_TRANSLATE_NOOP("FailedTerminals", "端末ID"),
                            QT_TRANSLATE_NOOP("FailedTerminals", "IPアドレス"),
                            QT_TRANSLATE_NOOP("FailedTerminals", "機種"),
                            QT_TRANSLATE_NOOP("FailedTerminals", "処理結果"),
                            QT_TRANSLATE_NOOP("FailedTerminals", "結果コード"),
                            QT_TRANSLATE_NOOP("FailedTerminals", "処理結果日時")};
    QStringList lines;
    QStringList names;
    for (const char *h : header)
        names << csvField(QCoreApplication::translate("FailedTerminals", h));
    lines << names.join(u',');
    for (const TermEntry &e : failed) {
        const QString date = e.ResultDate.isValid() && !ListColumns::isZeroDate(e.ResultDate)
                                 ? e.ResultDate.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                                 : QString();
        lines << QStringList{csvField(e.TermID, true),
                             csvField(addressText(e.IPAddr), true),
                             csvField(e.MachineName, true),
                             csvField(ListColumns::cellText(ViewColumn::Result, e)),
                             QString::number(e.ResultCode),
                             date}
                     .join(u',');
    }
    // The byte-order mark tells spreadsheet applications the encoding.
    return QByteArray("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

bool exportCsv(CTermDatabase &db, IPrompter &prompter)
{
    const QString caption = QCoreApplication::translate("FailedTerminals", "処理失敗端末の出力");
    std::vector<TermEntry> failed;
    if (read(db, failed) != DbAnswer::Done)
        return false; // the register has shown its error
    if (failed.empty()) {
        prompter.appMessageBox(
            320, 1,
            QCoreApplication::translate("FailedTerminals", "処理に失敗した端末はありません。"),
            caption, MsgType::IconInformation);
        return false;
    }
    QString path = prompter.saveFileName(
        caption, ProcessValues::programPath(QStringLiteral("Data/FailedTerminals.csv")),
        QCoreApplication::translate("FailedTerminals", "CSVファイル (*.csv)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    if (!SafeFile::write(path, csv(failed))) {
        prompter.appMessageBox(
            320, 2,
            QCoreApplication::translate("FailedTerminals",
                                        "処理失敗端末を正常に出力できませんでした。\nディスクに空き"
                                        "があるか確認してください。"),
            QCoreApplication::translate("FailedTerminals", "処理失敗端末の出力異常"),
            MsgType::IconError);
        return false;
    }
    prompter.appMessageBox(
        320, 1,
        QCoreApplication::translate("FailedTerminals",
                                    "処理に失敗した端末 %n 件をファイルに出力しました。", nullptr,
                                    int(failed.size())),
        QCoreApplication::translate("FailedTerminals", "処理失敗端末の出力完了"),
        MsgType::IconInformation);
    return true;
}

} // namespace FailedTerminals
