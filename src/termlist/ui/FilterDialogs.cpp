#include "termlist/ui/FilterDialogs.h"

#include "common/Prompter.h"
#include "register/ListCond.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace ListFilter;

namespace
{

// The long refusals wrap onto two lines of the widest box; the date ones fit
// one line of the normal box.
constexpr int TextRefusalWidth = 2;
constexpr int TextRefusalLines = 2;
constexpr int DateRefusalWidth = 1;
constexpr int DateRefusalLines = 1;

QComboBox *dropDownList(const QStringList &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QLineEdit *limitedEdit(int maxLength, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    return edit;
}

// A number field sized for its few digits.
QLineEdit *digitsEdit(int maxLength, QWidget *parent)
{
    QLineEdit *edit = limitedEdit(maxLength, parent);
    const int digitWidth = edit->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    edit->setFixedWidth(digitWidth * (maxLength + 2) + 12);
    return edit;
}

} // namespace

// ---- base ------------------------------------------------------------------

CFilterDialogBase::CFilterDialogBase(int column, bool withRelease, QWidget *parent)
    : QDialog(parent), m_fields(new QGridLayout), m_column(column)
{
    setWindowTitle(dialogCaption(column));
    setModal(true);

    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("ｷｬﾝｾﾙ"), this);
    connect(m_ok, &QPushButton::clicked, this, &CFilterDialogBase::onOk);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    if (withRelease) {
        m_release = new QPushButton(tr("解除"), this);
        connect(m_release, &QPushButton::clicked, this, &CFilterDialogBase::onRelease);
        buttons->addWidget(m_release);
    }

    m_fields->setHorizontalSpacing(8);
    m_fields->setVerticalSpacing(10);
    auto *top = new QVBoxLayout(this);
    top->addLayout(m_fields);
    top->addSpacing(8);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);
}

void CFilterDialogBase::nameFields(const QList<QLineEdit *> &values,
                                   const QList<QComboBox *> &conditions)
{
    for (QLineEdit *e : values)
        e->setAccessibleName(tr("値"));
    for (QComboBox *c : conditions)
        c->setAccessibleName(tr("条件"));
}

void CFilterDialogBase::refuse(const Check &check, QLineEdit *field)
{
    const bool date = dialogKindOf(m_column) == DialogKind::Date;
    AppMessageBox(date ? DateRefusalWidth : TextRefusalWidth,
                  date ? DateRefusalLines : TextRefusalLines, check.message, inputErrorCaption(),
                  InputErrorType);
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
}

CJoinButtons::CJoinButtons(QWidget *parent)
    : orButton(new QRadioButton(QCoreApplication::translate("CJoinButtons", "または"), parent)),
      andButton(new QRadioButton(QCoreApplication::translate("CJoinButtons", "かつ"), parent)),
      m_group(new QButtonGroup(parent))
{
    m_group->addButton(orButton, JoinCode::Or);
    m_group->addButton(andButton, JoinCode::And);
}

int CJoinButtons::join() const
{
    const int id = m_group->checkedId();
    return id < 0 ? 0 : id;
}

void CJoinButtons::setJoin(int join)
{
    // An exclusive group refuses to uncheck its last button.
    m_group->setExclusive(false);
    orButton->setChecked(join == JoinCode::Or);
    andButton->setChecked(join == JoinCode::And);
    m_group->setExclusive(true);
}

// ---- two clauses of text -----------------------------------------------------

