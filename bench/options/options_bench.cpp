// Loading and saving the settings file, and the defaults it starts from.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "options/options.h"
#include "testkit/fakes.h"

namespace {

std::string temporaryFile()
{
    char pattern[] = "/tmp/marovin-bench-XXXXXX";
    const int fd = ::mkstemp(pattern);
    if (fd >= 0)
        ::close(fd);
    return pattern;
}

void setDefaults(benchmark::State& state)
{
    marovin::Options options;
    const marovin::PlatformDefaults platform;
    for (auto _ : state) {
        marovin::setDefaultOptions(options, platform);
        benchmark::DoNotOptimize(options);
    }
}
BENCHMARK(setDefaults);

void loadSettingsFile(benchmark::State& state)
{
    const std::string path = temporaryFile();
    marovin::testkit::FakeDesktop desktop;
    marovin::Options options;
    const marovin::PlatformDefaults platform;
    marovin::setDefaultOptions(options, platform);
    marovin::saveOptions(options, path, desktop);
    for (auto _ : state) {
        marovin::loadOptions(options, platform, path, desktop);
        benchmark::DoNotOptimize(options);
    }
    ::unlink(path.c_str());
}
BENCHMARK(loadSettingsFile);

void saveSettingsFile(benchmark::State& state)
{
    const std::string path = temporaryFile();
    marovin::testkit::FakeDesktop desktop;
    marovin::Options options;
    marovin::setDefaultOptions(options, marovin::PlatformDefaults{});
    for (auto _ : state)
        marovin::saveOptions(options, path, desktop);
    ::unlink(path.c_str());
}
BENCHMARK(saveSettingsFile);

} // namespace
