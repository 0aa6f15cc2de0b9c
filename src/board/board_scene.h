#pragma once
// What a board view shows of a game: the position, which way up, the last move's square
// and the mode. The drawing reads a scene, never the game record itself, so that the
// command-line tool, the settings preview and the game window draw alike.

#include <cstdint>

#include "model/game.h"
#include "model/position.h"

namespace marovin::board {

struct BoardScene {
    model::Board board{};          // the displayed position
    bool normalOrientation = true; // Red at the bottom; false: the board turned
    int lastMoveTo = -1;           // board square the last move played went to, or -1
    std::uint8_t mode = model::kModeNormal;

    bool editing() const { return mode == model::kModeEditing; }
    // Moves are drawn one by one only in the normal and the editing mode.
    bool drawsMoves() const { return mode == model::kModeNormal || mode == model::kModeEditing; }
};

// The scene of a game: its browsed board, drawn turned when Black is the bottom side,
// with the last move played up to the browsed position (none at the start).
BoardScene sceneOf(const model::CGame& game);

} // namespace marovin::board
