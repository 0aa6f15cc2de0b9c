// Arbitrary file contents read line by line: every byte comes back, in order, except the
// "\r\n" pairs that end lines and a return held at the very end.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/guarded_file.h"
#include "testkit/fakes.h"
#include "testkit/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const marovin::testkit::FuzzFile scratch("lines");
    scratch.write(data, size);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string& path = scratch.path();

    marovin::testkit::FakeDesktop desktop;
    marovin::GuardedFile file(desktop);
    if (!file.openForReading(path))
        std::abort();
    std::string joined;
    std::string line;
    bool first = true;
    while (file.readLine(line)) {
        if (!first)
            joined += "\r\n";
        joined += line;
        first = false;
    }
    std::string expected = bytes;
    if (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\r\n") == 0)
        expected.resize(expected.size() - 2);
    else if (!expected.empty() && expected.back() == '\r')
        expected.pop_back();
    if (joined != expected || !desktop.fatalTexts.empty())
        std::abort();
    return 0;
}
