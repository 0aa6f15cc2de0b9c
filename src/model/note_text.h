#pragma once
// The one form of a move's note, whatever way it came into the record (the note pane, a
// game file of either body, a transfer, the server, PGN, a merge), so that every writer's
// output reads back byte for byte:
//
//   - lines end in CR LF: a bare LF ends a line, a CR not followed by LF ends one, and the
//     CRs directly before a LF go with it (CR CR LF is one line end);
//   - no other control bytes: a tab becomes a blank, NUL and the others are dropped, and
//     so are DEL and 0xFF (no Big5 character holds them; the compact body ends a note at
//     NUL, the old body's text at Ctrl-Z, and the server takes 0xFF as a command);
//   - at most kNoteLimit bytes, cut between two Big5 characters and without the blank
//     space that a cut leaves at its end.
//
// Notes are normalised where they enter the record (StoreNote), so a note is changed at
// most once, when it is first read; everything after that keeps it as it is.

#include <cstddef>
#include <string>
#include <string_view>

namespace marovin::model {

// Bytes of one note: a line of a game file, and a note of the compact body, hold it whole
// (the reader's buffer holds 100000 bytes).
constexpr std::size_t kNoteLimit = 90000;

// The line ends and bytes of text in normal form (no length limit).
std::string NormalNoteText(std::string_view text);
// Whether note is in normal form and within the limit: what every writer can write and
// every reader reads back unchanged.
bool IsStorableNote(std::string_view note);

// How a text joins a note.
enum class NoteJoin {
    Replace,  // the text becomes the note
    NewLine,  // on a line of its own: CR LF first, whatever the note ends in (an empty
              // line read, or an empty note, too), so that a note read line by line comes
              // back with every line it was written with
    SameLine, // right after the note's last byte (the rest of a line written in parts)
};

// Joins text to note in normal form, the result cut to kNoteLimit; when none of the text
// fits, note stays as it was. Returns the bytes of the normalised text that were left out.
std::size_t StoreNote(std::string& note, std::string_view text, NoteJoin join);

// What the user is told when a note read at ply was cut to the limit.
std::string NoteCutMessage(int ply);

// The lines of a note: the text between its line ends (a note ending in a line end has an
// empty last line; an empty note has one empty line).
template <class Visit>
void ForEachNoteLine(std::string_view note, Visit&& visit)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = note.find("\r\n", start);
        visit(note.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return;
        start = end + 2;
    }
}

} // namespace marovin::model
