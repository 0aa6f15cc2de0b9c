#include "position_argument.h"

#include <string>

namespace marovin::tool {

std::optional<model::FenPosition> ReadPositionArgument(Arguments arguments, Streams& streams)
{
    if (arguments.empty())
        return model::FenPosition{model::kStandardOpening, true, {}};
    std::string text;
    for (std::string_view argument : arguments)
        (text += argument) += ' ';
    std::string error;
    auto position = model::ReadFen(text, error);
    if (!position)
        Report(streams.err, "invalid FEN: " + error);
    return position;
}

} // namespace marovin::tool
