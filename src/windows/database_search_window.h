#pragma once
// SearchWindow ("Search Game Database"): finds games of the chosen game database by the
// shown position (in any move order), by player, event, date range and result, and lists
// them; a double click or Enter on a game opens it in a game window of its own.

#include <QWidget>

#include <functional>
#include <optional>

#include "database/game_search.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace marovin::windows {

class SearchWindow : public QWidget {
    Q_OBJECT
public:
    // The position of the active game window, if there is one.
    using PositionSource = std::function<std::optional<std::pair<model::Board, bool>>()>;
    SearchWindow(PositionSource position, QWidget* parent = nullptr);

    // The database to search (null: none chosen).
    void setDatabase(database::GameDatabase* database, const QString& name);
    // Runs the search of the fields.
    void search();

    QLineEdit* playerField() const { return m_player; }
    QLineEdit* eventField() const { return m_event; }
    QLineEdit* fromField() const { return m_from; }
    QLineEdit* toField() const { return m_to; }
    QComboBox* resultChoice() const { return m_result; }
    QCheckBox* positionChoice() const { return m_position; }
    QTreeWidget* results() const { return m_list; }
    QString statusText() const;

signals:
    void openGame(qint64 id);

private:
    std::optional<database::SearchQuery> query();

    PositionSource m_positionSource;
    database::GameDatabase* m_database = nullptr;
    QLineEdit* m_player;
    QLineEdit* m_event;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QComboBox* m_result;
    QCheckBox* m_position;
    QLabel* m_status;
    QTreeWidget* m_list;
};

} // namespace marovin::windows
