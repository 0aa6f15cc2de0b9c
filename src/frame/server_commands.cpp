#include "frame/server_commands.h"

#include <QAction>
#include <QMenu>

#include "session/frame_commands.h"
#include "support/fixed_text.h"
#include "frame/main_frame.h"
#include "widgets/text_prompt_dialog.h"

namespace marovin::windows {

namespace {

// The lines of the "Set ..." submenus, by the command's object name. Show sends "off" and
// Hide "on" for the address and the rating: they set whether it is hidden.
struct SetCommand {
    const char* action;
    std::string_view line;
};
constexpr SetCommand kSetCommands[] = {
    {"actionSetOpenON", "set open on\r\n"},          {"actionSetOpenOFF", "set open off\r\n"},
    {"actionSetShoutON", "set shout on\r\n"},        {"actionSetShoutOFF", "set shout off\r\n"},
    {"actionSetQuietON", "set quiet on\r\n"},        {"actionSetQuietOFF", "set quiet off\r\n"},
    {"actionSetBellON", "set bell on\r\n"},          {"actionSetBellOFF", "set bell off\r\n"},
    {"actionSetAddressShow", "set address off\r\n"}, {"actionSetAddressHide", "set address on\r\n"},
    {"actionSetRatingShow", "set unrated off\r\n"},  {"actionSetRatingHide", "set unrated on\r\n"},
};

// The commands that ask for a player's name first, with their command words.
struct NameCommand {
    const char* action;
    std::string_view word;
};
constexpr NameCommand kNameCommands[] = {
    {"actionStoredGame", "stored"},
    {"actionFinger", "finger"},
    {"actionHistory", "history"},
    {"actionWaiting", "waiting"},
};

} // namespace

ServerCommands::ServerCommands(CMainFrame& frame, session::ClientContext& context, const SettingsFile& settings)
    : QObject(&frame), m_frame(frame), m_context(context), m_settings(settings)
{
    m_prompt = [this](std::string_view title, int maximum) -> std::optional<std::string> {
        std::string text;
        CTextPromptDlg prompt(text, title, maximum, m_context.desktop, &m_frame);
        if (prompt.exec() != QDialog::Accepted)
            return std::nullopt;
        return text;
    };
    for (const NameCommand& command : kNameCommands)
        wire(command.action, [this, word = command.word] { askPlayerName(word); });
    for (const SetCommand& command : kSetCommands)
        wire(command.action, [this, line = command.line] { send(line); });
    // Sent without a line end: sendCommand adds it.
    wire("actionFastRanking", [this] { send("? fast"); });
    wire("actionSlowRanking", [this] { send("? best"); });
    wire("actionRegister", [this] { askEmail(); });
    wire("actionChangePassword", [this] { changePassword(); });
    wire("actionShoutSeek", [this] { send(session::shoutLine(fieldText(m_context.options.seekText))); });
    wire("actionShoutThanks", [this] { send(session::shoutLine(fieldText(m_context.options.thanksText))); });
    for (QObject* owner : m_frame.action(QStringLiteral("actionRegister"))->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(owner))
            connect(menu, &QMenu::aboutToShow, this, &ServerCommands::refreshEnabled);
    refreshEnabled();
}

void ServerCommands::wire(const char* action, std::function<void()> handler)
{
    QAction* command = m_frame.action(QString::fromLatin1(action));
    command->setEnabled(true);
    connect(command, &QAction::triggered, this, std::move(handler));
}

void ServerCommands::refreshEnabled()
{
    const bool loggedIn = session::isLoggedIn(m_context.session);
    m_frame.action(QStringLiteral("actionRegister"))->setEnabled(loggedIn);
    m_frame.action(QStringLiteral("actionChangePassword"))->setEnabled(loggedIn);
}

void ServerCommands::send(std::string_view line)
{
    session::sendCommand(m_context, line, true, true);
}

void ServerCommands::askPlayerName(std::string_view word)
{
    if (const auto name = m_prompt(session::playerPromptTitle(word), session::kPlayerNameLimit))
        send(session::playerCommandLine(word, *name));
    m_frame.focusInputLine();
}

void ServerCommands::askEmail()
{
    if (const auto email = m_prompt(session::kRegisterPromptTitle, session::kEmailLimit))
        send(session::registerLine(*email));
    m_frame.focusInputLine();
}

void ServerCommands::changePassword()
{
    if (session::accountChangedSinceLogin(m_context)) {
        m_context.desktop.messageBox(session::texts::kAccountChanged);
        return;
    }
    const auto password = m_prompt(session::passwordPromptTitle(m_context.session), session::kNewPasswordLimit);
    if (!password)
        return;
    if (!session::acceptableNewPassword(*password)) {
        m_context.desktop.messageBox(session::texts::kBadNewPassword);
        return;
    }
    session::changePassword(m_context, *password, [this] { m_settings.save(m_context.options); });
    m_frame.focusInputLine();
}

} // namespace marovin::windows
