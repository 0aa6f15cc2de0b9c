#pragma once
// CMoveListView: the move list of a game window, a painted view over its game's record
// (see MoveListItems for the order, MoveListLayout for the rows). The shown move is
// highlighted and kept in view; while the user looks back at an earlier position of a live
// game, the live game's last move is marked green, as the status bar's move number is. A
// move with a note carries a small mark, and the note's first line is its tool tip.
//
// The record tells the window of every change; the window tells the list (gameChanged),
// which brings itself up to date once the event at hand is handled, redoing texts and rows
// only from the first move that changed. Only the rows in view are painted.
//
// Walking it: a click on a move shows that position (goToMove: only in the normal mode,
// like every navigation). The list takes the keyboard only when asked (takeKeyboard);
// then Up, Down, PageUp, PageDown, Home, End, Left and Right walk the record (see
// MoveListKey), Escape gives the keyboard back to the input line, and a key that types
// text goes to the input line with the keyboard, so nothing typed is lost. A window
// activation that lands the keyboard here hands it back too.
//
// The context menu (right click, or the menu key) on a move shows that move first, then
// offers Promote Variation, Delete From Here and Add/Edit Note, as the window allows them.

#include <QAbstractScrollArea>
#include <QMenu>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

#include "game_window/game_command_rules.h"
#include "game_window/game_view.h"
#include "game_window/move_list_keys.h"
#include "game_window/move_list_layout.h"
#include "game_window/move_list_settings.h"

namespace marovin::board {

// What the list asks of its window.
struct MoveListHost {
    std::function<bool(GameCommand)> enabled; // Promote Variation, Delete Moves
    std::function<void(GameCommand)> run;
    std::function<void()> editNote; // the note pane takes the keyboard
};

class CMoveListView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CMoveListView(model::CGame& game, QWidget* parent = nullptr);

    void detach();
    void setInputLineLink(InputLineLink link) { m_input = std::move(link); }
    void setHost(MoveListHost host) { m_host = std::move(host); }
    void setNotation(model::MoveNotation notation);
    model::MoveNotation notation() const { return m_notation; }

    // The record or the shown position may have changed: the list catches up after the
    // event at hand.
    void gameChanged();
    // Catches up now.
    void refresh();
    // The list's key: shows the move it goes to. False when nothing moved.
    bool walk(MoveListKey key);
    // Shows the move of item i (a click). False when nothing moved.
    bool showItem(int i);
    // Gives the list the keyboard, the shown move in view.
    void takeKeyboard();

    // What the list holds, brought up to date first: the items, their rows, the shown
    // move's item and the live end's (-1: none), each row's text as drawn (the main line's
    // number, then its moves, separated by blanks; an empty Red half reads "..."), and an
    // item's rectangle in the viewport.
    const std::vector<MoveItem>& items();
    const MoveListLayout& layout();
    int currentItem();
    int liveEndItem();
    QStringList rowTexts();
    QRect itemRect(int i);
    // The context menu, while open.
    QMenu* contextMenu() const { return m_menu.data(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    MoveListMetrics measureMetrics() const;
    void measureFrom(int first);
    void placeScrollBar();
    void keepInView(int item);
    int itemUnder(QPoint viewportPoint);
    void paintRow(QPainter& painter, const MoveRow& row, int y, bool browsingBack);
    void returnFocus();
    QString noteTip(int item) const;

    model::CGame* m_game;
    model::MoveNotation m_notation = model::MoveNotation::Chinese;
    MoveListItems m_items;
    MoveListLayout m_layout;
    std::vector<QString> m_labels; // each item's label as drawn
    int m_widestMain = 0;          // the widest main-line move so far
    int m_current = -1;
    int m_liveEnd = -1;
    bool m_due = false; // a refresh is scheduled
    MoveListHost m_host;
    InputLineLink m_input;
    QPointer<QMenu> m_menu;
};

} // namespace marovin::board
