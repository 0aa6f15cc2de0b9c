#pragma once
// The Window menu's own part: "&Cascade" and "&Tile" beside "&Arrange Icons", and at its
// end a list of the open windows of the area (game windows by caption, the terminal) in
// the order they were opened, the active one checked. Choosing one brings it to the front
// (restored when it was minimised) and the input line keeps the keyboard. The list is made
// anew each time the menu opens.

#include <QList>
#include <QObject>

class QAction;
class QMenu;

namespace marovin::windows {

class CMainFrame;

class WindowList : public QObject {
    Q_OBJECT
public:
    // frame must outlive this object.
    explicit WindowList(CMainFrame& frame);

    // The list's entries as the menu shows them now (made anew).
    const QList<QAction*>& refresh();

private:
    CMainFrame& m_frame;
    QMenu* m_menu = nullptr;
    QAction* m_separator = nullptr;
    QList<QAction*> m_entries;
};

} // namespace marovin::windows
