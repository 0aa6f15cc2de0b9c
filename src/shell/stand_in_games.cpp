#include "shell/stand_in_games.h"

#include <string>

namespace marovin::shell {

void StandInGames::parseGameNotice(std::string_view)
{
    m_terminal.writeClientText("<No game window follows this game notice>", true);
}

void StandInGames::collectGameLine(session::Collector, std::string_view line, bool keywordLine)
{
    // The scanner shows no line of a game block itself: without game windows the block is
    // read here, in the terminal.
    if (keywordLine && line.empty())
        return;
    m_terminal.writeServerLine(line);
}

void StandInGames::onTransferTell(std::string_view, std::string_view sender)
{
    m_terminal.writeClientText("<A game sent by " + std::string(sender) + " cannot be received here>", true);
}

} // namespace marovin::shell
