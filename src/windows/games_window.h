#pragma once
// The games list window: the answer to "games" line by line, unchanged, in the list font,
// with the strongest game preselected; a game is observed with a button or a double click.
// The scanner's answer creates it when it does not exist; its buttons and the close box
// destroy it.

#include <QDialog>
#include <QListWidget>

#include <string>
#include <string_view>
#include <vector>

#include "session/client_context.h"

namespace marovin::windows {

class CGamesDlg : public QDialog {
    Q_OBJECT
public:
    CGamesDlg(session::ClientContext& context, QWidget* parent = nullptr);

    // Fills the list from an answer, preselects the strongest game and sets the title.
    void updateGamesList(std::string_view answer, const QFont& listFont);
    QListWidget* list() const { return m_list; }

private:
    // Sends "observe N" for the selected line; false (the user told) when there is no game.
    bool observeSelected();

    session::ClientContext& m_context;
    QListWidget* m_list;
    std::vector<std::string> m_lines; // the answer's lines as received, one per list line
};

} // namespace marovin::windows
