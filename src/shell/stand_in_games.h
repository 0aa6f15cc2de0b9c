#pragma once
// The game side of the session until the game windows exist: the game notices, game
// blocks and transfers that the scanner hands over are shown in the terminal, and nothing
// is followed. There are no games, so the questions about them answer "none".

#include "session/client_ports.h"
#include "support/ports.h"

namespace marovin::shell {

class StandInGames : public session::GamePort {
public:
    explicit StandInGames(TerminalPort& terminal) : m_terminal(terminal) {}

    void parseGameNotice(std::string_view line) override;
    void collectGameLine(session::Collector collector, std::string_view line, bool keywordLine) override;
    bool offerHandicapLine(std::string_view) override { return false; }
    void clearCurrentGame() override {}
    void finishUpdates() override {}
    void endSessionGames() override {}
    void resetTransfers() override {}
    bool sendingGame() override { return false; }
    void sendNextGameLine() override {}
    void onTransferTell(std::string_view text, std::string_view sender) override;
    void askGameOverQuestions() override {}
    void tickClocks(std::int64_t) override {}

private:
    TerminalPort& m_terminal;
};

} // namespace marovin::shell
