#include "server_options.h"

#include <cstdlib>

#include "storage.h"

namespace marovin::server {

std::string serverUsage()
{
    return "usage: marovin-server [--port N] [--bind ADDRESS] [--data DIR] [--no-bots] [--seed N] "
           "[--clock-speed F]\n"
           "  --port N          port to listen on (default 5555; 0 picks a free one)\n"
           "  --bind ADDRESS    address to listen on (default 127.0.0.1)\n"
           "  --data DIR        folder for accounts, stored games and messages\n"
           "                    (default $XDG_DATA_HOME/marovin/server)\n"
           "  --no-bots         no bot players\n"
           "  --seed N          seed of the bots' choices (default 1)\n"
           "  --clock-speed F   game clocks run F times as fast (default 1)\n";
}

std::optional<ServerOptions> parseServerOptions(const std::vector<std::string>& args, std::string& error)
{
    ServerOptions o;
    o.config.dataDirectory = defaultDataDirectory();
    o.config.seed = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string* {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--no-bots") {
            o.config.bots = false;
        } else if (a == "--port") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            const std::optional<int> port = parseNumber(*v, 0, 65535);
            if (!port) {
                error = "bad port: " + *v;
                return std::nullopt;
            }
            o.listen.port = *port;
        } else if (a == "--bind") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            o.listen.host = *v;
        } else if (a == "--data") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            if (v->empty()) {
                error = "--data needs a folder";
                return std::nullopt;
            }
            o.config.dataDirectory = *v;
        } else if (a == "--seed") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            const std::optional<unsigned> seed = parseNumber(*v, 0u, 0xFFFFFFFFu);
            if (!seed) {
                error = "bad seed: " + *v;
                return std::nullopt;
            }
            o.config.seed = *seed;
        } else if (a == "--clock-speed") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            char* end = nullptr;
            const double speed = std::strtod(v->c_str(), &end);
            if (end == v->c_str() || *end != 0 || !(speed >= 0.01 && speed <= 10000)) {
                error = "bad clock speed (0.01 to 10000): " + *v;
                return std::nullopt;
            }
            o.config.clockSpeed = speed;
        } else {
            error = "unknown argument: " + a;
            return std::nullopt;
        }
    }
    return o;
}

} // namespace marovin::server
