#pragma once
// The main frame's server commands that are more than a fixed line: the lines composed
// from a prompted value, and changing the password.
//
//   "stored NAME\r\n", "finger NAME\r\n", "history NAME\r\n", "waiting NAME\r\n"
//   "register EMAIL\r\n"
//   "/ TEXT\r\n"                 (a shout text of the options record)
//   "passwd OLD NEW\r\n"         (only after the settings file holds NEW)

#include <functional>
#include <string>
#include <string_view>

#include "session/client_context.h"

namespace marovin::session {

constexpr int kPlayerNameLimit = 20;  // the player-name prompt
constexpr int kEmailLimit = 200;      // the register prompt
constexpr int kNewPasswordLimit = 11; // the change-password prompt
constexpr std::size_t kShoutLineLimit = 1000;
constexpr std::size_t kShoutTextLimit = kShoutLineLimit - 4; // "/ " and the line end go with it

inline constexpr char kRegisterPromptTitle[] = "Register OMRA: Please Input Your Email Address";

// "%s: Please Input a Player's Name" with the command word ("stored", "finger", ...).
std::string playerPromptTitle(std::string_view word);
// "%s %s\r\n": the command word, one blank, the name (an empty name is sent too).
std::string playerCommandLine(std::string_view word, std::string_view name);
std::string registerLine(std::string_view email);
// "/ %s\r\n", the whole line at most 1000 bytes (never splitting a Big5 character).
std::string shoutLine(std::string_view text);
// Said instead of shouting a text longer than kShoutTextLimit bytes (the text is not sent).
std::string shoutTooLongMessage(std::size_t length);

// ---- changing the password ----

namespace texts {
// 您已經更動了帳號資料，請先離開OMRA，再連線一次
inline constexpr char kAccountChanged[] =
    "\xB1z\xA4w\xB8g\xA7\xF3\xB0\xCA\xA4" "F\xB1" "b\xB8\xB9\xB8\xEA\xAE\xC6\xA1" "A\xBD\xD0\xA5\xFD\xC2\xF7\xB6}OMRA"
    "\xA1" "A\xA6" "A\xB3s\xBDu\xA4@\xA6\xB8";
// 新密碼過短或含有空白，請再試一次！
inline constexpr char kBadNewPassword[] =
    "\xB7s\xB1K\xBDX\xB9L\xB5u\xA9\xCE\xA7t\xA6\xB3\xAA\xC5\xA5\xD5\xA1" "A\xBD\xD0\xA6" "A\xB8\xD5\xA4@\xA6\xB8\xA1I";
// Change Password(更改 %s 的密碼(%s))
inline constexpr char kPasswordTitleHead[] = "Change Password(\xA7\xF3\xA7\xEF ";
inline constexpr char kPasswordTitleMiddle[] = " \xAA\xBA\xB1K\xBDX(";
inline constexpr char kPasswordTitleTail[] = "))";
} // namespace texts

// The name the server confirmed is not the login name of the first account of the first
// server (the login window changed it since): the password cannot be changed now.
bool accountChangedSinceLogin(const ClientContext& context);
// The prompt's title, naming the logged-in user and the current password.
std::string passwordPromptTitle(const SessionState& state);
// At least two characters and no blank.
bool acceptableNewPassword(std::string_view password);
// Keeps the new password (the session's current one and the first account's), has the
// settings file written, and only then sends "passwd OLD NEW" (not echoed).
void changePassword(ClientContext& context, std::string_view newPassword, const std::function<void()>& writeSettings);

} // namespace marovin::session
