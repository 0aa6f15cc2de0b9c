#pragma once
// The tell window: a modeless chat window, created hidden at start-up, that gathers the
// private conversation out of the busy terminal. The scanner adds incoming tells, the
// server's "Player ..." and "Channel ..." replies, kibitzes and (with "Collect Shout")
// shouts; Enter sends "tell NAME MESSAGE" and adds it too. Closing it or Esc only hides it.
//
// The conversation keeps at most about 1000 lines and 20000 characters: past 1000 lines
// the oldest quarter of the lines goes, then past 20000 characters the oldest quarter of
// the characters. The player name is taken from the first incoming tell of the run only.

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QTextEdit>

#include <string_view>

#include "session/client_context.h"

namespace marovin::shell {

constexpr int kTellWindowResource = 211;
constexpr int kTellNameLimit = 16;
constexpr int kTellLineLimit = 1000;
constexpr int kTellCharacterLimit = 20000;

class CTellWindow : public QDialog {
    Q_OBJECT
public:
    // context (its options, desktop and connection) outlives the window.
    CTellWindow(session::ClientContext& context, QWidget* parent = nullptr);

    // Adds a line (Big5) to the conversation in the face, size and colour of format.
    void appendTellLine(std::string_view text, TextFormatId format);
    // The name field shows name unless a name was set already this run (force: always).
    void setPlayerName(std::string_view name, bool force);
    // The conversation's background follows the terminal's output background.
    void refreshTellColours();
    // Enter: sends "tell NAME MESSAGE" and adds it to the conversation.
    void sendTell();

    QTextEdit* conversation() const { return m_conversation; }
    QLineEdit* nameField() const { return m_name; }
    QLineEdit* messageField() const { return m_message; }
    QCheckBox* collectShoutBox() const { return m_collectShout; }

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void storePlacement();
    void trimConversation();

    session::ClientContext& m_context;
    QTextEdit* m_conversation;
    QLineEdit* m_name;
    QLineEdit* m_message;
    QCheckBox* m_collectShout;
    bool m_nameMayBeSet = true;
    bool m_initialising = true;
};

} // namespace marovin::shell
