#pragma once
// The settings editor: one modal dialog generated from a settings
// description. Each section with the tab flag is a tab with a scrolling page;
// each visible entry a 40-pixel row with its label, the common file's check
// box, the input of its type, the "..." button of a file path and the
// explanation line. The rules live in SettingsForm; this class draws the
// form's state and hands it the user's input.

#include "editor/SettingsForm.h"

#include <QDialog>

#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class SettingsPage;

class SettingsEditorDialog : public QDialog, private IFormView
{
    Q_OBJECT
public:
    // The description stays the caller's; null refuses (refusal()).
    SettingsEditorDialog(SettingsDescription *description, const LoaderInputs &inputs,
                         QWidget *parent = nullptr);
    ~SettingsEditorDialog() override;

    // Why the dialog can't open (SettingsForm::refusal); 0 when it can.
    int refusal() const { return m_refusal; }
    // Builds the form. False when the description fails the form's checks
    // (logged, the description error box shown): the dialog then ends as
    // cancelled. Runs once; run() calls it when needed.
    bool buildForm();
    // Shows the dialog modally. Answers the refusal code without showing
    // when it can't open, else 0 (saved() tells how it ended).
    int run();

    bool saved() const { return m_saved; }
    // Saved, a terminal's file was written and "端末書込み" was checked.
    bool writeToTerminal() const { return m_saved && m_form && m_form->writeToTerminal(); }
    SettingsForm *form() const { return m_form.get(); }

    // The widgets of an entry's row (null where it has none) and the fixed
    // controls, for the program's tests.
    QWidget *input(int entry) const;
    QLabel *label(int entry) const;
    QCheckBox *checkBox(int entry) const;
    QLabel *explanation(int entry) const;
    QPushButton *browseButton(int entry) const;
    QTabWidget *tabs() const { return m_tabs; }
    SettingsPage *page(int index) const;
    QCheckBox *writeBox() const { return m_writeBox; }
    QPlainTextEdit *messageBox() const { return m_message; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    // A correction of invalid input waits to take the focus back.
    bool correctionPending() const { return m_correctionPending; }

    // The font of the form: a Japanese sans-serif face at 12 pixels.
    static QFont formFont();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Row {
        QLabel *label = nullptr;
        QCheckBox *check = nullptr;
        QWidget *input = nullptr;
        QPushButton *browse = nullptr;
        QLabel *explain = nullptr;
    };

    void buildFixedControls();
    void buildRow(int entry, QWidget *content);
    void showRow(int entry);
    // The user left an entry's input: check it.
    SettingsForm::Commit leave(int entry);
    // The input shows other text than the form holds (not checked yet).
    bool edited(int entry) const;
    void onOk();
    void ended(SettingsForm::Commit commit);

    // IFormView
    void entryChanged(int entry) override;
    void bringForward(int entry) override;
    void setMessage(const QString &text) override;

    SettingsDescription *m_desc;
    LoaderInputs m_inputs;
    int m_refusal = 0;
    std::unique_ptr<SettingsForm> m_form;
    bool m_built = false;
    bool m_buildOk = false;
    bool m_saved = false;
    bool m_correctionPending = false;
    bool m_closing = false;
    std::vector<Row> m_rows;
    std::vector<SettingsPage *> m_pages;
    QTabWidget *m_tabs = nullptr;
    QCheckBox *m_writeBox = nullptr;
    QLabel *m_messageLabel = nullptr;
    QPlainTextEdit *m_message = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
