#pragma once
// The game file: a header of keyword lines, then the moves with branches and notes.
//
//   GAME
//   TIME    0\t0\t600\t600
//   POSITION R!"#...            (only for a set-up start: side letter, 32 squares + 33)
//   SUBJECT name
//   RESULT  Unknown
//   RED     alice; 1500
//   BLACK   bob; 1480
//   DATE    2024-03-05
//   PLACE   
//   START                       old body: one coordinate move per line (H2-E2),
//   H2-E2                                 #note lines, BB / BE around each alternative
//   #a note
//   BB ... BE BB ... BE
//
// The new body follows "CSTART" CR LF as bytes: from- and to-square per move, "d"/"e"
// around alternatives, "g" note-text NUL for notes. The send variant (transfers between
// players) prefixes every line with "H" and packs the moves as square pairs (+33) on "M"
// lines of at most 91 pairs. The brace body ("START {") lists two moves per line after a
// move number; it is read, never written.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/byte_stream.h"
#include "model/game.h"

namespace marovin::model {

enum class GameFileVariant {
    File, // the stored form chosen by the "save as new format" setting
    Send, // the transfer form
};

enum class GameFileForm { Old, New, Send };

constexpr std::size_t kReadBufferSize = 100000; // no line or note may be longer
constexpr std::size_t kWriteFlushSize = 90000;  // the body is written in chunks of this

// Bytes of one line of the send form, its line end not counted: what one tell carries.
constexpr std::size_t kSendLineLimit = 2797;
// A note line of the send form longer than that goes on in lines "#" + kNoteContinuation +
// text, which the reader joins to the line before without a line end; a note line (or part)
// that ends in a blank gets kNoteContinuation after it, which the reader drops, since the
// server drops blanks at the end of a line. (A note holds no control byte, so no note text
// begins or ends with it.) In every form, a note line that begins with a blank is written
// after "# ", as the reader skips one blank after "#".
constexpr char kNoteContinuation = '\x01';
constexpr std::string_view kContinuationHead = "#\x01";

// Writes the game: the header in one write, the body whenever kWriteFlushSize bytes have
// gathered. Writing a file (not the send form) clears the modified flag on success. A note
// that the reader could not read back (see note_text.h) is not written, and the answer is
// false.
bool WriteGame(CGame& game, ByteSink& sink, GameFileVariant variant);
bool WriteGame(CGame& game, ByteSink& sink, GameFileForm form);
// The whole file as text.
std::string GameFileText(CGame& game, GameFileForm form);
// Whether every note of the record can be written and read back (none comes into a record
// otherwise: a note that fails here got past every reader). Tells the user when one cannot.
bool CheckNotesStorable(const CGame& game);
// Writes to a new file beside path and renames it over path, so that a failed write
// leaves the old file whole. Reports a failure in a message box.
bool WriteGameFile(CGame& game, const std::string& path, GameFileForm form);

// Branch bookkeeping of one reading. A merge counts, per depth of the open branches, the
// moves played since each opened. A plain reading of a file keeps the position where each
// open branch began, so that its end returns there at once instead of taking back every
// move of the branch (which in a large file means walking the whole tree a second time).
struct ReadBranches {
    int depth = 0;
    std::vector<int> counters;

    // Where each open branch began (plain reading), innermost last; open counts the
    // branches that began at that same position.
    struct Start {
        int ply;
        Board board;
        int open;
    };
    std::vector<Start> starts;
};

// Values below 0 that the line parser sets the line counter to, ending the reading.
constexpr int kReadStopped = -1;  // the game is not whole (a stray "}" line, a refused line)
constexpr int kReadComplete = -2; // the "}" that closes a brace body: the game is whole

// Parses one line of a game (file, server block or transfer). lineCounter is 0 for the
// first line ("GAME"); the parser sets it below 0 (kReadStopped, kReadComplete) to end the
// reading. Without a game the "GAME" line opens a new game window through the ports and
// game is set to it.
void ReadGameLine(CGame*& game, std::string_view line, int& lineCounter, bool merge, ReadBranches& branches,
                  const GamePorts& ports);

// Plays a move read from a game body as a user move (an identical existing move is
// followed). In a merge reading the choice to mirror the game is made at the start
// position, from its first move, and the move is counted for the open branch.
void PlayReadMove(CGame& game, Square from, Square to, bool merge, ReadBranches& branches);

// Ends a reading begun in mode 2: removes branches that received no move, names the
// game (a plain reading; it is then unmodified) or mirrors its openings (a merge), and
// shows the start of the record.
void EndReading(CGame& game, bool merge);

// Reads a game file into game (merge: adds its moves to the tree). name is shown in
// messages. Returns 1 on success (a brace body may end at its closing "}" line; one that
// ends before it keeps what was read and is warned about), 0 on failure: not a game file,
// a line too long (both reported to the user), a refused middle game or a "}" line that
// stops any other body. What was read before a failure stays in the game.
// leftUnread, when given, is told whether text at the end was left unread (a last line
// without its line end, anything after a NUL byte); the user is told in any case.
int ReadGame(CGame& game, ByteSource& source, std::string_view name, bool merge, bool* leftUnread = nullptr);
// ReadGame of a file ("Can not open file: %s" when it cannot be opened). afterRead, when
// given, runs after every piece read from the file (a window keeps painting meanwhile).
int ReadGameFile(CGame& game, const std::string& path, bool merge, bool* leftUnread = nullptr,
                 const std::function<void()>& afterRead = {});

// Rewrites one game file in the old or the new body form, keeping its header, notes,
// set-up position and orientation. Returns whether the file was rewritten: a file whose
// end could not be read is left as it is (rewriting it would lose that text), and the
// user is told.
bool ConvertGameFile(const std::string& path, bool toNewFormat, const GamePorts& ports);

} // namespace marovin::model
