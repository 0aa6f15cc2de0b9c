#pragma once
// CGame: the game behind one game window.
//
// It holds two positions (the browsed one, at the cursor of the move tree, and the live
// one that the server reports), the header (players, ratings, subject, result, date,
// place, clocks), the mode and participation bytes, and the move tree with a note on any
// move. The operations add, follow, take back and delete moves; the game window drives
// them from the mouse and keys, the file reader from text and the session from the
// server's reports.
//
// Cursor: the current BranchPoint, its followed alternative (the current line) and the
// index in that line of the entry whose move was applied last to the browsed board
// (index 0 of the start line at the starting position).

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/game_ports.h"
#include "model/move_tree.h"
#include "model/note_text.h"
#include "model/position.h"

namespace marovin::model {

// Mode byte.
constexpr std::uint8_t kModeNormal = 0;
constexpr std::uint8_t kModeBusy = 1;      // replaying, or reading game lines from the server
constexpr std::uint8_t kModeReading = 2;   // reading or merging a file
constexpr std::uint8_t kModeSending = 3;   // sending the game to another player
constexpr std::uint8_t kModeReceiving = 4; // receiving a game
constexpr std::uint8_t kModeGameOver = 5;  // waiting for the quit-game question
constexpr std::uint8_t kModeEditing = 6;   // editing a position

// Participation byte.
constexpr std::uint8_t kObserving = 0;
constexpr std::uint8_t kPlaying = 1;
constexpr std::uint8_t kServerNotLive = 2;
constexpr std::uint8_t kLocalGame = 3;

// Format byte: the body form last read or written.
constexpr std::uint8_t kFormatNone = 0;
constexpr std::uint8_t kFormatOld = 1;   // "START"
constexpr std::uint8_t kFormatBrace = 2; // "START {"
constexpr std::uint8_t kFormatNew = 3;   // "CSTART"

enum class MoveKind { Game, User, Replay };
enum class TakeBackKind { Game, User };

// Navigation commands, numbered as the scroll bar's codes.
enum NavigateCommand : int {
    kStepBack = 0,
    kStepForward = 1,
    kPageBack = 2,
    kPageForward = 3,
    kGoToPly = 4,
    kTrackToPly = 5,
    kGoToStart = 6,
    kGoToEnd = 7,
};

// Header field sizes (characters kept; each array holds one more for the NUL).
constexpr std::size_t kNameLength = 15;
constexpr std::size_t kSubjectLength = 260;
constexpr std::size_t kResultLength = 60;
constexpr std::size_t kDateLength = 60;
constexpr std::size_t kPlaceLength = 100;

// The scroll range shown while the record has no moves.
constexpr int kEmptyScrollRange = 1000000;

class CGame {
public:
    // Sets up a new record: a local game with the login name for both players, the
    // standard opening (or the custom position) and a composed name.
    explicit CGame(const GamePorts& ports);
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // ---- positions ------------------------------------------------------------
    Board browsedBoard{};                 // position at the cursor
    Board gameBoard{};                    // position at the end of the live game
    std::array<Square, 33> pieceList{};   // square of piece p (90 = off) for a custom start
    std::uint8_t customPosition = 0;      // non-zero: the record starts from pieceList
    std::uint8_t firstMover = 0;          // 0 Red moves first, 1 Black
    std::uint8_t userSide = kRed;         // 1 Red (or not a player), 0 Black
    std::uint8_t bottomSide = kRed;       // side drawn at the bottom
    // The move counts of a start set up from a FEN (half-moves since a capture, the full
    // move's number), so that the FEN of a later position goes on from them. Game files
    // do not keep them: any other start has 0 and 1.
    MoveCounts startCounts;

    // ---- header ---------------------------------------------------------------
    char redName[kNameLength + 1]{};
    char blackName[kNameLength + 1]{};
    int redRating = 0;
    int blackRating = 0;
    char subject[kSubjectLength + 1]{}; // also the game's name
    char result[kResultLength + 1]{};
    char date[kDateLength + 1]{};
    char place[kPlaceLength + 1]{};
    // Two values carried through files unchanged, then Red's and Black's clock (seconds).
    std::array<std::int64_t, 4> times{};
    bool clocksKnown = false; // the server has given the clocks of this live game
    int observers = 0;

    // ---- state ----------------------------------------------------------------
    std::uint8_t mode = kModeNormal;
    std::uint8_t participation = kLocalGame;
    std::uint8_t format = kFormatNone;
    bool modified = false;
    int gameNumber = -1;            // the server's number; -1 for a local game
    std::int64_t lastUpdateTime = 0; // seconds since the epoch
    int serverMoveCounter = 0;       // moves and take-backs the server reported
    bool mirror = false;             // moves read are mirrored (merge reading)
    int transferPercent = 0;         // progress of a transfer (modes 3 and 4)
    std::string endOfGameText;       // rest of the server's game-end line
    // The forced-reply check found the live position broken (a general missing, or one
    // that the side to move could take) and said so once: it asks no more in this game.
    bool forcedRepliesStopped = false;

