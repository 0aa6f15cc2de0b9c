// Arbitrary file contents read line by line: every byte comes back, in order, except the
// "\r\n" pairs that end lines and a return held at the very end.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/guarded_file.h"
#include "testkit/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = [] {
        char pattern[] = "/tmp/marovin-fuzz-lines-XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd >= 0)
            ::close(fd);
        return std::string(pattern);
    }();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }

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
