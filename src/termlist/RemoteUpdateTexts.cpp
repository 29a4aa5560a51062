#include "termlist/RemoteUpdateTexts.h"

#include "common/Ipv4.h"

#include <QCoreApplication>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(RemoteUpdateTexts)
};
} // namespace

namespace RemoteUpdateTexts
{

QString title()
{
    return Tr::tr("リモートファイル更新中");
}

QString fixedLine()
{
    return Tr::tr("電話機からの要求により設定ファイルを書き込み中です");
}

namespace
{

QString fileName(int kind)
{
    switch (kind) {
    case UpdateFileKind::Boot:
        return Tr::tr("ブートプログラム");
    case UpdateFileKind::Apli:
        return Tr::tr("アプリケーション");
    case UpdateFileKind::System:
        return Tr::tr("システム設定");
    case UpdateFileKind::User:
        return Tr::tr("ユーザ設定");
    case UpdateFileKind::PhoneBook:
        return Tr::tr("電話帳");
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
        out << Tr::tr("端末ID:%1  IP:%2  %3")
                   .arg(s.termId, Ipv4::dotted(s.address), files.join(Tr::tr("・")));
    }
    return out;
}

} // namespace RemoteUpdateTexts
