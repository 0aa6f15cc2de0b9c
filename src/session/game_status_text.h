#pragma once
// The texts a game window shows of its game: the caption and the clock texts.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/game.h"

namespace marovin::session {

// The window caption by mode: in modes 0 and 5 a local game shows fileName (its name when
// it has no file) and a server game "Play (12) alice vs bob: 3 observers" ("Obse" when
// observed); the busy, transfer and editing modes show what is going on.
std::string gameCaption(const model::CGame& game, std::string_view fileName = {});

// A clock as " %02ld:%02ld" of whole minutes and the seconds left over (75 -> " 01:15").
// Negative clocks are shown as the format gives them.
std::string clockText(std::int64_t seconds);

// The moves of the record's main line (alternative 0 all the way: a server game's live
// game), two to a row as "  1. H2-E2  H7-E7"; a game that Black begins starts with "...".
std::vector<std::string> mainLineRows(const model::CGame& game);

} // namespace marovin::session
