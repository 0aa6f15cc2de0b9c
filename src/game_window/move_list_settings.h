#pragma once
// What the user chose for the game windows' move lists: the notation of their moves and
// whether they show. Kept in the program's Qt settings (organisation "Dozavave", program
// "Marovin"), beside the recent files, since the options record has a fixed layout.

#include "model/move_notation.h"

namespace marovin::board {

struct MoveListSettings {
    model::MoveNotation notation = model::MoveNotation::Chinese;
    bool shown = true;
    friend bool operator==(const MoveListSettings&, const MoveListSettings&) = default;
};

// The stored choice; what is missing or unknown there takes the defaults above.
MoveListSettings loadMoveListSettings();
void saveMoveListSettings(const MoveListSettings& settings);

} // namespace marovin::board
