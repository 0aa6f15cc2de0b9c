#pragma once
// ExplorerPane: the opening explorer beside a game window's board.
//
// For the position the window shows it lists every move played from it in the game
// database chosen in the settings, most played first, with the number of games, Red's
// wins, the draws and Black's wins, as numbers and as a bar. A click on a move plays it
// on the board (a side line where the game went otherwise). It follows every change of
// the shown position; the list never takes the keyboard from the input line.

#include <QTreeWidget>
#include <QWidget>

#include "database/game_search.h"
#include "model/game.h"

class QLabel;

namespace marovin::board {

class ExplorerPane : public QWidget {
    Q_OBJECT
public:
    explicit ExplorerPane(model::CGame& game, QWidget* parent = nullptr);

    // The window lets its game go.
    void detach();
    // The database to ask (null: none is chosen); name is shown above the list.
    void setDatabase(database::GameDatabase* database, const QString& name);
    // The pane was asked for from the menu (true) or put away.
    void setWanted(bool wanted);
    bool wanted() const { return m_wanted; }
    // The shown position may have changed: the list catches up at once.
    void positionChanged();

    QTreeWidget* list() const { return m_list; }
    QString titleText() const;

signals:
    // A move of the list was played on the board.
    void movePlayed();

private:
    void refresh();
    void play(QTreeWidgetItem* item);

    model::CGame* m_game;
    database::GameDatabase* m_database = nullptr;
    QString m_name;
    bool m_wanted = false;
    bool m_refreshDue = false;
    QLabel* m_title;
    QTreeWidget* m_list;
};

} // namespace marovin::board
