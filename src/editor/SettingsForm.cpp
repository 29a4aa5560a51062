#include "editor/SettingsForm.h"

#include "comm/ResultCodes.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "editor/InputRules.h"
#include "history/SettingsHistory.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SettingsForm)
};

constexpr int TextCut = 50;
constexpr int ValueCut = 255;
constexpr int TooltipCut = 500;

const QString kVersion = QStringLiteral("Version");

void cut(QString &s, int n)
{
    if (s.size() > n)
        s.truncate(n);
}

// A child detail's settings replace the entry's own; its groupparent stays.
template <class Settings> void takeSettings(Settings &own, const Settings &child)
{
    const QString groupParent = own.groupParent;
    own = child;
    own.groupParent = groupParent;
}

} // namespace

QString SettingsForm::FailureText()
{
    return DescriptionLoader::DescriptionErrorText();
}

QString SettingsForm::FailureCaption()
{
    return DescriptionLoader::DescriptionErrorCaption();
}

int SettingsForm::refusal(const SettingsDescription *description, const LoaderInputs &in)
{
    int code = 0;
    if (!description)
        code += NoDescription;
    if (in.width <= 0 || in.width > 8192)
        code += BadWidth;
    if (in.height <= 0 || in.height > 4320)
        code += BadHeight;
    if (!in.commonFile && in.iniPath.isEmpty())
        code += NoFilePath;
    return code;
}

SettingsForm::SettingsForm(SettingsDescription &description, const LoaderInputs &inputs)
    : m_desc(description), m_in(inputs), m_log(DailyEditorLog())
{
}

IPrompter &SettingsForm::ask() const
{
    return m_prompter ? *m_prompter : prompter();
}

void SettingsForm::fail(const QString &message)
{
    if (m_log)
        m_log(ErrLog::ConfigXml, m_in.termId, message);
    ask().appMessageBox(1, 2, FailureText(), FailureCaption(), MsgType::IconError);
}

bool SettingsForm::build()
{
    // Texts are cut in the model itself, so a cut key is written back cut.
    for (DescSection &s : m_desc.sections) {
        cut(s.key, TextCut);
        cut(s.name, TextCut);
    }
    for (DescEntry &e : m_desc.entries) {
        cut(e.key, TextCut);
        cut(e.name, TextCut);
        cut(e.explain, TextCut);
        cut(e.value, ValueCut);
        cut(e.tooltip, TooltipCut);
        if (e.inputType == InputType::ReadOnly) {
            // What is shown is what is written back.
            cut(e.value, TextCut);
            cut(e.defaultValue, TextCut);
        }
    }

    const int count = int(m_desc.entries.size());
    m_entries = QList<FormEntry>(count);
    for (int i = 0; i < count; ++i) {
        if (isParent(i) && !currentGroupId(i, &m_entries[i].ownGroupId)) {
            fail(QStringLiteral(u"DATA[%1] 親ID取得にて例外処理が発生しました。").arg(i));
            return false;
        }
    }

    const FileMode mode = m_in.fileMode();
    for (const DescEntry &e : m_desc.entries)
        if (SettingsDescription::isVisible(e, mode))
            m_desc.sections[e.section].tab = true;

    m_pages.clear();
    QList<int> pageOf(m_desc.sections.size(), -1);
    for (int s = 0; s < m_desc.sections.size(); ++s) {
        DescSection &section = m_desc.sections[s];
        section.page = section.tabIndex = -1;
        if (!section.tab)
            continue;
        section.page = section.tabIndex = pageOf[s] = int(m_pages.size());
        FormPage page;
        page.section = s;
        m_pages.append(page);
    }

    for (int i = 0; i < count; ++i) {
        DescEntry &e = m_desc.entries[i];
        FormEntry &f = m_entries[i];
        f.tooltip = InputRules::tooltipText(e.tooltip);
        if (!SettingsDescription::isVisible(e, mode) || e.inputType == InputType::NoControl)
            continue;
        FormPage &page = m_pages[pageOf[e.section]];
        if (page.entries.isEmpty() && m_in.systemFile) {
            page.modelLabel = true;
            page.contentHeight = RowHeight;
        }
        f.hasRow = true;
        f.page = pageOf[e.section];
        f.top = page.contentHeight;
        f.hasCheckBox = m_in.commonFile && e.key != kVersion;
        page.entries.append(i);
        page.contentHeight += RowHeight;
        setShownFromValue(i);
    }

    if (m_in.commonFile) {
        for (int i = 0; i < count; ++i) {
            m_entries[i].checked = m_desc.entries[i].kept;
            m_desc.entries[i].included = m_desc.entries[i].kept;
        }
    }

    for (int i = 0; i < count; ++i)
        if (isParent(i))
            applyGroup(i, m_entries[i].ownGroupId);
    return true;
}

