#pragma once
// The stored games window: the games the server keeps for a player, one entry "K  word"
// each, from which a game is restarted or fetched. A new window for every answer (up to a
// limit, past which the oldest shows the next); it lives until it is closed.

#include <QDialog>
#include <QListWidget>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/client_context.h"

namespace marovin::windows {

class CStoredGamesDlg : public QDialog {
    Q_OBJECT
public:
    // Fills the list (in listFont) from the answer, selects the first entry and sets the
    // title.
    CStoredGamesDlg(session::ClientContext& context, std::string_view answer, const QFont& listFont,
                    QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    // Shows another answer's games in place of those shown (the first is selected).
    void showAnswer(std::string_view answer);

private:
    // Sends the command for the selected entry (none: the double click's choice) and
    // closes the window for an adjourned game. setOpenFirst: "Restart" sends
    // "set open on" before.
    void chooseStoredGame(std::optional<std::string_view> command, bool setOpenFirst = false);

    session::ClientContext& m_context;
    QListWidget* m_list;
    std::vector<std::string> m_entries;
};

} // namespace marovin::windows
