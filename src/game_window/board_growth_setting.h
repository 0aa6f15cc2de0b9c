#pragma once
// Whether boards grow with their windows ("Let the board grow with the window"): kept in
// the program's Qt settings (organisation "Dozavave", program "Marovin") beside the move
// list's, since the options record has a fixed layout. Off unless the user turned it on,
// so that a board keeps its fixed sizes by default.

namespace marovin::board {

bool loadBoardGrows();
void saveBoardGrows(bool grows);

} // namespace marovin::board