CFilterTextDialog::CFilterTextDialog(TextKind kind, QWidget *parent)
    : CFilterDialogBase(textKindInfo(kind).column, true, parent),
      valueEdit1(limitedEdit(textKindInfo(kind).maxLength, this)),
      valueEdit2(limitedEdit(textKindInfo(kind).maxLength, this)),
      condCombo1(dropDownList(sixWayLabels(), this)),
      condCombo2(dropDownList(sixWayLabels(), this)), joinButtons(this), m_kind(kind)
{
    const TextKindInfo &info = textKindInfo(kind);
    const int editWidth =
        valueEdit1->fontMetrics().horizontalAdvance(QLatin1Char('0')) * qMin(info.maxLength, 24) +
        16;
    valueEdit1->setMinimumWidth(editWidth);
    valueEdit2->setMinimumWidth(editWidth);

    // The fields' names for screen readers; the window's title says the column.
    nameFields({valueEdit1, valueEdit2}, {condCombo1, condCombo2});
    int col = 0;
    if (!info.valueLabel.isEmpty()) {
        for (auto [row, edit] : {std::pair{0, valueEdit1}, {2, valueEdit2}}) {
            auto *label = new QLabel(info.valueLabel, this);
            label->setBuddy(edit);
            m_fields->addWidget(label, row, 0);
        }
        col = 1;
    }
    m_fields->addWidget(valueEdit1, 0, col);
    m_fields->addWidget(condCombo1, 0, col + 1);
    auto *join = new QHBoxLayout;
    join->addWidget(joinButtons.orButton);
    join->addSpacing(16);
    join->addWidget(joinButtons.andButton);
    join->addStretch(1);
    m_fields->addLayout(join, 1, col, 1, 2);
    m_fields->addWidget(valueEdit2, 2, col);
    m_fields->addWidget(condCombo2, 2, col + 1);
}

void CFilterTextDialog::setFilter(const TextFilter &f)
{
    m_filter = f;
    const TextFilterInput in = textInputOf(f);
    valueEdit1->setText(in.first.text);
    condCombo1->setCurrentIndex(in.first.comboIndex);
    joinButtons.setJoin(in.join);
    valueEdit2->setText(in.second.text);
    condCombo2->setCurrentIndex(in.second.comboIndex);
}

void CFilterTextDialog::loadFrom(const ListCondInfo &cond)
{
    setFilter(textFilterOf(cond, m_kind));
}

void CFilterTextDialog::storeInto(ListCondInfo &cond) const
{
    storeTextFilter(cond, m_kind, m_filter);
}

void CFilterTextDialog::onOk()
{
    TextFilterInput in;
    in.first = {valueEdit1->text(), condCombo1->currentIndex()};
    in.second = {valueEdit2->text(), condCombo2->currentIndex()};
    in.join = joinButtons.join();
    const Check c = applyTextInput(m_kind, in, m_filter);
    if (!c.ok) {
        refuse(c, c.focus == Focus::Value2 ? valueEdit2 : valueEdit1);
        return;
    }
    accept();
}

void CFilterTextDialog::onRelease()
{
    release(m_filter);
    accept();
}

// ---- two clauses of dates ----------------------------------------------------

CFilterDateDialog::CFilterDateDialog(int column, QWidget *parent)
    : CFilterDialogBase(column, true, parent), joinButtons(this)
{
    const auto makeFields = [this](int row) {
        DateFields f{digitsEdit(4, this), digitsEdit(2, this), digitsEdit(2, this),
                     dropDownList(sixWayLabels(), this)};
        f.year->setAccessibleName(tr("年"));
        f.month->setAccessibleName(tr("月"));
        f.day->setAccessibleName(tr("日"));
        nameFields({}, {f.cond});
        auto *date = new QHBoxLayout;
        date->setSpacing(4);
        date->addWidget(f.year);
        date->addWidget(new QLabel(QStringLiteral("/"), this));
        date->addWidget(f.month);
        date->addWidget(new QLabel(QStringLiteral("/"), this));
        date->addWidget(f.day);
        date->addStretch(1);
        m_fields->addLayout(date, row, 0);
        m_fields->addWidget(f.cond, row, 1);
        return f;
    };
    first = makeFields(0);
    auto *join = new QHBoxLayout;
    join->addWidget(joinButtons.orButton);
    join->addSpacing(16);
    join->addWidget(joinButtons.andButton);
    join->addStretch(1);
    m_fields->addLayout(join, 1, 0, 1, 2);
    second = makeFields(2);
}

void CFilterDateDialog::setFilter(const DateFilter &f)
{
    m_filter = f;
    const DateFilterInput in = dateInputOf(f);
    const auto show = [](const DateFields &fields, const DateClauseInput &c) {
        fields.year->setText(c.year);
        fields.month->setText(c.month);
        fields.day->setText(c.day);
        fields.cond->setCurrentIndex(c.comboIndex);
    };
    show(first, in.first);
    joinButtons.setJoin(in.join);
    show(second, in.second);
}

