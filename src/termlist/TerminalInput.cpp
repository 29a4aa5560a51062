#include "termlist/TerminalInput.h"

#include <QCoreApplication>

#include <algorithm>

namespace TerminalInput
{

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(TerminalInput)
};

constexpr int MaxTermIdLength = 64;

// The value of a text of digits, or -1 when it isn't one or exceeds `max`
// (an empty text is `emptyValue`).
int digitValue(const QString &text, int max, int emptyValue)
{
    if (!isDigitsOnly(text))
        return -1;
    if (text.isEmpty())
        return emptyValue;
    qint64 v = 0;
    for (QChar c : text) {
        v = v * 10 + (c.unicode() - '0');
        if (v > max)
            return -1;
    }
    return static_cast<int>(v);
}

// Half-width digits from 1 to max; nullopt otherwise.
std::optional<int> countValue(const QString &text, int max)
{
    const int value = digitValue(text, max, 0);
    if (value < 1)
        return std::nullopt;
    return value;
}

} // namespace

bool isDigitsOnly(const QString &text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

std::uint32_t addressValue(const QString &text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1String("USB(")) && t.endsWith(QLatin1Char(')')))
        t = t.mid(4, t.size() - 5);
    const QStringList parts = t.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint part = parts[i].toUInt(&ok, 10);
        if (!ok || part > 255)
            return 0;
        value |= part << (8 * i);
    }
    return value;
}

QString nextTerminalId(const QString &id)
{
    QString next = id;
    for (qsizetype i = next.size() - 1; i >= 0; --i) {
        if (next[i] != QLatin1Char('9')) {
            next[i] = QChar(next[i].unicode() + 1);
            return next;
        }
        next[i] = QLatin1Char('0');
    }
    // Every digit carried.
    if (next.size() < MaxTermIdLength)
        next.prepend(QLatin1Char('1'));
    return next;
}

QStringList terminalIdSequence(const QString &first, int count)
{
    QStringList ids;
    if (count <= 0 || first.isEmpty())
        return ids;
    ids.reserve(count);
    QString id = first;
    for (int i = 0; i < count; ++i) {
        ids << id;
        id = nextTerminalId(id);
    }
    return ids;
}

AddCheck checkAddTerminals(const QString &firstId, const QString &countText)
{
    AddCheck r;
    if (!isDigitsOnly(firstId)) {
        r.error = AddCheck::TermId;
        r.widthCode = 380;
        r.message = Tr::tr("追加する端末IDは半角数字のみで入力してください。");
        return r;
    }
    const int count = digitValue(countText, 65535, 0);
    if (count < 0) {
        r.error = AddCheck::Count;
        r.widthCode = 450;
        r.message = Tr::tr("追加する件数は半角数字のみ0～65535の範囲で入力してください。");
        return r;
    }
    r.firstId = firstId;
    r.count = count;
    return r;
}

SettingsCheck checkSystemSettings(const QString &portText, const QString &intervalText,
                                  bool normalModeChecked, int openedPort)
{
    SettingsCheck r;
    const int port = digitValue(portText, 65535, 0);
    if (port < 1) {
        r.error = SettingsCheck::Port;
        r.widthCode = 470;
        r.message = Tr::tr("『通信ポート番号』は半角数字、1～65535の範囲で入力してください。");
        return r;
    }
    const int interval = digitValue(intervalText, 255, 0);
    if (interval < 0) {
        r.error = SettingsCheck::Interval;
        r.widthCode = 1;
        r.message =
            Tr::tr("『端末登録リフレッシュ間隔』は半角数字、0～255の範囲で入力してください。");
        return r;
    }
    r.port = port;
    r.interval = interval;
    r.ftpMode = normalModeChecked ? 0 : 1;
    r.portChanged = port != openedPort;
    return r;
}

std::optional<int> firmCheckWaitMinutes(const QString &text)
{
    return countValue(text, 1440);
}

QString firmCheckWaitMessage()
{
    return QCoreApplication::translate(
        "TerminalInput", "『ファーム確認待ち時間』は半角数字、1～1440の範囲で入力してください。");
}

QString firmCheckWaitText(int seconds)
{
    return QString::number((std::max(seconds, 1) + 59) / 60);
}

std::optional<int> historyKeepValue(const QString &text)
{
    if (text.size() > 3)
        return std::nullopt;
    return countValue(text, 999);
}

QString historyKeepMessage()
{
    return QCoreApplication::translate(
        "TerminalInput", "『設定履歴の保存数』は半角数字、1～999の範囲で入力してください。");
}

std::optional<int> newTermRateValue(const QString &text)
{
    return countValue(text, 65535);
}

QString newTermRateMessage()
{
    return QCoreApplication::translate(
        "TerminalInput", "『新規端末登録上限』は半角数字、1～65535の範囲で入力してください。");
}

QString inputErrorCaption()
{
    return Tr::tr("入力エラー");
}

} // namespace TerminalInput
