#include "editor/ui/SettingsEditorDialog.h"

#include "common/Cp932.h"
#include "editor/ui/Ipv4Edit.h"
#include "editor/ui/SettingsPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QValidator>
#include <QWheelEvent>

#include <algorithm>

namespace
{

// Row geometry: offsets from the row's left edge and top.
constexpr int LabelX = 5, CheckX = 208, InputX = 231, BrowseX = 544;
constexpr int LabelWidth = 200, InputWidth = 310, ControlHeight = 20, BoxSize = 20;
constexpr int ExplainDown = 23;
constexpr int ButtonWidth = 80, ButtonHeight = 24;

// Refuses input beyond the edit's limit in CP932 bytes (a full-width
// character counts two), as the terminals' files measure it.
class ByteLimitValidator : public QValidator
{
public:
    ByteLimitValidator(int limit, QObject *parent) : QValidator(parent), m_limit(limit) {}
    void setLimit(int limit) { m_limit = limit; }
    State validate(QString &input, int &) const override
    {
        return Cp932::byteLength(input) <= m_limit ? Acceptable : Invalid;
    }

private:
    int m_limit;
};

// A drop-down list that stays shut while a correction of invalid input
// waits to take the focus back.
class FormComboBox : public QComboBox
{
public:
    FormComboBox(const SettingsEditorDialog *dialog, QWidget *parent)
        : QComboBox(parent), m_dialog(dialog)
    {
    }
    void showPopup() override
    {
        if (!m_dialog->correctionPending())
            QComboBox::showPopup();
    }

protected:
    // The wheel scrolls the page unless the list has the focus.
    void wheelEvent(QWheelEvent *event) override
    {
        if (hasFocus())
            QComboBox::wheelEvent(event);
        else
            event->ignore();
    }

private:
    const SettingsEditorDialog *m_dialog;
};

// Reports when the focus leaves an edit for a widget of the dialog (not for
// a context menu or another window).
class LeaveFilter : public QObject
{
public:
    LeaveFilter(std::function<void()> left, QObject *parent)
        : QObject(parent), m_left(std::move(left))
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                m_left();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_left;
};

} // namespace

QFont SettingsEditorDialog::formFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                   QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
                   QStringLiteral("Droid Sans Fallback")});
    f.setPixelSize(12);
    return f;
}

SettingsEditorDialog::SettingsEditorDialog(SettingsDescription *description,
                                           const LoaderInputs &inputs, QWidget *parent)
    : QDialog(parent), m_desc(description), m_inputs(inputs)
{
    setObjectName(QStringLiteral("settingsEditor"));
    m_refusal = SettingsForm::refusal(description, inputs);
    if (m_refusal != 0)
        return;
    m_form = std::make_unique<SettingsForm>(*description, inputs);
    m_form->setView(this);
    setModal(true);
    setWindowTitle(inputs.title);
    setFont(formFont());
    setFixedSize(inputs.width, inputs.height);
    buildFixedControls();
}

SettingsEditorDialog::~SettingsEditorDialog()
{
    // Inputs losing the focus while they go must not be checked any more.
    m_closing = true;
    delete m_tabs;
    if (m_form)
        m_form->setView(nullptr);
}