bool SettingsForm::currentGroupId(int index, QString *out) const
{
    const DescEntry &e = m_desc.entries[index];
    switch (e.inputType) {
    case InputType::Combo: {
        if (e.options.isEmpty())
            return false;
        *out = e.options.front().groupId;
        for (const ComboOption &o : e.options) {
            if (o.value == e.value) {
                *out = o.groupId;
                break;
            }
        }
        return true;
    }
    case InputType::Text:
    case InputType::Password:
        *out = e.text.groupParent;
        return true;
    case InputType::Address:
        *out = e.address.groupParent;
        return true;
    default:
        *out = e.groupParent;
        return true;
    }
}

QString SettingsForm::label(int index) const
{
    const DescEntry &e = m_desc.entries[index];
    return InputRules::labelText(e.name, e.inputNeed);
}

int SettingsForm::textLimit(int index) const
{
    const DescEntry &e = m_desc.entries[index];
    if (e.inputType == InputType::FilePath)
        return InputRules::FilePathLimit;
    return InputRules::textLimit(e.text);
}

QStringList SettingsForm::optionTexts(int index) const
{
    QStringList out;
    for (const ComboOption &o : m_desc.entries[index].options)
        out << o.text.left(TextCut);
    return out;
}

void SettingsForm::setShownFromValue(int index)
{
    const DescEntry &e = m_desc.entries[index];
    FormEntry &f = m_entries[index];
    switch (e.inputType) {
    case InputType::Combo:
        f.comboIndex = -1;
        for (int o = 0; o < e.options.size(); ++o) {
            if (e.options[o].value == e.value) {
                f.comboIndex = o;
                break;
            }
        }
        break;
    case InputType::Text:
    case InputType::Password:
    case InputType::FilePath:
        f.shown = InputRules::cutToBytes(e.value, textLimit(index));
        break;
    case InputType::Address: {
        const std::optional<std::uint32_t> a = InputRules::parseAddress(e.value);
        f.shown = a ? InputRules::formatAddress(*a) : QString();
        break;
    }
    default:
        f.shown = e.value;
        break;
    }
}

void SettingsForm::changed(int index)
{
    if (m_view && m_entries[index].hasRow)
        m_view->entryChanged(index);
}

// ---- dependencies -------------------------------------------------------

bool SettingsForm::enabledBy(int parent, const QString &groupId, int child) const
{
    const DescEntry &p = m_desc.entries[parent];
    switch (p.inputType) {
    case InputType::Combo:
        return groupId == m_desc.entries[child].groupChild;
    case InputType::Text:
    case InputType::Password:
        return p.text.textAction == 1 ? !p.value.isEmpty() : p.value.isEmpty();
    case InputType::Address:
        return p.address.textAction == 1 ? !p.value.isEmpty() : p.value.isEmpty();
    default:
        return p.value.isEmpty();
    }
}

