#include <iostream>
#include <string_view>
#include <vector>

#include "tool.h"

int main(int argc, char** argv)
{
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    marovin::tool::Streams streams{std::cout, std::cerr};
    const int status = marovin::tool::RunTool(arguments, streams);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "marovin-tool: could not write the output\n";
        return marovin::tool::kExitFailure;
    }
    return status;
}
