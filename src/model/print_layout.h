#pragma once
// A game laid out for printing, decided without a screen: the lines of the text record
// with board diagrams among them, cut into pages. The painter (printing/record_printer)
// draws what this decides, on a printer, a preview or a PDF file alike.
//
//   page 1                         page 2
//   +------------------------+     +------------------------+
//   | header lines           |     | record lines           |
//   | [start diagram]        |     | [diagram of a marked   |
//   | record lines ...       |     |  move, after its line] |
//   |                        |     | ... [end diagram]      |
//   |         1 / 2          |     |         2 / 2          |
//   +------------------------+     +------------------------+

#include <span>
#include <string>
#include <vector>

#include "model/game.h"

namespace marovin::model {

struct PrintDiagram {
    Board board{};
    bool redAtBottom = true;
    std::string topLabel;    // Big5: "黑方  bob", with " （起）" when that side moves next
    std::string bottomLabel;
    std::string caption;     // Big5: "起始局面" for the start, else the move: "12. 炮二平五"
};

struct PrintItem {
    std::string text; // a line of the record (Big5, no line end) unless diagram is set
    int diagram = -1; // index in PrintDocument::diagrams
};

struct PrintDocument {
    std::string title; // the game's subject (Big5)
    std::vector<PrintItem> items;
    std::vector<PrintDiagram> diagrams;
};

// The record of game as the text record writes it, with a diagram of the start position
// after the header, one after the line of each marked move (an entry of game's tree; null
// and entries the record does not write are passed over) and one of the main line's end
// after the record. A position gets one diagram however often it is asked for.
PrintDocument BuildPrintDocument(const CGame& game, std::span<const MoveEntry* const> marked);

// The measures of a page, in whatever unit the painter uses.
struct PageMetrics {
    int height = 0;        // room for items on a page (the page number's line is not in it)
    int lineHeight = 1;
    int diagramHeight = 1; // a diagram with its labels, caption and room around it
    int columns = 80;      // bytes of a line that fit across (a Chinese character takes two)
};

struct PlacedItem {
    std::string text; // the line or a piece of a long line (Big5) unless diagram is set
    int diagram = -1;
    int y = 0; // from the top of the page's room
};

struct PrintPage {
    std::vector<PlacedItem> items;
};

// Cuts the document into pages. A line wider than the columns goes on in further lines
// (cut after a blank in its second half, else between characters; indented by four
// blanks); a diagram is never cut, and one
// taller than a page gets a page of its own; blank lines at the top of a page are left
// out. There is always at least one page.
std::vector<PrintPage> LayOutPages(const PrintDocument& document, const PageMetrics& metrics);

// The text under each page: "2 / 5".
std::string PageNumberText(int page, int pages);

} // namespace marovin::model
