#pragma once
// The windows that show the answers of server commands and the dialogs built on them:
// the who window (kept by the main frame), the games list, the stored games, finger and
// alias result windows, the match dialogs with the values they share, and the message and
// plan dialogs. The session's desktop port hands the answers here; the main frame's Who,
// Games, stored games, match, message and plan dialog commands are wired here too.

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <optional>
#include <string_view>
#include <vector>

#include "session/client_context.h"
#include "session/match_request.h"
#include "windows/games_window.h"
#include "windows/match_dialog.h"
#include "windows/message_dialogs.h"

namespace marovin::windows {

class CMainFrame;

// How many windows of one kind server answers may keep open (finger, alias result, stored
// games, received message): each such window costs a megabyte or so in the program and
// in the display server, and a server may send answers without end.
constexpr int kAnswerWindowLimit = 10;

// The open windows that one kind of server answer opened, oldest first.
class AnswerWindows {
public:
    // The oldest window, made the newest, when kAnswerWindowLimit are open; null otherwise.
    QDialog* reuseOldestWhenFull();
    // Whether kAnswerWindowLimit are open.
    bool full();
    void add(QDialog* window) { m_open.emplace_back(window); }

private:
    std::vector<QPointer<QDialog>> m_open;
};

class CommandWindows : public QObject {
    Q_OBJECT
public:
    // frame and context outlive this object.
    CommandWindows(CMainFrame& frame, session::ClientContext& context);
    // Match dialogs still open go first: they count themselves out of lastMatch.
    ~CommandWindows() override;

    void updateWhoList(std::string_view answer, int kind);
    void showWhoWindow();
    // Shows the games window, creating it when there is none, and fills it.
    void updateGamesList(std::string_view answer);
    void createStoredGamesWindow(std::string_view answer);
    void createFingerWindow(std::string_view answer);
    void openAliasResult(std::string_view answer);
    // A match dialog, when the rules admit one (see admitMatchDialog); null otherwise.
    CMatchDlg* openMatchDialog(const session::MatchOpening& opening);
    // A new message dialog: with a received message's text (it does not take the keyboard),
    // or from the menu (it does). Null, with a terminal line saying so, when
    // kAnswerWindowLimit windows of received messages are open.
    CMessageDlg* openMessageDialog(std::optional<std::string_view> received);
    CPlanDlg* openPlanDialog();

    CGamesDlg* gamesWindow() const { return m_gamesWindow; }
    session::LastMatch& lastMatch() { return m_lastMatch; }

private:
    void wireFrameCommands();
    // Shows a window in front (unless the user is answering a question). A window that
    // server output opens leaves the keyboard with the input line: what the user is
    // typing there is not lost. Closing it gives the input line its focus back.
    enum class Focus { Keep, Take };
    void present(QDialog* window, Focus focus = Focus::Keep);
    // Places a new message or plan window.
    void cascade(QDialog* dialog);
    // One terminal line: the answer of kind did not get a window of its own.
    void tellAnswerNotInNewWindow(std::string_view kind, std::string_view where);
    // A finger or alias answer in a new window, or in the oldest of windows when full.
    void showTextAnswer(AnswerWindows& windows, const char* title, std::string_view kind, std::string_view answer);

    CMainFrame& m_frame;
    session::ClientContext& m_context;
    session::LastMatch m_lastMatch;
    QPointer<CGamesDlg> m_gamesWindow;
    std::vector<QPointer<CMatchDlg>> m_matchDialogs;
    AnswerWindows m_fingerWindows;
    AnswerWindows m_aliasWindows;
    AnswerWindows m_storedWindows;
    AnswerWindows m_messageWindows; // received messages (those the user opens are not counted)
};

} // namespace marovin::windows
