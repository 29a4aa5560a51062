#pragma once
// The in-memory model of one settings description: which sections and keys a
// terminal's settings file has, how each key is edited and how keys depend on
// each other. DescriptionLoader builds it from the XML file, the settings
// file's values are merged into it (SettingsFile.h), the editor form works on
// it and the writer writes the file from it.

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <string_view>

// Kind of input of an entry.
namespace InputType
{
constexpr int Unknown = 0; // not read (yet)
constexpr int Combo = 1;
constexpr int Text = 2;
constexpr int Password = 3;
constexpr int Address = 4;
constexpr int FilePath = 5;
constexpr int NoControl = 6; // the default is written; always kept
constexpr int ReadOnly = 7;  // shows the value; the default is written; always kept
} // namespace InputType

struct ComboOption {
    QString text;    // shown in the list
    QString value;   // written to the file
    QString groupId; // piece of the combo box's groupparent list
};

// Limits of a text entry (types 2, 3).
struct TextSettings {
    int textType = 0;           // 1: free text, limits are byte lengths; else a number
    QString inputMin, inputMax; // as read
    std::int64_t lower = 0, upper = 0;
    QString regExpression;
    QString groupParent;
    int textAction = 0; // 1: children enabled while the entry holds a value
};

// Range of an address entry (type 4); numbers with the first octet most significant.
struct AddressSettings {
    QString inputMin, inputMax; // as read
    std::uint32_t lower = 0, upper = 0;
    QString groupParent;
    int textAction = 0;
};

// One alternative input setting of an entry with inputrule 1, chosen by the
// group ID of its parent combo box.
struct ChildDetail {
    QString id;
    QList<ComboOption> options;
    TextSettings text;
    AddressSettings address;
    QString tooltip;
    int inputNeed = 0;
};

struct DescSection {
    QString key;       // section name in the settings file
    QString name;      // tab label
    bool tab = false;  // the file has the section or the section has a visible entry
    int page = -1;     // given by the form
    int tabIndex = -1; // given by the form
};

struct DescEntry {
    QString key;
    QString name;
    int section = 0;   // index into SettingsDescription::sections
    int dataIndex = 0; // position within its section (for messages)
    QString defaultValue;
    QString value;     // current value; starts as the default
    QString fileValue; // as read from the settings file
    int inputType = InputType::Unknown;
    int inputRule = 0;
    int dispFlg = 0;
    int commonFlg = 0;
    int inputNeed = 0;
    bool present = false;  // the settings file has the key
    bool kept = false;     // written back: types 6, 7 and keys the file has
    bool included = false; // common files: the entry's check box
    QList<int> children;   // entries that depend on this one
    QList<ComboOption> options;
    TextSettings text;
    AddressSettings address;
    QString explain;
    QString tooltip;
    QString groupChild;
    QList<ChildDetail> childDetails;
    QString groupParent; // as read; for a combo box the whole "|" list
};

// How the settings file is edited: the same rule decides which entries the
// form shows and which the writer writes.
struct FileMode {
    bool settingsFile = true; // a terminal or common settings file (not the firmware registration)
    bool commonFile = false;  // a common settings file with its check boxes
};

class SettingsDescription
{
public:
    QList<DescSection> sections;
    QList<DescEntry> entries;

    // Shown in the form: never with dispflg 1; a terminal's own file shows
    // only kept entries; a common file hides commonflg-1 entries the file
    // did not have.
    static bool isVisible(const DescEntry &entry, FileMode mode);
    // Written to the file: visible, and in a common file included (the first
    // entry "Version" and type-6 entries always are).
    bool isWritten(int index, FileMode mode) const;

    // The group IDs of an entry's groupparent list ("|"-separated).
    static QStringList groupParentPieces(const DescEntry &entry);
};

// Hash of a QString for the standard containers, which look up several times
// faster than QHash here (large descriptions are merged and checked by name).
struct QStringStdHash {
    size_t operator()(const QString &s) const noexcept
    {
        return std::hash<std::u16string_view>()(
            std::u16string_view(reinterpret_cast<const char16_t *>(s.utf16()), size_t(s.size())));
    }
};
