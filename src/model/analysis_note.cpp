#include "model/analysis_note.h"

namespace marovin::model {

namespace {

constexpr std::string_view kTag = "Engine ";

// The note's first line, without its line end, and where the rest begins.
std::string_view firstLine(std::string_view note, std::size_t& rest)
{
    const std::size_t lf = note.find('\n');
    rest = lf == std::string_view::npos ? note.size() : lf + 1;
    std::string_view line = note.substr(0, lf == std::string_view::npos ? note.size() : lf);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The mark in front of an analysis line, and the text after it.
MoveMark readMark(std::string_view& line)
{
    if (line.starts_with("?? ")) {
        line.remove_prefix(3);
        return MoveMark::Blunder;
    }
    if (line.starts_with("? ")) {
        line.remove_prefix(2);
        return MoveMark::Mistake;
    }
    return MoveMark::None;
}

} // namespace

std::string_view MarkText(MoveMark mark)
{
    switch (mark) {
    case MoveMark::None:
        return "";
    case MoveMark::Mistake:
        return "?";
    case MoveMark::Blunder:
        return "??";
    }
    return "";
}

std::string AnalysisNoteLine(MoveMark mark, std::string_view score, std::string_view best)
{
    std::string line(MarkText(mark));
    if (!line.empty())
        line += ' ';
    line += kTag;
    line += score.empty() ? std::string_view("?") : score;
    if (!best.empty()) {
        line += ", best ";
        line += best;
    }
    return line;
}

bool IsAnalysisLine(std::string_view line)
{
    readMark(line);
    return line.starts_with(kTag);
}

MoveMark MarkOfNote(std::string_view note)
{
    std::size_t rest = 0;
    std::string_view line = firstLine(note, rest);
    const MoveMark mark = readMark(line);
    return line.starts_with(kTag) ? mark : MoveMark::None;
}

std::string WithAnalysisLine(std::string_view note, std::string_view line)
{
    std::size_t rest = 0;
    if (IsAnalysisLine(firstLine(note, rest)))
        note.remove_prefix(rest);
    if (line.empty())
        return std::string(note);
    std::string result(line);
    if (!note.empty())
        result += "\r\n";
    result += note;
    return result;
}

} // namespace marovin::model
