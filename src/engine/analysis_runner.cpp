#include "engine/analysis_runner.h"

#include "engine/posix_engine_process.h"
#include "model/game.h"

namespace marovin::engine {

namespace {

class ClientSearch : public SearchPort {
public:
    int search(const EnginePosition& position, SearchLimits limits) override
    {
        return client->search(position, limits);
    }
    void stop() override { client->stop(); }
    EngineClient* client = nullptr;
};

// Passes the port's calls on and keeps the end.
class EndWatch : public AnalysisPort {
public:
    explicit EndWatch(AnalysisPort& port) : m_port(port) {}
    void analysisProgress(int done, int total) override { m_port.analysisProgress(done, total); }
    void moveAnalysed(const AnalysedMove& move) override { m_port.moveAnalysed(move); }
    void analysisEnded(AnalysisEnd end, std::string_view message) override
    {
        run.end = end;
        run.message = std::string(message);
        m_port.analysisEnded(end, message);
    }
    AnalysisRun run;

private:
    AnalysisPort& m_port;
};

constexpr int kPumpMs = 50;

} // namespace

AnalysisRun RunGameAnalysis(const EngineOptions& options, const model::CGame& game, const AnalysisSettings& settings,
                            AnalysisPort& port)
{
    EndWatch watch(port);
    ClientSearch search;
    GameAnalysis analysis(search, watch);
    PosixEngineProcess process;
    SteadyClock clock;
    EngineClient client(process, clock, analysis);
    search.client = &client;
    client.setOptions(options);
    analysis.start(game.startBoard(), game.firstMover == 0,
                   CollectAnalysisNodes(game, settings.wholeTree, settings.fromPly), settings,
                   game.startCounts);
    while (analysis.running()) {
        if (!process.pump(client, kPumpMs) && analysis.running())
            analysis.engineFailed("The engine ended without an answer.");
        client.checkDeadline();
    }
    client.quit();
    return watch.run;
}

} // namespace marovin::engine
