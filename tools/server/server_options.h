#pragma once
// Command line of marovin-server:
//   marovin-server [--port N] [--bind ADDRESS] [--data DIR] [--no-bots] [--seed N]
//                  [--clock-speed F]

#include <optional>
#include <string>
#include <vector>

#include "event_loop.h"
#include "server.h"

namespace marovin::server {

struct ServerOptions {
    ListenAddress listen;
    ServerConfig config;
    bool help = false;
};

// Parses the arguments (without the program name). On error returns nothing and sets error.
std::optional<ServerOptions> parseServerOptions(const std::vector<std::string>& args, std::string& error);
std::string serverUsage();

} // namespace marovin::server
