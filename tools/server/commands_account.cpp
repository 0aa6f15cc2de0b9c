// The player's own settings and session: set, register, passwd, telnet, quit.
#include "server.h"

namespace marovin::server {

void Server::cmdSet(Session& s, const Args& args, std::string_view)
{
    Account* a = accountOf(s);
    if (!a || args.size() < 3 || (args[2] != "on" && args[2] != "off")) {
        reply(s, "set", {"Usage: set open|shout|quiet|bell|address|unrated|client on|off"});
        return;
    }
    const bool on = args[2] == "on";
    const std::string& what = args[1];
    if (what == "client") {
        s.clientMode = on;
    } else {
        bool* flag = what == "open"      ? &a->open
                     : what == "shout"   ? &a->shout
                     : what == "quiet"   ? &a->quiet
                     : what == "bell"    ? &a->bell
                     : what == "address" ? &a->hideAddress
                     : what == "unrated" ? &a->hideRating
                                         : nullptr;
        if (!flag) {
            reply(s, "set", {"No such setting: " + what});
            return;
        }
        *flag = on;
        m_accounts.markChanged(a->name);
    }
    reply(s, "set", {what + " is now " + args[2] + "."});
}

void Server::cmdRegister(Session& s, const Args& args, std::string_view)
{
    Account* a = accountOf(s);
    if (!a || args.size() != 2 || args[1].find('@') == std::string::npos || args[1].size() > 200) {
        reply(s, "register", {"Usage: register EMAIL-ADDRESS"});
        return;
    }
    a->email = args[1];
    m_accounts.markChanged(a->name);
    reply(s, "register", {"Your e-mail address is now " + a->email + "."});
}

void Server::cmdPasswd(Session& s, const Args& args, std::string_view)
{
    Account* a = accountOf(s);
    if (!a || args.size() != 3) {
        reply(s, "passwd", {"Usage: passwd OLD NEW"});
        return;
    }
    if (args[1] != a->password) {
        reply(s, "passwd", {"The old password is not right; the password is unchanged."});
        return;
    }
    if (args[2].size() < 2 || args[2].size() > 15) {
        reply(s, "passwd", {"A password has 2 to 15 characters and no blanks."});
        return;
    }
    a->password = args[2];
    m_accounts.markChanged(a->name);
    reply(s, "passwd", {"Password changed."});
}

void Server::cmdTelnet(Session& s, const Args&, std::string_view)
{
    reply(s, "telnet", {"Sorry, this practice server does not connect to other servers. "
                        "Open the login window and connect to that server directly."});
}

void Server::cmdQuit(Session& s, const Args&, std::string_view)
{
    sendRaw(s.id, std::string(s.clientMode ? "quit: " : "") + "Goodbye, " + s.name + ".\r\n");
    m_transport.closeAfterFlush(s.id);
}

} // namespace marovin::server
