#pragma once
// Merging game records into one tree of variations (an opening book): identical moves are
// shared, different moves become branches, and a game whose opening is the left-right
// mirror image of another is turned round first, so that both end up in one branch.
//
// A game "opens from the left" when its first move leaves from columns 0..3 or from
// square 60, but not from square 56; such openings are mirrored.

#include <functional>
#include <span>
#include <string>

#include "model/game.h"

namespace marovin::model {

// Adds the whole tree of source to target: target's openings are mirror-normalised, then
// every move of source is played into target (mirrored where its opening calls for it;
// an identical move is followed, a different one becomes a branch) and every note is
// added once when the "Append Move-Note" setting is on. target ends rewound. Refused with
// "Can not merge Middle game" (false, target untouched) when either game starts from a
// set-up position.
bool MergeIntoGame(CGame& target, const CGame& source);

// Told the path of each file as the merge command takes it up (the last game file used).
using RememberPath = std::function<void(const std::string& path)>;

// "From File(s)": reads each file in merge mode into game, in order. A file that is not a
// game file is reported and skipped; a set-up position is refused. Returns the number of
// files merged whole.
int MergeFilesIntoGame(CGame& game, std::span<const std::string> paths, const RememberPath& remember = {});

// "To File(s)": mirror-normalises game, then for each file reads it, merges game into it
// and writes it back in the stored format of the settings. A file that cannot be read
// whole is left as it is. Returns the number of files rewritten.
int MergeGameIntoFiles(CGame& game, std::span<const std::string> paths, const RememberPath& remember = {});

} // namespace marovin::model
