#pragma once
// One tab of the settings editor: a scrolling page that holds the rows of a
// section. It scrolls by 40-pixel rows (a line step from between two rows
// goes to the next row boundary) and by 320 pixels a page.

#include <QScrollArea>

class SettingsPage : public QScrollArea
{
    Q_OBJECT
public:
    static constexpr int LineStep = 40;
    static constexpr int PageStep = 320;

    explicit SettingsPage(int contentHeight, QWidget *parent = nullptr);

    // The widget the rows are placed on.
    QWidget *content() const { return m_content; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void onAction(int action);

    QWidget *m_content;
    int m_contentHeight;
    int m_wheel = 0;
};
