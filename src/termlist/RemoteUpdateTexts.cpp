#include "termlist/RemoteUpdateTexts.h"

#include "common/Ipv4.h"

namespace RemoteUpdateTexts
{

QString title()
{
    return QStringLiteral("リモートファイル更新中");
}

QString fixedLine()
{
    return QStringLiteral("電話機からの要求により設定ファイルを書き込み中です");
}

namespace
{

QString fileName(int kind)
{
    switch (kind) {
    case UpdateFileKind::Boot:
        return QStringLiteral("ブートプログラム");
    case UpdateFileKind::Apli:
        return QStringLiteral("アプリケーション");
    case UpdateFileKind::System:
        return QStringLiteral("システム設定");
    case UpdateFileKind::User:
        return QStringLiteral("ユーザ設定");
    case UpdateFileKind::PhoneBook:
        return QStringLiteral("電話帳");
    default:
        return QString();
    }
}

} // namespace

QStringList lines(const RemoteSlotsPayload &report)
{
    QStringList out;
    for (const RemoteSlot &s : report.workers) {
        if (!s.busy) {
            out << QString();
            continue;
        }
        QStringList files;
        for (int kind : s.fileKinds)
            if (const QString name = fileName(kind); !name.isEmpty())
                files << name;
        out << QStringLiteral("端末ID:%1  IP:%2  %3")
                   .arg(s.termId, Ipv4::dotted(s.address), files.join(QStringLiteral("・")));
    }
    return out;
}

} // namespace RemoteUpdateTexts