void SettingsEditorDialog::buildFixedControls()
{
    const int w = m_inputs.width, h = m_inputs.height;
    const int tabHeight = m_inputs.settingsFile ? h * 2 / 3 : h - 81;
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setGeometry(5, 5, w - 10, tabHeight);

    const int buttonTop = h - ButtonHeight - 8;
    m_cancel = new QPushButton(m_inputs.cancelText, this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setGeometry(w - 8 - ButtonWidth, buttonTop, ButtonWidth, ButtonHeight);
    m_cancel->setAutoDefault(false);
    m_ok = new QPushButton(m_inputs.okText, this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(w - 16 - 2 * ButtonWidth, buttonTop, ButtonWidth, ButtonHeight);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &SettingsEditorDialog::onOk);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_writeBox = new QCheckBox(tr("端末書込み"), this);
    m_writeBox->setObjectName(QStringLiteral("writeToTerminal"));
    // At least as wide as its text needs, in either language.
    const int boxWidth = std::max(100, m_writeBox->sizeHint().width());
    m_writeBox->setGeometry(w - 32 - 2 * ButtonWidth - boxWidth, buttonTop + 2, boxWidth, BoxSize);
    m_writeBox->setVisible(m_inputs.showWriteToTerminal);

    const int messageTop = 5 + tabHeight + 6;
    m_messageLabel = new QLabel(tr("メッセージ"), this);
    m_messageLabel->setGeometry(10, messageTop, 120, ControlHeight);
    m_message = new QPlainTextEdit(this);
    m_messageLabel->setBuddy(m_message);
    m_message->setObjectName(QStringLiteral("messageBox"));
    m_message->setReadOnly(true);
    m_message->setGeometry(10, messageTop + ControlHeight + 2, w - 20,
                           buttonTop - 8 - (messageTop + ControlHeight + 2));
    m_messageLabel->setVisible(m_inputs.settingsFile);
    m_message->setVisible(m_inputs.settingsFile);
}

bool SettingsEditorDialog::buildForm()
{
    if (m_built)
        return m_buildOk;
    m_built = true;
    if (m_refusal != 0 || !m_form->build())
        return false;

    m_rows.assign(m_desc->entries.size(), Row{});
    for (const FormPage &fp : m_form->pages()) {
        auto *page = new SettingsPage(fp.contentHeight);
        page->setObjectName(QStringLiteral("page%1").arg(m_pages.size()));
        m_pages.push_back(page);
        QWidget *content = page->content();
        if (fp.modelLabel) {
            auto *model = new QLabel(tr("機種名 : %1").arg(m_inputs.modelName), content);
            model->setObjectName(QStringLiteral("modelLabel"));
            model->setGeometry(LabelX, 4, LabelWidth, ControlHeight);
        }
        for (int entry : fp.entries)
            buildRow(entry, content);
        m_tabs->addTab(page, m_desc->sections[fp.section].name);
    }
    if (m_tabs->count() > 0)
        m_tabs->setCurrentIndex(0);
    m_buildOk = true;
    return true;
}

void SettingsEditorDialog::buildRow(int entry, QWidget *content)
{
    const DescEntry &e = m_desc->entries[entry];
    const FormEntry &f = m_form->entry(entry);
    Row &row = m_rows[entry];
    const int top = f.top + 4;
    const QString id = QString::number(entry);

    row.label = new QLabel(content);
    row.label->setObjectName(QStringLiteral("label_") + id);
    row.label->setGeometry(LabelX, top, LabelWidth, ControlHeight);

    if (f.hasCheckBox) {
        row.check = new QCheckBox(content);
        row.check->setObjectName(QStringLiteral("check_") + id);
        row.check->setGeometry(CheckX, top, BoxSize, BoxSize);
        row.check->setChecked(f.checked);
        connect(row.check, &QCheckBox::toggled, this,
                [this, entry](bool on) { m_form->setChecked(entry, on); });
    }

    const QRect inputRect(InputX, top, InputWidth, ControlHeight);
    switch (e.inputType) {
    case InputType::Combo: {
        auto *combo = new FormComboBox(this, content);
        combo->setMaxVisibleItems(20);
        combo->setFocusPolicy(Qt::StrongFocus);
        connect(combo, &QComboBox::activated, this,
                [this, entry](int index) { ended(m_form->commitCombo(entry, index)); });
        row.input = combo;
        break;
    }
    case InputType::Text:
    case InputType::Password:
    case InputType::FilePath: {
        auto *edit = new QLineEdit(content);
        edit->setValidator(new ByteLimitValidator(m_form->textLimit(entry), edit));
        if (e.inputType == InputType::Password)
            edit->setEchoMode(QLineEdit::Password);
        edit->installEventFilter(new LeaveFilter([this, entry] { ended(leave(entry)); }, edit));
        row.input = edit;
        if (e.inputType == InputType::FilePath) {
            row.browse = new QPushButton(QStringLiteral("..."), content);
            row.browse->setObjectName(QStringLiteral("browse_") + id);
            row.browse->setGeometry(BrowseX, top, BoxSize, BoxSize);
            row.browse->setAutoDefault(false);
            connect(row.browse, &QPushButton::clicked, this,
                    [this, entry] { m_form->chooseFile(entry); });
        }
        break;
    }
    case InputType::Address: {
        auto *address = new Ipv4Edit(content);
        connect(address, &Ipv4Edit::left, this, [this, entry] { ended(leave(entry)); });
        row.input = address;
        break;
    }
    default: {
        auto *shown = new QLabel(content);
        shown->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        row.input = shown;
        break;
    }
    }
    row.input->setObjectName(QStringLiteral("input_") + id);
    row.input->setGeometry(inputRect);
    // The entry's name names its input for screen readers.
    row.label->setBuddy(row.input);

    row.explain = new QLabel(e.explain, content);
    row.explain->setObjectName(QStringLiteral("explain_") + id);
    row.explain->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Up to the page's right edge, so that a long explanation isn't cut.
    const int explainWidth = std::max(InputWidth, m_inputs.width - InputX - 60);
    row.explain->setGeometry(InputX, top + ExplainDown, explainWidth, ControlHeight - 3);

    showRow(entry);
}

void SettingsEditorDialog::showRow(int entry)
{
    const Row &row = m_rows[entry];
    if (!row.input)
        return;
    const DescEntry &e = m_desc->entries[entry];
    const FormEntry &f = m_form->entry(entry);
    row.label->setText(m_form->label(entry));
    switch (e.inputType) {
    case InputType::Combo: {
        auto *combo = static_cast<QComboBox *>(row.input);
        const QStringList texts = m_form->optionTexts(entry);
        QStringList now;
        for (int i = 0; i < combo->count(); ++i)
            now << combo->itemText(i);
        if (now != texts) {
            combo->clear();
            combo->addItems(texts);
        }
        combo->setCurrentIndex(f.comboIndex);
        combo->setToolTip(f.tooltip);
        break;
    }
    case InputType::Text:
    case InputType::Password:
    case InputType::FilePath: {
        auto *edit = static_cast<QLineEdit *>(row.input);
        static_cast<ByteLimitValidator *>(const_cast<QValidator *>(edit->validator()))
            ->setLimit(m_form->textLimit(entry));
        if (edit->text() != f.shown)
            edit->setText(f.shown);
        edit->setToolTip(f.tooltip);
        break;
    }
    case InputType::Address: {
        auto *address = static_cast<Ipv4Edit *>(row.input);
        if (address->text() != f.shown)
            address->setText(f.shown);
        address->setFieldToolTip(f.tooltip);
        break;
    }
    default:
        static_cast<QLabel *>(row.input)->setText(f.shown);
        row.input->setToolTip(f.tooltip);
        break;
    }
    for (QWidget *w : {static_cast<QWidget *>(row.label), static_cast<QWidget *>(row.check),
                       row.input, static_cast<QWidget *>(row.explain)})
        if (w)
            w->setEnabled(f.enabled);
}

QWidget *SettingsEditorDialog::input(int entry) const
{
    return entry < int(m_rows.size()) ? m_rows[entry].input : nullptr;
}
QLabel *SettingsEditorDialog::label(int entry) const
{
    return entry < int(m_rows.size()) ? m_rows[entry].label : nullptr;
}
QCheckBox *SettingsEditorDialog::checkBox(int entry) const
{
    return entry < int(m_rows.size()) ? m_rows[entry].check : nullptr;
}
QLabel *SettingsEditorDialog::explanation(int entry) const
{
    return entry < int(m_rows.size()) ? m_rows[entry].explain : nullptr;
}
QPushButton *SettingsEditorDialog::browseButton(int entry) const
{
    return entry < int(m_rows.size()) ? m_rows[entry].browse : nullptr;
}
SettingsPage *SettingsEditorDialog::page(int index) const
{
    return index >= 0 && index < int(m_pages.size()) ? m_pages[index] : nullptr;
}

// ---- input --------------------------------------------------------------

SettingsForm::Commit SettingsEditorDialog::leave(int entry)
{
    if (m_closing)
        return SettingsForm::Commit::Stored;
    const Row &row = m_rows[entry];
    switch (m_desc->entries[entry].inputType) {
    case InputType::Address:
        return m_form->commitAddress(entry, static_cast<Ipv4Edit *>(row.input)->text());
    case InputType::Text:
    case InputType::Password:
    case InputType::FilePath:
        return m_form->commitText(entry, static_cast<QLineEdit *>(row.input)->text());
    default:
        return SettingsForm::Commit::Stored;
    }
}

void SettingsEditorDialog::ended(SettingsForm::Commit commit)
{
    // The description can't be worked with: the box has been shown.
    if (commit == SettingsForm::Commit::Failed)
        QTimer::singleShot(0, this, &QDialog::reject);
}

void SettingsEditorDialog::entryChanged(int entry)
{
    if (entry < int(m_rows.size()))
        showRow(entry);
}

void SettingsEditorDialog::bringForward(int entry)
{
    m_correctionPending = true;
    // After the focus change that is under way has ended.
    QTimer::singleShot(0, this, [this, entry] {
        m_correctionPending = false;
        const FormEntry &f = m_form->entry(entry);
        QWidget *in = input(entry);
        if (!in || f.page < 0)
            return;
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        m_tabs->setCurrentIndex(f.page);
        m_pages[f.page]->ensureWidgetVisible(in, 0, 0);
        in->setFocus(Qt::OtherFocusReason);
    });
}

void SettingsEditorDialog::setMessage(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_message->setPlainText(shown);
}

bool SettingsEditorDialog::edited(int entry) const
{
    const Row &row = m_rows[entry];
    const FormEntry &f = m_form->entry(entry);
    if (auto *edit = qobject_cast<QLineEdit *>(row.input))
        return edit->text() != f.shown;
    if (auto *address = qobject_cast<Ipv4Edit *>(row.input))
        return address->text() != f.shown;
    return false;
}

void SettingsEditorDialog::onOk()
{
    // Input not checked yet (Enter in an edit reaches OK without leaving
    // it) is checked first; a correction keeps the dialog open.
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_rows[i].input || !edited(int(i)))
            continue;
        const SettingsForm::Commit c = leave(int(i));
        if (c == SettingsForm::Commit::Failed)
            return ended(c);
        if (c == SettingsForm::Commit::Reverted)
            return;
    }
    if (m_correctionPending)
        return;
    if (m_form->save(m_writeBox->isChecked()) != SettingsForm::Save::Saved)
        return;
    m_saved = true;
    accept();
}

void SettingsEditorDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter anywhere saves, as the default button of the dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        onOk();
        return;
    }
    QDialog::keyPressEvent(event);
}

int SettingsEditorDialog::run()
{
    if (m_refusal != 0)
        return m_refusal;
    if (!buildForm())
        return 0;
    exec();
    return 0;
}