void SettingsForm::applyAlternative(int child, const ChildDetail &d)
{
    DescEntry &c = m_desc.entries[child];
    FormEntry &f = m_entries[child];
    c.inputNeed = d.inputNeed;
    f.tooltip = InputRules::tooltipText(d.tooltip.left(TooltipCut));
    switch (c.inputType) {
    case InputType::Combo:
        c.options = d.options;
        break;
    case InputType::Text:
    case InputType::Password:
        takeSettings(c.text, d.text);
        if (!InputRules::checkText(c.value, c.text).valid)
            c.value.clear();
        break;
    case InputType::Address:
        takeSettings(c.address, d.address);
        if (!InputRules::checkAddress(c.value, c.address).valid)
            c.value.clear();
        break;
    default:
        break;
    }
    setShownFromValue(child);
    changed(child);
}

void SettingsForm::applyGroup(int parent, const QString &groupId)
{
    const DescEntry &p = m_desc.entries[parent];
    if (p.inputType == InputType::FilePath || p.inputType == InputType::ReadOnly)
        return;
    m_entries[parent].ownGroupId = groupId;
    for (int child : p.children) {
        FormEntry &f = m_entries[child];
        f.givenGroupId = groupId;
        if (p.inputType == InputType::Combo && m_desc.entries[child].inputRule == 1) {
            for (const ChildDetail &d : m_desc.entries[child].childDetails) {
                if (d.id == groupId) {
                    applyAlternative(child, d);
                    break;
                }
            }
            continue;
        }
        const bool enabled = enabledBy(parent, groupId, child);
        if (enabled != f.enabled) {
            f.enabled = enabled;
            changed(child);
        }
    }
}

// ---- input --------------------------------------------------------------

SettingsForm::Commit SettingsForm::revert(int index)
{
    DescEntry &e = m_desc.entries[index];
    InputRules::Checked again;
    switch (e.inputType) {
    case InputType::Address:
        again = InputRules::checkAddress(e.value, e.address);
        break;
    case InputType::FilePath:
        again = InputRules::checkFilePath(e.value);
        break;
    default:
        again = InputRules::checkText(e.value, e.text);
        break;
    }
    if (!again.valid) {
        e.value.clear();
        // An emptied parent switches its children as a change would.
        if (isParent(index))
            applyGroup(index, m_entries[index].ownGroupId);
    }
    setShownFromValue(index);
    changed(index);
    if (m_view)
        m_view->bringForward(index);
    return Commit::Reverted;
}

SettingsForm::Commit SettingsForm::commitText(int index, const QString &text)
{
    const DescEntry &e = m_desc.entries[index];
    if (e.inputType == InputType::FilePath)
        return store(index, text, InputRules::checkFilePath(text), nullptr);
    return store(index, text, InputRules::checkText(text, e.text), &e.text.groupParent);
}

SettingsForm::Commit SettingsForm::commitAddress(int index, const QString &text)
{
    const DescEntry &e = m_desc.entries[index];
    return store(index, text, InputRules::checkAddress(text, e.address), &e.address.groupParent);
}

SettingsForm::Commit SettingsForm::store(int index, const QString &typed,
                                         const InputRules::Checked &checked, const QString *groupId)
{
    if (!checked.valid)
        return revert(index);
    m_desc.entries[index].value = checked.stored;
    setShownFromValue(index);
    if (m_entries[index].shown != typed)
        changed(index);
    if (groupId && isParent(index))
        applyGroup(index, *groupId);
    return Commit::Stored;
}

SettingsForm::Commit SettingsForm::commitCombo(int index, int option)
{
    DescEntry &e = m_desc.entries[index];
    if (option < 0 || option >= e.options.size() || e.options[option].value.isEmpty()) {
        fail(QStringLiteral(u"DATA[%1] 画面操作にて例外処理が発生しました。").arg(index));
        return Commit::Failed;
    }
    e.value = e.options[option].value;
    m_entries[index].comboIndex = option;
    if (isParent(index))
        applyGroup(index, e.options[option].groupId);
    return Commit::Stored;
}

