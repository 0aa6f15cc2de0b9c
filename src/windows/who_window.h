#pragma once
// The who window: the server's player list as a sortable table, from which a selected
// player is challenged, observed, fingered or looked up. Created hidden at start-up and
// hidden, never destroyed, when the user is done with it. The records are parsed and
// ordered in the session layer (session/who_list.h); this window shows them and turns the
// buttons into command lines.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "session/client_context.h"
#include "session/who_list.h"

namespace marovin::windows {

class ColourDisc;

class CWhoDlg : public QDialog {
    Q_OBJECT
public:
    // records: the process-wide array of kWhoRecordCapacity records; the context (its
    // options, session and connection) outlives the window.
    CWhoDlg(session::WhoRecord* records, session::ClientContext& context, QWidget* parent = nullptr);

    // The shared fixed list font, for the list and its heading.
    void setListFont(const QFont& font);
    const QFont& listFont() const { return m_listFont; }

    // A who answer: parsed (slowList: of a plain "who"), sorted and shown.
    void updateWhoList(std::string_view answer, bool slowList);
    // Sorts the records by the settings and refills the list.
    void rebuildWhoList();
    // Selects the first player named name exactly; nothing when there is none.
    void selectByName(std::string_view name);

    int whoCount() const { return m_whoCount; }
    int imOpen() const { return m_imOpen; }
    const std::string& rememberedName() const { return m_rememberedName; }
    QListWidget* list() const { return m_list; }
    QLabel* heading() const { return m_heading; }
    QRadioButton* sortButton(int key) const { return m_sortButtons.at(static_cast<std::size_t>(key)); }
    QCheckBox* openFirstBox() const { return m_openFirst; }
    QCheckBox* ratedBox() const { return m_rated; }
    QComboBox* minutesBox() const { return m_minutes; }
    QComboBox* secondsBox() const { return m_seconds; }
    QComboBox* oddsBox() const { return m_odds; }
    ColourDisc* colourDisc() const { return m_disc; }

signals:
    // The user asked for a match dialog for this player (the list's context menu).
    void matchDialogRequested(const std::string& name);

private:
    void buildButtons(QVBoxLayout* column);
    QWidget* buildSortGroup();
    QWidget* buildMatchGroup();
    void onSelectionChanged();
    void onSortChanged();
    // The selected record; with none the remembered name is emptied and the user told.
    const session::WhoRecord* selectedRecord();
    void sendFor(session::WhoCommand command, bool hideAfter);
    void sendMatch(bool hideAfter);
    void send(std::string_view line);
    void showContextMenu(const QPoint& at);

    session::WhoRecord* m_records;
    session::ClientContext& m_context;
    int m_whoCount = 0;
    int m_imOpen = 1;
    std::string m_rememberedName;
    QFont m_listFont;
    QLabel* m_heading;
    QListWidget* m_list;
    std::array<QRadioButton*, 3> m_sortButtons{};
    QCheckBox* m_openFirst = nullptr;
    QCheckBox* m_rated = nullptr;
    QComboBox* m_minutes = nullptr;
    QComboBox* m_seconds = nullptr;
    QComboBox* m_odds = nullptr;
    ColourDisc* m_disc = nullptr;
    QPushButton* m_match = nullptr;
    QPushButton* m_matchExit = nullptr;
    QPushButton* m_observe = nullptr;
};

} // namespace marovin::windows