    // ---- record -----------------------------------------------------------------
    const BranchPoint& root() const { return *m_root; }
    const BranchPoint& currentBranchPoint() const { return *m_current; }
    const MoveLine& currentLine() const { return m_current->followedLine(); }
    int indexInLine() const { return m_index; }
    // The entry whose move was applied last to the browsed board (the start marker at
    // the start).
    const MoveEntry& currentEntry() const
    {
        const MoveLine& l = currentLine();
        return l.entries[static_cast<std::size_t>(std::clamp(m_index, 0, l.count() - 1))];
    }
    int browsedPly() const { return m_browsedPly; }
    // Moves along the followed path from the start to its end. While a file is read
    // (mode 2) it is brought up to date by the rewind that ends the reading.
    int pathLength() const { return m_pathLength; }
    int gamePly() const { return m_gamePly; }
    // Side to move at the browsed ply and at the live game's ply.
    bool isRedToMoveBrowsed() const { return IsRedToMove(firstMover, m_browsedPly); }
    bool isRedToMoveLive() const { return IsRedToMove(firstMover, m_gamePly); }
    // True when the browsed entry is the live game's last entry.
    bool isBrowsingLive() const;

    const GamePorts& ports() const { return m_ports; }
    // The window that shows this game (null: none). Not owned.
    void setObserver(GameObserver* observer);

    // ---- operations -------------------------------------------------------------

    // Inserts move m at position k of a line of branch point n (alternative 0 when
    // isGameMove, else the current line; k = entries that precede m). An identical move
    // already there is followed instead; a different one opens a branch (a server move
    // takes alternative 0, a user's move becomes a side line). Whatever moves where, the
    // browsed path keeps running through the entry the cursor stands on. Returns whether
    // the browsed cursor moved onto the new move. Does not touch the boards.
    bool AddMoveAt(BranchPoint& n, int k, PackedMove m, const Board& tagBoard, bool isGameMove);
    // Game: a move the server reported, recorded after the live game's last move.
    // User: a move at the browsed position. Replay: applies the entry at the cursor.
    // Squares of 90 or more are ignored.
    void PlayMove(Square from, Square to, MoveKind kind);
    // Game: the server took back the live game's last move. User: one step back.
    void TakeBack(TakeBackKind kind, bool showNote = false);
    // Takes back every move of the cursor's line at once, as that many user steps back
    // would; boardBefore is the browsed board before the line's first move, which the
    // caller kept. False (nothing changes) at the start line or at the start position.
    bool LeaveLine(const Board& boardBefore);
    // Steps or jumps along the followed path (commands of NavigateCommand); ply is the
    // target of kGoToPly/kTrackToPly. Stepping forward onto a branch asks which to take.
    void Navigate(int command, int ply = 0);
    // Shows the live position (a local game: the end of the followed path).
    void GoToLive();
    // Cursor to the start, browsed board rebuilt.
    void Rewind();
    // Follows alternative a of the current line's continuation (out of range: wraps to
    // 0 or the last); the cursor stands on its first entry, whose move is not applied.
    void FollowAlternative(int a);
    // Asks which alternative of the current line's continuation to follow (one is
    // followed without asking). Returns whether one was chosen.
    bool ChooseBranch();
    // After a Yes to the question, deletes the current move and everything after it.
    void DeleteFromHere(std::string_view windowTitle);
    // Makes the line of the current move the main line (see PromoteToMainLine); the cursor
    // stays on its move and the window is redrawn. Refused (false, nothing changes) outside
    // the normal mode, in a live game (whose moves keep the main line) and on the main line.
    bool PromoteCurrentLine();
    // True when the browsed position lies on the main line (alternative 0 all the way).
    bool isBrowsingMainLine() const;
    // The note of the current entry: replaced, or appended on a new line (StoreNote: in
    // normal form, within kNoteLimit). Returns the bytes of text left out by the limit.
    std::size_t SetNote(std::string_view text, bool append);
    // Adds text to the current note's last line (the rest of a line written in parts).
    std::size_t ContinueNote(std::string_view text);
    // Appends text to the current note unless the note already holds it at a line start;
    // does nothing unless merging adds notes. Returns the bytes left out by the limit.
    std::size_t AddNoteOnce(std::string_view text);
    // Fills an empty date with today and, when forced or the subject is empty, composes
    // the subject from the players, the game number and the date.
    void ComposeName(bool force);
    // Recomputes the path length, first setting every followed index on the way to 0
    // when resetFollowed.
    void RecomputePathLength(bool resetFollowed);

