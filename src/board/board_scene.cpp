#include "board/board_scene.h"

namespace marovin::board {

BoardScene sceneOf(const model::CGame& game)
{
    BoardScene scene;
    scene.board = game.browsedBoard;
    scene.normalOrientation = game.bottomSide != model::kBlack;
    scene.mode = game.mode;
    if (game.browsedPly() > 0 && game.currentEntry().isMove())
        scene.lastMoveTo = game.currentEntry().move.to;
    return scene;
}

} // namespace marovin::board
