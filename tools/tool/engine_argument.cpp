#include "engine_argument.h"

#include "engine/engine_settings.h"
#include "support/paths.h"

namespace marovin::tool {

std::optional<int> ParseNumberIn(std::string_view text, int low, int high)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

std::optional<engine::EngineOptions> ChooseEngine(const std::optional<std::string>& path, Streams& streams)
{
    engine::EngineSettings settings = engine::LoadEngineSettings(dataFolder());
    if (path)
        settings.path = *path;
    const engine::EngineOptions options = engine::OptionsFromSettings(settings);
    if (options.program.empty()) {
        Fail(streams, kExitBadInput, engine::EngineNotFoundMessage(settings.path));
        return std::nullopt;
    }
    return options;
}

} // namespace marovin::tool
