#pragma once
// Texts of the terminal-update window: what each of the five request
// workers is writing to which terminal.

#include "comm/CommPayloads.h"

#include <QStringList>

namespace RemoteUpdateTexts
{

QString title();     // "リモートファイル更新中"
QString fixedLine(); // the line above the five
// Five lines, one per request worker; an idle worker's line is empty.
QStringList lines(const RemoteSlotsPayload &report);

} // namespace RemoteUpdateTexts
