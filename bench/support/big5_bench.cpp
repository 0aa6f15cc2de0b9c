// The Big5 converter over terminal-like text (mostly ASCII with Chinese), and reading a
// file line by line.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/big5.h"
#include "support/guarded_file.h"
#include "testkit/fakes.h"

namespace {

std::string sampleBig5(std::size_t bytes)
{
    const std::string line = "<12> tovalk tells you: \xB1\x4E\xAB\xD3\xAC\xB6\xA7\x4C hello 1234\r\n";
    std::string text;
    while (text.size() < bytes)
        text += line;
    return text;
}

void big5ToUtf8(benchmark::State& state)
{
    const std::string text = sampleBig5(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(marovin::big5ToUtf8(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(big5ToUtf8)->Arg(80)->Arg(1 << 20);

void utf8ToBig5(benchmark::State& state)
{
    const std::string text = marovin::big5ToUtf8(sampleBig5(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(marovin::utf8ToBig5(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(utf8ToBig5)->Arg(80)->Arg(1 << 20);

void readLines(benchmark::State& state)
{
    char path[] = "/tmp/marovin-bench-lines-XXXXXX";
    const int fd = ::mkstemp(path);
    const std::string text = sampleBig5(1 << 20);
    if (fd >= 0) {
        static_cast<void>(::write(fd, text.data(), text.size()));
        ::close(fd);
    }
    marovin::testkit::FakeDesktop desktop;
    for (auto _ : state) {
        marovin::GuardedFile file(desktop);
        file.openForReading(path);
        std::string line;
        std::size_t lines = 0;
        while (file.readLine(line))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    ::unlink(path);
}
BENCHMARK(readLines);

} // namespace
