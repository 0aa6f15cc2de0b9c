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
    if (!std::cout && status == marovin::tool::kExitOk) { // a failure has been reported already
        marovin::tool::Report(std::cerr, "could not write the output");
        return marovin::tool::kExitFailure;
    }
    return status;
}
