#pragma once
// An IPv4 address input of four number fields with dots between them, as
// the address controls of the terminals' tools behave: three digits or a dot
// move on to the next field, backspace in an empty field goes back, a field
// above 255 becomes 255. Blank when every field is empty.

#include <QWidget>

#include <array>

class QLineEdit;

class Ipv4Edit : public QWidget
{
    Q_OBJECT
public:
    explicit Ipv4Edit(QWidget *parent = nullptr);

    // "" when blank, else "a.b.c.d" (an empty field counts 0).
    QString text() const;
    // "a.b.c.d" fills the fields; anything else leaves them blank.
    void setText(const QString &dotted);
    // The same tooltip on the four fields.
    void setFieldToolTip(const QString &tip);
    QLineEdit *field(int i) const { return m_fields[i]; }
    // Whether the widget holds the focus in one of its fields.
    bool holdsFocus() const;

signals:
    // The focus went to a widget outside the four fields.
    void left();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void onEdited(int i);
    void focusField(int i, bool atStart);

    std::array<QLineEdit *, 4> m_fields{};
};
