#pragma once
// Windows that fit the screen: a scroll area that wants its whole content
// (the window, not the area, is capped at the screen), and the cap itself.

#include <QScrollArea>

class ScreenFit
{
public:
    // A frameless scroll area holding `content`, sized to show all of it.
    static QScrollArea *scrollable(QWidget *content, QWidget *parent);

    // The size a window's frame leaves for its contents on its screen.
    static QSize room(const QWidget *window);

    // Gives the window its preferred size, capped at the room of its screen
    // (a scroll area inside it then scrolls what doesn't fit); a window
    // already shown moves back onto the screen.
    static void resizeToFit(QWidget *window);
};
