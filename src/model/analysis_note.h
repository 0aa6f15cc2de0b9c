#pragma once
// The line an engine analysis writes at the head of a move's note, and the mark it
// carries, so that the analysis is kept in the game file as an ordinary note:
//
//   ?? Engine -5.20, best 炮二平五      a blunder: the move lost more than the blunder margin
//   ? Engine +0.35, best 馬八進七       a mistake
//   Engine +0.10, best 兵三進一         a move that lost little
//   <the user's own note, as it was>
//
// The user may edit or delete the line like any text; deleting it deletes the mark. A new
// analysis replaces the line and leaves the rest of the note alone. Notes hold Big5 with
// CR LF line ends; the line is ASCII apart from the move.

#include <string>
#include <string_view>

namespace marovin::model {

enum class MoveMark { None, Mistake, Blunder };

// "?", "??" or "".
std::string_view MarkText(MoveMark mark);

// The analysis line (without a line end): the mark, the score text and the engine's best
// move (either may be empty).
std::string AnalysisNoteLine(MoveMark mark, std::string_view score, std::string_view best);

// Whether line (one line, without its line end) is an analysis line.
bool IsAnalysisLine(std::string_view line);

// The mark of a move as its note shows it: the mark of an analysis line at the head of
// the note, None when there is none.
MoveMark MarkOfNote(std::string_view note);

// note with its head analysis line replaced by line (or line put in front of it), the
// rest of the note unchanged. An empty line removes the analysis line.
std::string WithAnalysisLine(std::string_view note, std::string_view line);

} // namespace marovin::model