bool SettingsForm::chooseFile(int index)
{
    DescEntry &e = m_desc.entries[index];
    const QFileInfo current(e.value);
    const QString start = !e.value.isEmpty() && current.isFile() ? current.absoluteFilePath()
                                                                 : ProcessValues::programFolder();
    const QString chosen = ask().openFileName(
        Tr::tr("開く"), start,
        Tr::tr("プログラムファイル (*.s);;設定ファイル (*.ini);;CSVファイル (*.csv)"));
    if (chosen.isEmpty())
        return false;
    e.value = QFileInfo(chosen).absoluteFilePath();
    m_entries[index].shown = e.value;
    changed(index);
    return true;
}

void SettingsForm::setChecked(int index, bool checked)
{
    m_entries[index].checked = checked;
}

// ---- saving -------------------------------------------------------------

QString SettingsForm::missingValues() const
{
    const FileMode mode = m_in.fileMode();
    QString out;
    for (int i = 0; i < m_desc.entries.size(); ++i) {
        const DescEntry &e = m_desc.entries[i];
        if (!SettingsDescription::isVisible(e, mode) || (m_in.commonFile && !e.included))
            continue;
        const bool missing =
            e.value.isEmpty() && (e.inputNeed == 1 || (e.inputNeed == 3 && m_entries[i].enabled));
        if (missing)
            out += Tr::tr("%1 %2が入力されていません。\r\n")
                       .arg(m_desc.sections[e.section].name, e.name);
    }
    return out;
}

SettingsForm::Save SettingsForm::save(bool writeToTerminalChecked)
{
    m_written = m_writeToTerminal = false;
    if (m_in.commonFile) {
        for (int i = 0; i < m_desc.entries.size(); ++i) {
            DescEntry &e = m_desc.entries[i];
            if (m_entries[i].hasCheckBox)
                e.included = m_entries[i].checked;
            if (e.inputType == InputType::NoControl || (i == 0 && e.key == kVersion))
                e.included = true;
        }
    }
    const QString missing = missingValues();
    if (!missing.isEmpty()) {
        if (m_view)
            m_view->setMessage(missing);
        return Save::Blocked;
    }
    QString path = m_in.iniPath;
    if (m_in.commonFile) {
        path = AskCommonFileName(ask(), m_in.systemFile);
        if (path.isEmpty())
            return Save::Cancelled;
    }
    m_savedPath = path;
    // A terminal's own file keeps the version it replaces in its history.
    m_written = SettingsHistory::replaceFile(
        m_in.commonFile ? QString() : m_in.termId, path, SettingsHistory::Origin::Edited,
        [&] { return WriteSettingsFile(path, m_desc, m_in.fileMode(), m_log); });
    m_writeToTerminal = m_written && !m_in.commonFile && writeToTerminalChecked;
    return Save::Saved;
}

bool CommonFileNameAccepted(const QString &path, bool system)
{
    return QFileInfo(path).fileName().startsWith(system ? QStringLiteral("kel_sys")
                                                        : QStringLiteral("kel_user"));
}

QString AskCommonFileName(IPrompter &p, bool system)
{
    const QString start = ProcessValues::programPath(system ? QStringLiteral("Data/Sys/kel_sys")
                                                            : QStringLiteral("Data/User/kel_user"));
    const QString filter =
        system ? Tr::tr("システム設定ファイル (*.ini)") : Tr::tr("ユーザ設定ファイル (*.ini)");
    const QString refusal = system ? Tr::tr("ファイル名はkel_sys～という形式で保存してください。")
                                   : Tr::tr("ファイル名はkel_user～という形式で保存してください。");
    for (;;) {
        QString chosen = p.saveFileName(Tr::tr("名前を付けて保存"), start, filter);
        if (chosen.isEmpty())
            return {};
        if (QFileInfo(chosen).suffix().isEmpty())
            chosen += QStringLiteral(".ini");
        if (CommonFileNameAccepted(chosen, system))
            return QFileInfo(chosen).absoluteFilePath();
        p.appMessageBox(1, 1, refusal, Tr::tr("ファイル選択エラー"), MsgType::IconError);
    }
}
