// The who window taking a full answer: 249 players (the most it keeps) in the server's
// two-column layout, parsed, sorted and shown in the list, offscreen and painted. The
// target is under 5 ms for the whole of it.

#include <cstdio>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontDatabase>

#include "session/who_list.h"
#include "testkit/session_fakes.h"
#include "windows/who_window.h"

namespace {

using namespace marovin;

QApplication& application()
{
    static QApplication* app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "bench_windows";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

// "N players online" and 249 players in random order, two to a 79-byte line, a few of
// them not open, some playing or observing.
std::string fullAnswer()
{
    std::minstd_rand random(7);
    std::string answer = "249 players online\r\n";
    for (int i = 0; i < 249; ++i) {
        char entry[96];
        const int game = static_cast<int>(random() % 5 == 0 ? 1 + random() % 120 : 0);
        std::snprintf(entry, sizeof entry, "%s%c %3s %3s %-15.15s %4d %*s", random() % 3 ? "Reg" : "New",
                      random() % 6 ? '.' : 'X', game ? std::to_string(game).c_str() : "-", "-",
                      ("p" + std::to_string(random() % 100000)).c_str(), static_cast<int>(1000 + random() % 1500),
                      i % 2 ? 5 : 4, (std::to_string(random() % 59) + "m").c_str());
        answer += entry;
        answer += i % 2 || i == 248 ? "\r\n" : "  ";
    }
    return answer;
}

void WhoAnswerParsedSortedAndShown(benchmark::State& state)
{
    application();
    testkit::SessionRig rig;
    rig.options->whoSortKey = static_cast<std::int32_t>(state.range(0));
    rig.context->session.loggedInName = "p42";
    const session::WhoRecords records = session::allocateWhoRecords();
    windows::CWhoDlg who(records.get(), *rig.context);
    who.setListFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    who.show();
    const std::string answer = fullAnswer();
    for (auto _ : state) {
        who.updateWhoList(answer, true);
        who.list()->viewport()->repaint();
    }
    if (who.whoCount() != 249)
        state.SkipWithError("the answer did not give 249 players");
    state.SetItemsProcessed(state.iterations() * who.whoCount());
}
BENCHMARK(WhoAnswerParsedSortedAndShown)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void WhoAnswerParsedAndSorted(benchmark::State& state)
{
    const session::WhoRecords records = session::allocateWhoRecords();
    const std::string answer = fullAnswer();
    for (auto _ : state) {
        const int count = session::parseWhoList(answer, true, records.get());
        session::sortWhoRecords(records.get(), count, session::WhoOrder{1, true});
        benchmark::DoNotOptimize(records.get());
    }
}
BENCHMARK(WhoAnswerParsedAndSorted)->Unit(benchmark::kMicrosecond);

} // namespace
