// Game files: sendfile.
#include "server.h"

namespace marovin::server {

std::string Server::gameFileText(const StoredGame&) const { return {}; }

void Server::cmdSendfile(Session& s, const Args&, std::string_view)
{
    reply(s, "sendfile", {"Game files are not available on this server yet."});
}

} // namespace marovin::server
