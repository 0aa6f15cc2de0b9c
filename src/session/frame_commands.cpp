#include "session/frame_commands.h"

#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::session {

std::string playerPromptTitle(std::string_view word)
{
    return std::string(word) + ": Please Input a Player's Name";
}

std::string playerCommandLine(std::string_view word, std::string_view name)
{
    return std::string(word) + " " + std::string(name) + "\r\n";
}

std::string registerLine(std::string_view email)
{
    return "register " + std::string(email) + "\r\n";
}

std::string shoutLine(std::string_view text)
{
    return "/ " + std::string(text.substr(0, big5PrefixLength(text, kShoutTextLimit))) + "\r\n";
}

std::string shoutTooLongMessage(std::size_t length)
{
    return "A shout holds at most " + std::to_string(kShoutTextLimit) + " bytes (a Chinese character takes two); this text has " +
           std::to_string(length) + ". Shorten it to shout it, or use Send it.";
}

bool accountChangedSinceLogin(const ClientContext& context)
{
    return context.session.loggedInName != fieldText(context.options.servers[0].logins[0].name);
}

std::string passwordPromptTitle(const SessionState& state)
{
    return std::string(texts::kPasswordTitleHead) + state.loggedInName + texts::kPasswordTitleMiddle +
           std::string(fieldText(state.currentPassword)) + texts::kPasswordTitleTail;
}

bool acceptableNewPassword(std::string_view password)
{
    return password.size() >= 2 && password.find(' ') == std::string_view::npos;
}

void changePassword(ClientContext& context, std::string_view newPassword, const std::function<void()>& writeSettings)
{
    const std::string line =
        "passwd " + std::string(fieldText(context.session.currentPassword)) + " " + std::string(newPassword) + "\r\n";
    copyBounded(context.session.currentPassword, newPassword);
    copyBounded(context.options.servers[0].logins[0].password, newPassword);
    if (writeSettings)
        writeSettings();
    // Not echoed: the terminal would show both passwords.
    sendCommand(context, line, false, true);
}

} // namespace marovin::session
