#pragma once
// The decision on a terminal-initiated request: which files the PC should
// send to a terminal that asks for updates. Firmware registered for the
// terminal's model in "Config/FirmFilePath.ini" wins when its version
// differs from the terminal's; otherwise each settings file the terminal
// asks about is sent when the PC's copy is newer than the terminal's stamp.

#include "comm/CommManager.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>

class CAutoUpdateDecider : public IUpdateDecider
{
public:
    // Whether initial settings execution is waiting for new terminals;
    // unset means never.
    std::function<bool()> initialSettingsMode;
    // Assigns the terminal ID and makes the settings file of an initial
    // settings request (files filled); unset means it can't be done.
    std::function<bool(TermRequestPayload &)> initialSettings;

    void decide(TermRequestPayload &request, bool busy) override;
    bool prepareInitialSettings(TermRequestPayload &request) override;

    // The version in the header line of an S-record file: the 20 characters
    // after the first 38 of a first line of at least 58, as 10 hex bytes.
    // Empty when the file can't be read or the line is too short.
    static QString firmwareVersion(const QString &path);
    // The same from an open file (read from its current position).
    static QString firmwareVersion(QIODevice &file);

    // A terminal's file stamp ("ddMMyyyyHHmmss" at the start of an item).
    struct Stamp {
        int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    };
    static std::optional<Stamp> parseStamp(const QByteArray &item);
    // True when the local time t is later than the stamp (to the second).
    static bool laterThan(const QDateTime &t, const Stamp &stamp);

    // Size text for the user interface: quotient and remainder by one
    // million, joined, left-padded with "0" to 12 characters.
    static QString sizeText(qint64 size);
};
