#pragma once
// The main frame's commands that send one line to the server: the Command menu (the
// commands that ask for a player's name, the rankings, the "Set ..." submenus, Register
// and Change Password) and the tool bar's two shout buttons. Register and Change Password
// are enabled only while logged in.

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "options/options.h"
#include "session/client_context.h"

namespace marovin::windows {

class CMainFrame;

class ServerCommands : public QObject {
    Q_OBJECT
public:
    // Asks for one value under title, at most maximum bytes; nothing when cancelled.
    using Prompter = std::function<std::optional<std::string>(std::string_view title, int maximum)>;

    // frame, context and settings outlive this object.
    ServerCommands(CMainFrame& frame, session::ClientContext& context, const SettingsFile& settings);

    // Register and Change Password follow the login state (also done whenever the Command
    // menu opens).
    void refreshEnabled();
    // Replaces the prompt window (CTextPromptDlg), for tests.
    void setPrompter(Prompter prompter) { m_prompt = std::move(prompter); }

private:
    void wire(const char* action, std::function<void()> handler);
    void send(std::string_view line);
    void askPlayerName(std::string_view word);
    void askEmail();
    void changePassword();

    CMainFrame& m_frame;
    session::ClientContext& m_context;
    const SettingsFile& m_settings;
    Prompter m_prompt;
};

} // namespace marovin::windows