    // Rebuilds both boards for the start of the record (custom position or standard
    // opening), bottom side = user side, last update = now; composes the name.
    void ResetPosition();
    // Handicap start: "KNIGHT" (Red's horse on square 82 removed) or "TWO-KNIGHTS" (both
    // Red horses). Other words change nothing. The first word of text is examined.
    void SetOddsPosition(std::string_view text, bool redraw);
    // Makes board and firstMover the start of the record: the moves are deleted, the
    // piece list is taken from the board, and the custom-position flag is set unless it is
    // the standard opening with Red to move. Refused (false, nothing changed) when a piece
    // number is out of range or on two squares.
    bool SetStartPosition(const Board& board, int firstMover);
    // The start position of the record: the custom position or the standard opening.
    Board startBoard() const;
    // Deletes every move and puts the cursors and counters at the start.
    void ClearMoves();

    // Mirrors the moves of every first-move alternative whose first move opens from the
    // left (columns 0..3 or square 60, never square 56); sets modified when it did.
    // Openings that then begin alike are joined into one branch. Nothing happens with a
    // custom position. The cursor ends at the start.
    void MirrorOpenings();
    // True when a first move from this square is mirrored by merge reading.
    static bool OpensFromLeft(Square from);
    // A branch begins while reading: unless the current line already has a continuation,
    // it gets one whose alternative 0 holds a placeholder that the next move read fills.
    void OpenBranch();
    // Removes branches that were opened while reading but never received a move.
    void RemoveEmptyBranches();

    // ---- lines named by their moves (game_paths.cpp) ---------------------------------
    // The moves played from the start to the browsed position.
    std::vector<SquarePair> browsedMoves() const;
    // The entry reached by playing moves from the start, along whichever alternatives hold
    // them; null when the record has no such line or moves is empty.
    const MoveEntry* findEntry(std::span<const SquarePair> moves) const;
    // Replaces that entry's note by edit(its note) and sets the modified flag when the note
    // changed; the window is told when it shows that note. False when there is no such entry.
    bool editNoteAt(std::span<const SquarePair> moves, const std::function<std::string(std::string_view)>& edit);

    // The game window's move scroll bar (range and position) is told the current values.
    void updateMoveScroll();
    // The window shows the current entry's note.
    void showCurrentNote();
    GameObserver& observer() { return *m_observer; }

private:
    struct LiveEnd {
        BranchPoint* point; // branch point whose alternative 0 holds the live end
        int position;       // entries of that line up to and including the live end
    };
    LiveEnd findLiveEnd() const;
    struct EntryPlace {
        const MoveLine* line = nullptr;
        std::size_t index = 0;
    };
    EntryPlace findEntryPlace(std::span<const SquarePair> moves) const;
    MoveLine& line() { return m_current->followedLine(); }
    bool isOnCurrentPath(const BranchPoint* point) const;
    void replayTail(const PackedMove& move);
    void applyToBrowsedBoard(const PackedMove& move);
    // Adds entry m at the end of line l.
    void appendEntry(MoveLine& l, const PackedMove& m, std::uint8_t tag);
    // Adds m after the cursor when the cursor stands on the last entry of a line that
    // nothing follows yet (the cursor moves onto it); false, changing nothing, otherwise.
    bool appendAtLineEnd(const PackedMove& m);
    void pathChanged(int plyAtCursor);
    void stepBack();
    std::size_t joinNote(std::string_view text, NoteJoin join);
    void splitLine(BranchPoint& n, MoveLine& l, int k, const MoveEntry& entry, bool isGameMove, bool follows);

    GamePorts m_ports;
    GameObserver* m_observer;
    std::unique_ptr<BranchPoint> m_root;
    BranchPoint* m_current = nullptr;
    int m_index = 0;
    int m_browsedPly = 0;
    int m_pathLength = 0;
    int m_gamePly = 0;
    int m_openPlaceholders = 0; // branches opened while reading that still wait for a move
};

// Reads coordinate move text; a bad text writes "This move may be wrong: %s" to the
// terminal and beeps.
std::optional<SquarePair> ParseCoordinateMove(std::string_view text, TerminalPort& terminal,
                                              DesktopPort& desktop);

// Mirrors a recorded move left to right, piece numbers included (the opening position is
// symmetric under the exchange of left and right pieces).
PackedMove MirrorMove(const PackedMove& move);
// The piece number standing on the mirror square in the opening position.
Piece MirrorPiece(Piece piece);

} // namespace marovin::model
