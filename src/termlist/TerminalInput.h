#pragma once
// Checks of what the user types into the add-terminals dialog, the terminal-ID
// input dialog and the system settings dialog, kept free of widgets: each
// check answers the values or the message to show and the field to focus.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace TerminalInput
{

// Only the characters 0..9 (an empty text passes).
bool isDigitsOnly(const QString &text);

// The next terminal ID, counted in decimal on the text itself: leading zeros
// and the width stay ("0099" -> "0100"); a carry out of the first digit puts
// a "1" in front while the text is shorter than 64 characters, else it wraps
// to all zeros.
QString nextTerminalId(const QString &id);
// `count` terminal IDs from `first` on.
QStringList terminalIdSequence(const QString &first, int count);

// The 32-bit value of an address text of four dot-separated decimal numbers
// (zero-padded or not; "USB(" address ")" stands for the address), first
// number in the lowest byte; 0 when the text is no address.
std::uint32_t addressValue(const QString &text);

// ---- add terminals ------------------------------------------------------
struct AddCheck {
    enum Field { None, TermId, Count };
    Field error = None;
    QString message; // shown under "入力エラー" with type 0x30
    int widthCode = 0;
    QString firstId;
    int count = 0; // an empty count is 0
};
AddCheck checkAddTerminals(const QString &firstId, const QString &countText);

// ---- system settings ----------------------------------------------------
struct SettingsCheck {
    enum Field { None, Port, Interval };
    Field error = None;
    QString message; // shown under "入力エラー" with type 0x30
    int widthCode = 0;
    int port = 0;
    int ftpMode = 0;  // 0 normal, 1 passive
    int interval = 0; // an empty interval is 0
    bool portChanged = false;
};
// `openedPort` is the port the dialog opened with; a changed port needs a
// restart before it takes effect.
SettingsCheck checkSystemSettings(const QString &portText, const QString &intervalText,
                                  bool normalModeChecked, int openedPort);

// The firmware check's wait in whole minutes: digits only, 1..1440;
// nullopt otherwise (firmCheckWaitMessage() is shown then).
std::optional<int> firmCheckWaitMinutes(const QString &text);
QString firmCheckWaitMessage();
// The stored seconds as the dialog shows them (minutes, rounded up).
QString firmCheckWaitText(int seconds);
// Versions kept per settings file in the history: digits only, 1..999;
// nullopt otherwise (historyKeepMessage() is shown then).
std::optional<int> historyKeepValue(const QString &text);
QString historyKeepMessage();
// New terminals a minute from one source address: digits only, 1..65535;
// nullopt otherwise (newTermRateMessage() is shown then).
std::optional<int> newTermRateValue(const QString &text);
QString newTermRateMessage();

// The caption of every input refusal.
QString inputErrorCaption();

} // namespace TerminalInput
