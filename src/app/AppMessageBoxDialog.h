#pragma once
// The program's own modal message box: its geometry from a width code and a
// line count, grown to its text where that needs more room; one of four
// icons, OK or Yes/No.

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

class AppMessageBoxDialog : public QDialog
{
    Q_OBJECT
public:
    // handleSlot, when given, holds the box while it is open so that another
    // part of the program can close it from outside (closeFromOutside()).
    AppMessageBoxDialog(int widthCode, int lineCount, const QString &text, const QString &caption,
                        unsigned type, QWidget *parent = nullptr,
                        QPointer<AppMessageBoxDialog> *handleSlot = nullptr);
    ~AppMessageBoxDialog() override;

    // Box width in pixels for a width code.
    static int boxWidth(int widthCode);

    // Runs the box modally: 1 (OK), 6 (Yes) or 7 (No, or closed).
    int run();

    bool closedFromOutside() const { return m_closedFromOutside; }

    QLabel *textLabel() const { return m_text; }
    QLabel *iconLabel() const { return m_icon; }
    QPushButton *yesButton() const { return m_yes; }
    QPushButton *noButton() const { return m_no; }
    QPushButton *okButton() const { return m_ok; }

public slots:
    // The box ends with 7 and remembers that it was closed from outside.
    void closeFromOutside();

protected:
    void showEvent(QShowEvent *e) override;

private:
    // The room a text needs, wrapped when it is wider than `width`.
    QSize textArea(const QString &text, int width) const;

    QLabel *m_text = nullptr;
    QLabel *m_icon = nullptr;
    QPushButton *m_yes = nullptr;
    QPushButton *m_no = nullptr;
    QPushButton *m_ok = nullptr;
    unsigned m_type = 0;
    bool m_closedFromOutside = false;
    QPointer<AppMessageBoxDialog> *m_handleSlot = nullptr;
};