void CFilterDateDialog::loadFrom(const ListCondInfo &cond)
{
    setFilter(dateFilterOf(cond, m_column));
}

void CFilterDateDialog::storeInto(ListCondInfo &cond) const
{
    storeDateFilter(cond, m_column, m_filter);
}

QLineEdit *CFilterDateDialog::fieldFor(Focus focus) const
{
    switch (focus) {
    case Focus::Month1:
        return first.month;
    case Focus::Day1:
        return first.day;
    case Focus::Year2:
        return second.year;
    case Focus::Month2:
        return second.month;
    case Focus::Day2:
        return second.day;
    default:
        return first.year;
    }
}

void CFilterDateDialog::onOk()
{
    const auto read = [](const DateFields &f) {
        return DateClauseInput{f.year->text(), f.month->text(), f.day->text(),
                               f.cond->currentIndex()};
    };
    DateFilterInput in;
    in.first = read(first);
    in.second = read(second);
    in.join = joinButtons.join();
    const Check c = applyDateInput(in, m_filter);
    if (!c.ok) {
        refuse(c, fieldFor(c.focus));
        return;
    }
    accept();
}

void CFilterDateDialog::onRelease()
{
    release(m_filter);
    accept();
}

// ---- vendor, machine name ------------------------------------------------------

CFilterValueDialog::CFilterValueDialog(int column, QWidget *parent)
    : CFilterDialogBase(column, true, parent), valueEdit(limitedEdit(20, this)),
      condCombo(dropDownList(twoWayLabels(), this))
{
    valueEdit->setMinimumWidth(valueEdit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 22);
    nameFields({valueEdit}, {condCombo});
    m_fields->addWidget(valueEdit, 0, 0);
    m_fields->addWidget(condCombo, 0, 1);
}

void CFilterValueDialog::setFilter(const OneValueFilter &f)
{
    m_filter = f;
    const bool set = f.cnd != 0;
    valueEdit->setText(set ? f.value : QString());
    condCombo->setCurrentIndex(f.cnd >= 1 && f.cnd <= condCombo->count() ? f.cnd - 1 : -1);
}

void CFilterValueDialog::loadFrom(const ListCondInfo &cond)
{
    setFilter(oneValueFilterOf(cond, m_column));
}

void CFilterValueDialog::storeInto(ListCondInfo &cond) const
{
    storeOneValueFilter(cond, m_column, m_filter);
}

void CFilterValueDialog::onOk()
{
    applyOneValueInput(valueEdit->text(), condCombo->currentIndex(), m_filter);
    accept();
}

void CFilterValueDialog::onRelease()
{
    release(m_filter);
    accept();
}

// ---- alert, result, firmware check --------------------------------------------

namespace
{
QStringList infoLabelsOf(int column)
{
    switch (column) {
    case ListColumn::Alert:
        return alertStateLabels();
    case ListColumn::FirmCheck:
        return firmCheckStateLabels();
    default:
        return operationKindLabels();
    }
}
} // namespace

CFilterCodePairDialog::CFilterCodePairDialog(int column, QWidget *parent)
    : CFilterDialogBase(column, true, parent), infoCombo(dropDownList(infoLabelsOf(column), this)),
      condCombo(
          dropDownList(column == ListColumn::Result ? resultStateLabels() : twoWayLabels(), this))
{
    infoCombo->setMaxVisibleItems(20);
    infoCombo->setAccessibleName(windowTitle());
    nameFields({}, {condCombo});
    m_fields->addWidget(infoCombo, 0, 0);
    m_fields->addWidget(condCombo, 0, 1);
    if (column == ListColumn::Result) {
        // Which error, when the filter is on errors.
        codeCombo = dropDownList(resultCodeLabels(), this);
        codeCombo->setMaxVisibleItems(12);
        codeCombo->setAccessibleName(tr("エラーの種類"));
        m_fields->addWidget(codeCombo, 1, 1);
        const auto follow = [this] {
            codeCombo->setEnabled(condCombo->currentIndex() + 1 == ResultCond::Error);
        };
        connect(condCombo, &QComboBox::currentIndexChanged, this, follow);
        follow();
    }
}

