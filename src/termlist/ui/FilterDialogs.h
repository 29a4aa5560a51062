#pragma once
// The column filter dialogs of the terminal list. Each one edits exactly the
// filter fields of its column: the caller sets the result members (setFilter
// or setCode), runs the dialog, and reads them back only when it ended with
// OK. The OK and release handlers are public so that they can be driven
// without a running modal loop.

#include "termlist/FilterValidation.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct ListCondInfo;

// Buttons and layout shared by the family: the fields above, then "OK",
// "ｷｬﾝｾﾙ" and, where the dialog has one, "解除".
class CFilterDialogBase : public QDialog
{
    Q_OBJECT
public:
    // The column's fields out of / back into the list condition.
    virtual void loadFrom(const ListCondInfo &cond) = 0;
    virtual void storeInto(ListCondInfo &cond) const = 0;

    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *releaseButton() const { return m_release; } // nullptr when absent

public slots:
    virtual void onOk() = 0;
    virtual void onRelease() {}

protected:
    CFilterDialogBase(int column, bool withRelease, QWidget *parent);
    // Shows a refusal under "入力エラー" and moves the focus to `field`.
    void refuse(const ListFilter::Check &check, QLineEdit *field);
    // Names the value fields and condition lists for screen readers.
    void nameFields(const QList<QLineEdit *> &values, const QList<QComboBox *> &conditions);

    QGridLayout *m_fields;
    int m_column;

private:
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QPushButton *m_release = nullptr;
};

// Join radio buttons "または" / "かつ", none checked when the filter has no
// second clause.
class CJoinButtons
{
public:
    CJoinButtons(QWidget *parent);
    QRadioButton *orButton;
    QRadioButton *andButton;
    int join() const; // 0, 1 or 2
    void setJoin(int join);

private:
    QButtonGroup *m_group;
};

// Terminal ID, IP address, MAC address, application and boot version.
class CFilterTextDialog : public CFilterDialogBase
{
    Q_OBJECT
public:
    explicit CFilterTextDialog(ListFilter::TextKind kind, QWidget *parent = nullptr);

    void setFilter(const ListFilter::TextFilter &f);
    const ListFilter::TextFilter &filter() const { return m_filter; }
    void loadFrom(const ListCondInfo &cond) override;
    void storeInto(ListCondInfo &cond) const override;

    QLineEdit *valueEdit1;
    QLineEdit *valueEdit2;
    QComboBox *condCombo1;
    QComboBox *condCombo2;
    CJoinButtons joinButtons;

public slots:
    void onOk() override;
    void onRelease() override;

private:
    ListFilter::TextKind m_kind;
    ListFilter::TextFilter m_filter;
};

// Registration date and result date.
class CFilterDateDialog : public CFilterDialogBase
{
    Q_OBJECT
public:
    explicit CFilterDateDialog(int column, QWidget *parent = nullptr);

    void setFilter(const ListFilter::DateFilter &f);
    const ListFilter::DateFilter &filter() const { return m_filter; }
    void loadFrom(const ListCondInfo &cond) override;
    void storeInto(ListCondInfo &cond) const override;

    struct DateFields {
        QLineEdit *year;
        QLineEdit *month;
        QLineEdit *day;
        QComboBox *cond;
    };
    DateFields first;
    DateFields second;
    CJoinButtons joinButtons;

public slots:
    void onOk() override;
    void onRelease() override;

private:
    QLineEdit *fieldFor(ListFilter::Focus focus) const;
    ListFilter::DateFilter m_filter;
};

// Vendor and machine name: one text with a two-way condition.
class CFilterValueDialog : public CFilterDialogBase
{
    Q_OBJECT
public:
    explicit CFilterValueDialog(int column, QWidget *parent = nullptr);

    void setFilter(const ListFilter::OneValueFilter &f);
    const ListFilter::OneValueFilter &filter() const { return m_filter; }
    void loadFrom(const ListCondInfo &cond) override;
    void storeInto(ListCondInfo &cond) const override;

    QLineEdit *valueEdit;
    QComboBox *condCombo;

public slots:
    void onOk() override;
    void onRelease() override;

private:
    ListFilter::OneValueFilter m_filter;
};

// Alert state, operation kind or firmware check state, with its condition
// combo (and, for the result, the error it narrows to).
class CFilterCodePairDialog : public CFilterDialogBase
{
    Q_OBJECT
public:
    explicit CFilterCodePairDialog(int column, QWidget *parent = nullptr);

    void setFilter(const ListFilter::CodePairFilter &f);
    const ListFilter::CodePairFilter &filter() const { return m_filter; }
    void loadFrom(const ListCondInfo &cond) override;
    void storeInto(ListCondInfo &cond) const override;

    QComboBox *infoCombo;
    QComboBox *condCombo;
    QComboBox *codeCombo = nullptr; // result only

public slots:
    void onOk() override;
    void onRelease() override;

private:
    ListFilter::CodePairFilter m_filter;
};

// Registration kind, SIP registration state and silence: one radio button
// per code.
class CFilterRadioDialog : public CFilterDialogBase
{
    Q_OBJECT
public:
    explicit CFilterRadioDialog(int column, QWidget *parent = nullptr);

    void setCode(int code);
    int code() const { return m_code; }
    void loadFrom(const ListCondInfo &cond) override;
    void storeInto(ListCondInfo &cond) const override;

    QList<QRadioButton *> radioButtons; // in the order shown
    QList<int> radioCodes;

public slots:
    void onOk() override;

private:
    QButtonGroup *m_group;
    int m_code = 0;
};

// The dialog of a list column with its fields loaded from `cond`; nullptr for
// a column without filter.
std::unique_ptr<CFilterDialogBase> createFilterDialog(int columnNumber, const ListCondInfo &cond,
                                                      QWidget *parent);

// Opens the filter dialog of list column `columnNumber` (1..18) with the
// column's current filter fields from `cond`, modally. On OK the new fields are
// copied into `cond` and the answer is true; on cancel, a closed window or a
// column without filter `cond` is left as it was and the answer is false.
bool runFilterDialog(int columnNumber, ListCondInfo &cond, QWidget *parent);
