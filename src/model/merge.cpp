#include "model/merge.h"

#include "model/game_file.h"
#include "model/tree_walk.h"

namespace marovin::model {

namespace {

constexpr const char* kMiddleGameRefused = "Can not merge Middle game";

// Plays a walked tree into the target as the merge-mode reader plays a file: branch
// brackets open and close the counted branches, moves and notes go in one by one.
class MergePlayer : public TreeVisitor {
public:
    explicit MergePlayer(CGame& target) : m_target(target) {}

    void entry(const MoveEntry& entry, const MoveLine&, std::size_t)
    {
        if (entry.isMove())
            PlayReadMove(m_target, entry.move.from, entry.move.to, true, m_branches);
        if (entry.hasNote())
            m_target.AddNoteOnce(entry.noteText());
    }
    void beginAlternative(const BranchPoint&, int, int) { bodyLine("BB"); }
    void endAlternative(const BranchPoint&, int, int) { bodyLine("BE"); }

private:
    void bodyLine(std::string_view line)
    {
        CGame* game = &m_target;
        ReadGameLine(game, line, m_lineCounter, true, m_branches, m_target.ports());
    }

    CGame& m_target;
    ReadBranches m_branches;
    int m_lineCounter = 1; // past the header: branch lines are body lines
};

// The end of a merge command: the game is shown from its start again.
void finishCommand(CGame& game)
{
    game.mode = kModeNormal;
    game.Rewind();
    game.updateMoveScroll();
    game.observer().redraw(game);
}

} // namespace

bool MergeIntoGame(CGame& target, const CGame& source)
{
    if (target.customPosition || source.customPosition) {
        target.ports().desktop.messageBox(kMiddleGameRefused);
        return false;
    }
    if (&target == &source)
        return true; // a game holds all of itself already
    target.mode = kModeReading;
    target.Rewind();
    target.format = kFormatNew; // branch brackets are body lines of this form
    target.mirror = false;
    target.MirrorOpenings();
    target.Rewind();
    MergePlayer player(target);
    WalkTree(source.root(), player);
    target.mode = kModeNormal;
    target.Rewind();
    return true;
}

int MergeFilesIntoGame(CGame& game, std::span<const std::string> paths, const RememberPath& remember)
{
    if (game.customPosition) {
        game.ports().desktop.messageBox(kMiddleGameRefused);
        return 0;
    }
    int merged = 0;
    for (const std::string& path : paths) {
        if (remember)
            remember(path);
        merged += ReadGameFile(game, path, true);
    }
    finishCommand(game);
    return merged;
}

int MergeGameIntoFiles(CGame& game, std::span<const std::string> paths, const RememberPath& remember)
{
    if (game.customPosition) {
        game.ports().desktop.messageBox(kMiddleGameRefused);
        return 0;
    }
    game.mode = kModeReading;
    game.MirrorOpenings();
    game.Rewind();
    const GameFileForm form = game.ports().settings.saveNewFormat ? GameFileForm::New : GameFileForm::Old;
    int written = 0;
    for (const std::string& path : paths) {
        if (remember)
            remember(path);
        CGame file(game.ports());
        if (ReadGameFile(file, path, false) && MergeIntoGame(file, game) && WriteGameFile(file, path, form))
            ++written;
    }
    finishCommand(game);
    return written;
}

} // namespace marovin::model