void CFilterCodePairDialog::setFilter(const CodePairFilter &f)
{
    m_filter = f;
    const bool set =
        f.info >= 1 && f.info <= infoCombo->count() && f.cnd >= 1 && f.cnd <= condCombo->count();
    infoCombo->setCurrentIndex(set ? f.info - 1 : -1);
    condCombo->setCurrentIndex(set ? f.cnd - 1 : -1);
    if (codeCombo)
        codeCombo->setCurrentIndex(set && f.code >= 0 && f.code < codeCombo->count() ? f.code : 0);
}

void CFilterCodePairDialog::loadFrom(const ListCondInfo &cond)
{
    setFilter(codePairFilterOf(cond, m_column));
}

void CFilterCodePairDialog::storeInto(ListCondInfo &cond) const
{
    storeCodePairFilter(cond, m_column, m_filter);
}

void CFilterCodePairDialog::onOk()
{
    applyCodePairInput(infoCombo->currentIndex(), condCombo->currentIndex(), m_filter,
                       codeCombo ? codeCombo->currentIndex() : 0);
    accept();
}

void CFilterCodePairDialog::onRelease()
{
    release(m_filter);
    accept();
}

// ---- registration kind, SIP registration -----------------------------------------

CFilterRadioDialog::CFilterRadioDialog(int column, QWidget *parent)
    : CFilterDialogBase(column, false, parent), m_group(new QButtonGroup(this))
{
    const QList<RadioChoice> choices = column == ListColumn::SipEntry     ? sipEntryChoices()
                                       : column == ListColumn::LastNotice ? silentChoices()
                                                                          : entryKindChoices();
    int row = 0;
    for (const RadioChoice &c : choices) {
        auto *button = new QRadioButton(c.label, this);
        m_group->addButton(button);
        radioButtons << button;
        radioCodes << c.code;
        m_fields->addWidget(button, row++, 0);
    }
}

void CFilterRadioDialog::setCode(int code)
{
    m_code = code;
    m_group->setExclusive(false);
    for (int i = 0; i < radioButtons.size(); ++i)
        radioButtons[i]->setChecked(radioCodes[i] == code);
    m_group->setExclusive(true);
}

void CFilterRadioDialog::loadFrom(const ListCondInfo &cond)
{
    setCode(radioCodeOf(cond, m_column));
}

void CFilterRadioDialog::storeInto(ListCondInfo &cond) const
{
    storeRadioCode(cond, m_column, m_code);
}

void CFilterRadioDialog::onOk()
{
    m_code = 0;
    for (int i = 0; i < radioButtons.size(); ++i) {
        if (radioButtons[i]->isChecked())
            m_code = radioCodes[i];
    }
    accept();
}

// ---- entry points ------------------------------------------------------------------

std::unique_ptr<CFilterDialogBase> createFilterDialog(int columnNumber, const ListCondInfo &cond,
                                                      QWidget *parent)
{
    std::unique_ptr<CFilterDialogBase> dlg;
    TextKind kind = TextKind::TermId;
    switch (dialogKindOf(columnNumber)) {
    case DialogKind::Text:
        textKindOfColumn(columnNumber, kind);
        dlg = std::make_unique<CFilterTextDialog>(kind, parent);
        break;
    case DialogKind::Date:
        dlg = std::make_unique<CFilterDateDialog>(columnNumber, parent);
        break;
    case DialogKind::OneValue:
        dlg = std::make_unique<CFilterValueDialog>(columnNumber, parent);
        break;
    case DialogKind::Alert:
    case DialogKind::Result:
    case DialogKind::FirmCheck:
        dlg = std::make_unique<CFilterCodePairDialog>(columnNumber, parent);
        break;
    case DialogKind::EntryKind:
    case DialogKind::SipEntry:
    case DialogKind::Silent:
        dlg = std::make_unique<CFilterRadioDialog>(columnNumber, parent);
        break;
    case DialogKind::None:
        return nullptr;
    }
    dlg->loadFrom(cond);
    return dlg;
}

bool runFilterDialog(int columnNumber, ListCondInfo &cond, QWidget *parent)
{
    std::unique_ptr<CFilterDialogBase> dlg = createFilterDialog(columnNumber, cond, parent);
    if (!dlg || dlg->exec() != QDialog::Accepted)
        return false;
    dlg->storeInto(cond);
    return true;
}
