#pragma once
// What the column filter dialogs of the terminal list check and hand back,
// kept free of widgets: the dialogs read their controls into the *Input
// records, let the functions below decide, and show the message they answer.
//
// Condition codes are the combo index + 1 (0 = no condition); join codes are
// 1 for "または" (OR) and 2 for "かつ" (AND).

#include "register/ListCond.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace ListFilter
{

// The dialog family: which dialog a column opens.
enum class DialogKind {
    None,      // the column has no filter
    Text,      // two clauses of text (terminal ID, IP, MAC, versions)
    Date,      // two clauses of dates (registration date, result date)
    OneValue,  // one text and a two-way condition (vendor, machine name)
    Alert,     // alert state and a two-way condition
    Result,    // operation kind and success/error
    EntryKind, // radio buttons of the registration kind
    SipEntry,  // radio buttons of the SIP registration state
    Silent,    // radio buttons: silent terminals only, heard ones only, all
    FirmCheck, // firmware check state and a two-way condition
};
DialogKind dialogKindOf(int column);
// The dialog's caption, empty for a column without filter.
QString dialogCaption(int column);

// Combo items, in code order (item index + 1 is the code).
QStringList sixWayLabels();
QStringList twoWayLabels();
QStringList alertStateLabels();
QStringList operationKindLabels();
QStringList resultStateLabels(); // success, error, no operation yet
// The error a result filter narrows to: any, the codes 1..9 by their list
// text, and the codes from 10 up (one text).
QStringList resultCodeLabels();
QStringList firmCheckStateLabels();

// Radio buttons in the order they are shown, with the code each stands for.
struct RadioChoice {
    QString label;
    int code;
};
QList<RadioChoice> entryKindChoices();
QList<RadioChoice> sipEntryChoices();
QList<RadioChoice> silentChoices();

// The two-clause text dialogs.
enum class TextKind { TermId, IpAddr, MacAddr, AppVer, BootVer };
struct TextKindInfo {
    int column;
    int maxLength;
    QString charset;    // empty: any character
    bool checkWildcard; // "*" only with ＝/≠
    QString valueLabel; // label in front of each edit box, may be empty
};
TextKindInfo textKindInfo(TextKind kind);
// The text kind of a two-clause text column; false for other columns.
bool textKindOfColumn(int column, TextKind &kind);

// Where the dialog puts the focus after a refusal.
enum class Focus { None, Value1, Value2, Year1, Month1, Day1, Year2, Month2, Day2 };

struct Check {
    bool ok = true;
    QString message; // shown under "入力エラー" when !ok
    Focus focus = Focus::None;
};

// The caption and type of every refusal.
QString inputErrorCaption();
constexpr unsigned InputErrorType = 0x30;

// ---- result members (exactly a column's filter fields) -------------------

struct TextFilter {
    QString value1, value2;
    int cnd1 = 0, cnd2 = 0, join = 0;
    bool operator==(const TextFilter &) const = default;
};

struct DateFilter {
    QDateTime date1, date2;
    int cnd1 = 0, cnd2 = 0, join = 0;
    bool operator==(const DateFilter &) const = default;
};

struct OneValueFilter {
    QString value;
    int cnd = 0;
    bool operator==(const OneValueFilter &) const = default;
};

// Alert (FInfoAlert / FCndAlert), result (FInfoResult / FCndResult, with
// FInfoResultCode) and firmware check (FInfoFirmCheck / FCndFirmCheck).
struct CodePairFilter {
    int info = 0;
    int cnd = 0;
    int code = 0; // result only: FInfoResultCode
    bool operator==(const CodePairFilter &) const = default;
};

// ---- what the controls hold -----------------------------------------------

struct TextClauseInput {
    QString text;
    int comboIndex = -1; // -1: no item chosen
};
struct TextFilterInput {
    TextClauseInput first, second;
    int join = 0; // 0 no radio checked, 1 "または", 2 "かつ"
};

struct DateClauseInput {
    QString year, month, day;
    int comboIndex = -1;
};
struct DateFilterInput {
    DateClauseInput first, second;
    int join = 0;
};

// ---- opening: what the controls show for the current filter ---------------

TextFilterInput textInputOf(const TextFilter &f);
DateFilterInput dateInputOf(const DateFilter &f);

// ---- OK ---------------------------------------------------------------------

// Validates the controls and, when they pass, stores them in `result` (an IP
// address in the register's zero-padded form). After a refusal `result` is
// emptied (values empty, codes 0) so that nothing half-checked can be handed
// back; the dates are left as they were.
Check applyTextInput(TextKind kind, const TextFilterInput &in, TextFilter &result);
// "127.0.0.5" -> "127.000.000.005"; parts with a wildcard stay as typed.
QString storedAddressForm(const QString &typed);
Check applyDateInput(const DateFilterInput &in, DateFilter &result);

// Vendor and machine name: with an item chosen, code and text are taken;
// without, nothing changes.
void applyOneValueInput(const QString &text, int comboIndex, OneValueFilter &result);
// Alert, result and firmware check: only with both combos chosen are both
// codes taken; a result's error code (codeIndex, 0 any) only with "エラーあり".
void applyCodePairInput(int infoIndex, int cndIndex, CodePairFilter &result, int codeIndex = 0);

// ---- "解除": the column's filter removed ------------------------------------

void release(TextFilter &f);
void release(DateFilter &f); // dates stay as they are
void release(OneValueFilter &f);
void release(CodePairFilter &f);

// ---- the column's fields in the list condition ------------------------------

TextFilter textFilterOf(const ListCondInfo &cond, TextKind kind);
void storeTextFilter(ListCondInfo &cond, TextKind kind, const TextFilter &f);
// Columns ListColumn::EntryDate and ListColumn::ResultDate.
DateFilter dateFilterOf(const ListCondInfo &cond, int column);
void storeDateFilter(ListCondInfo &cond, int column, const DateFilter &f);
// Columns ListColumn::Vendor and ListColumn::MachineName.
OneValueFilter oneValueFilterOf(const ListCondInfo &cond, int column);
void storeOneValueFilter(ListCondInfo &cond, int column, const OneValueFilter &f);
// Columns ListColumn::Alert, ListColumn::Result and ListColumn::FirmCheck.
CodePairFilter codePairFilterOf(const ListCondInfo &cond, int column);
void storeCodePairFilter(ListCondInfo &cond, int column, const CodePairFilter &f);
// Columns ListColumn::EntryKind (FCndTermEntry), ListColumn::SipEntry
// (FCndSipEntry) and ListColumn::LastNotice (FCndSilent).
int radioCodeOf(const ListCondInfo &cond, int column);
void storeRadioCode(ListCondInfo &cond, int column, int code);

} // namespace ListFilter
