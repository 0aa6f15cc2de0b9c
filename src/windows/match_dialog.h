#pragma once
// The match dialog ("Match Dialog"): composes a "match" line to challenge a player or to
// answer a challenge, showing the line as it will be sent. It starts from the values last
// used in this run; OK makes its values the last ones. Several may be open (at most five,
// counted in LastMatch); each is destroyed when closed.

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include <array>
#include <optional>
#include <string>

#include "session/client_context.h"
#include "session/match_request.h"

namespace marovin::windows {

class ColourDisc;

class CMatchDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog has been counted in last (admitMatchDialog); it counts itself out when it
    // is destroyed. context and last outlive it.
    CMatchDlg(session::ClientContext& context, session::LastMatch& last, QWidget* parent = nullptr);
    ~CMatchDlg() override;

    // The line composed from the controls, without line end.
    const std::string& matchLine() const { return m_matchLine; }
    // The values the controls hold now (the name as typed).
    session::MatchTerms terms() const;

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* lineEdit() const { return m_lineView; }
    QRadioButton* ratedButton(int index) const { return m_rated.at(static_cast<std::size_t>(index)); }
    QRadioButton* oddsButton(int index) const { return m_odds.at(static_cast<std::size_t>(index)); }
    QComboBox* minutesBox() const { return m_minutes; }
    QComboBox* secondsBox() const { return m_seconds; }
    ColourDisc* colourDisc() const { return m_disc; }

signals:
    // "Choose": the user wants to pick the player in the who window.
    void chooseRequested();

private:
    QWidget* buildPlayerGroup();
    QWidget* buildColourGroup();
    QWidget* buildTimeGroup();
    QWidget* buildOddsGroup();
    void compose();
    // The trimmed name, or none after telling the user and focusing the name.
    std::optional<std::string> checkedName();
    void onOk();
    void onBusy();
    void send(std::string_view line);

    session::ClientContext& m_context;
    session::LastMatch& m_last;
    std::string m_matchLine;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_lineView = nullptr;
    std::array<QRadioButton*, 2> m_rated{};
    std::array<QRadioButton*, 3> m_odds{};
    QComboBox* m_minutes = nullptr;
    QComboBox* m_seconds = nullptr;
    ColourDisc* m_disc = nullptr;
};

} // namespace marovin::windows
