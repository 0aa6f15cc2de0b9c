#pragma once
// The command window ("OMRA Command Window"): a list of ready-made texts, kept in the file
// shout.txt of the data folder, that one click sends to the server as a shout ("Shout it",
// or a double click) or as a command ("Send it"). The selected entry is edited in the field
// below the list; "Insert New" and "Delete" change the list. The list is written back when
// the field loses the focus after a change and when the window closes. One window, created
// on first use and hidden when closed (minimising it closes it too).

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <string>

#include "session/client_context.h"
#include "session/command_list.h"

namespace marovin::windows {

constexpr int kCommandWindowResource = 209;
inline constexpr char kCommandWindowTitle[] = "OMRA Command Window";

class CCommandDlg : public QDialog {
    Q_OBJECT
public:
    // filePath: the command list file (read now). context outlives the window.
    CCommandDlg(session::ClientContext& context, std::string filePath, QWidget* parent = nullptr);

    // The main frame's "Shout": shows the window; its moves are not stored from now on.
    void showWindow();
    // Writes the list when it changed.
    void save();
    // The close box and Esc: saves and hides the window.
    void reject() override;

    const session::CommandList& commands() const { return m_commands; }
    QListWidget* list() const { return m_list; }
    QLineEdit* edit() const { return m_edit; }
    QPushButton* shoutButton() const { return m_shout; }
    QPushButton* sendButton() const { return m_send; }
    QPushButton* insertButton() const { return m_insert; }
    QPushButton* deleteButton() const { return m_delete; }
    bool placementLocked() const { return m_placementLocked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fillList();
    // Selects row (none when outside the list) and puts its text in the field.
    void selectRow(int row);
    void onRowChanged(int row);
    void onEdited(const QString& text);
    void shoutIt();
    void sendIt();
    void insertNew();
    void deleteEntry();
    void placeAtCreation();

    session::ClientContext& m_context;
    std::string m_filePath;
    session::CommandList m_commands;
    QListWidget* m_list;
    QLineEdit* m_edit;
    QPushButton* m_shout;
    QPushButton* m_send;
    QPushButton* m_insert;
    QPushButton* m_delete;
    bool m_placementLocked = true;
    bool m_selecting = false;
};

} // namespace marovin::windows
